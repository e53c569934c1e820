#pragma once

#include <QObject>
#include <QPointer>

#include <QQuickItem>

// Knows the scene's root item and the modal QML item now open, so that native
// code can cancel a QML dialog. Both are owned by QML and may go at any time,
// hence the guarded pointers.
class VModeManager : public QObject
{
    Q_OBJECT
public:
    static VModeManager *instance();

    QQuickItem *rootItem() const { return m_rootItem; }
    void setRootItem(QQuickItem *item);

    QObject *openModal() const { return m_openModal; }
    void setOpenModal(QObject *item);
    bool isModalOpen() const { return !m_openModal.isNull(); }

    // Asks the open modal item to close itself by setting its "cancel"
    // property; does nothing when no modal item is open.
    void cancel();

signals:
    void modalChanged(bool open);

private:
    VModeManager() = default;

    QPointer<QQuickItem> m_rootItem;
    QPointer<QObject> m_openModal;
};

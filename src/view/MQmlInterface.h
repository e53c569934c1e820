#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QVariantList>

class VQmlFrame;

// The one object that native code and QML share ("intrf" in QML). QML reads
// its properties (colours, sizes, titles, image paths; they are declared in
// QmlInterface.qml, whose root element is this class) and calls its methods.
class MQmlInterface : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList setupMenuData READ setupMenuData NOTIFY setupMenuDataChanged)
public:
    static const char *const SourceUrl;

    explicit MQmlInterface(QObject *parent = nullptr);
    ~MQmlInterface() override;

    VQmlFrame *view() const { return m_view; }
    void setView(VQmlFrame *view);

    // Each entry is a command key and its display text; QML shows the text
    // and posts the key back with postCommand("system", key).
    QVariantList setupMenuData() const { return m_setupMenu; }
    void setSetupMenu(const QList<QPair<QString, QString>> &entries);

    Q_INVOKABLE void setObject(const QString &name, QObject *object);
    Q_INVOKABLE int getAppFunction() const;
    Q_INVOKABLE QString getDesktopOrMobile() const;

signals:
    void showReceiveDialog();
    void closeReceiveDialog();
    void receiveDialogCanceled();
    void showMessageDialog(const QString &title, const QString &text);
    void messageDialogClosed();
    void showRegionDialog();
    void regionDialogClosed();
    void showExitPasscodeDialog();
    void closeSignal();
    void setupMenuDataChanged();

public slots:
    void onExitTimerTimeout();
    void onReceiveModeDialogClosed();
    void exitApplication();

private:
    QPointer<VQmlFrame> m_view;
    QVariantList m_setupMenu;
    QTimer m_exitTimer;
};

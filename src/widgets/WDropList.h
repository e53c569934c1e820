#pragma once

#include "WHoldOff.h"
#include "WListEntries.h"
#include "WWidget.h"

#include <QPointer>

// A list of choices: the chosen entry's value goes to the device, and the
// device's value selects the entry shown. A click on the item opens the
// scene's popup list at the current entry.
class WDropList : public WWidget
{
    Q_OBJECT
    Q_PROPERTY(QString title READ title NOTIFY titleChanged)
public:
    static constexpr int HoldOffMs = 1000;

    explicit WDropList(QQuickItem *parent = nullptr);
    ~WDropList() override;

    bool processProperty(const QString &name, const QString &value) override;
    bool writeXml(XmlWriter &writer) override;
    void setAttributes(const CAttributes &attributes) override;
    void setNode(HNode *node) override;
    void setTransform(TTransform *transform) override;
    void refresh() override;
    void destroy() override;

    QString title() const;
    QStringList texts() const;
    QList<int> values() const;
    int mode() const;
    int currentIndex() const { return m_currentIndex; }
    QObject *popup() const { return m_popup; }
    bool isHeldOff() const { return m_holdOff.isActive(); }

public slots:
    void outputCurrentIndex(int index);
    void popupList(QObject *popup);
    void listSelect(int index);

signals:
    void titleChanged();

private slots:
    void onPopupClosed();

private:
    const WListEntries &entries() const;
    void changed();
    // A parameter-set list numbers its sets from 1 by their place.
    bool countsFromOne() const;
    bool isSetList() const;
    void show(int index);
    void closePopup();

    mutable WListEntries m_entries;
    mutable bool m_entriesDue = true;
    int m_currentIndex = -1;
    QPointer<QObject> m_popup;
    WHoldOff m_holdOff;
    QString m_title;
    QString m_index1ForQuery;
    QString m_autoReset;
    bool m_hasAutoReset = false;
};

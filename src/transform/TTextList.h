#pragma once

#include "TIndexedList.h"

#include <QStringList>

// Base of the list kinds whose entries are texts. A value or reply text
// selects the first entry equal to it (exact, case-sensitive); an index
// beyond the entries reads as "?".
class TTextList : public TIndexedList
{
    Q_OBJECT
public:
    explicit TTextList(QObject *parent = nullptr);

    void setValueText(const QString &text) override;
    void setReplyText(const QString &text) override;
    QString valueText() const override;
    bool hasSendableValue() const override;
    QString replyText() const override;

    QStringList entries() const { return m_entries; }

protected:
    // Index of the first entry equal to text; 0 when there is none.
    virtual unsigned char indexOf(const QString &text) const;
    QString entryAt(unsigned char index) const;

    QStringList m_entries;
};

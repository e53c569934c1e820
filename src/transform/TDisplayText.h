#pragma once

#include "TTextValue.h"

// Base of the numeric text kinds. The value and the reply are read as
// numbers the same way, as each kind reads its texts; a value is formatted
// for display with the owner's number of decimals, as a percentage when the
// owner's units are "pct".
class TDisplayText : public TTextValue
{
    Q_OBJECT
public:
    explicit TDisplayText(QObject *parent = nullptr);

    void configure() override;
    void value(int &out) const override;
    void value(float &out) const override;
    void value(unsigned char &out) const override;
    void replyValue(int &out) const override;
    void replyValue(float &out) const override;
    void replyValue(unsigned char &out) const override;
    void setDisplayValue(float value) override;
    QString displayText() const override;
    // A level: the newest value is the one that counts.
    bool mergesQueuedSets() const override;

    int decimals() const { return m_decimals; }
    bool isPercent() const { return m_percent; }

protected:
    virtual int readInt(const QString &text) const = 0;
    virtual float readFloat(const QString &text) const = 0;
    virtual unsigned char readByte(const QString &text) const = 0;

    QString m_displayText;
    int m_decimals = 0;
    bool m_percent = false;
};

#pragma once

#include "TTransform.h"

// An integer the device carries as decimal text. On a node whose block mode
// says that index 0 stands for "none", a value of 0 is sent as "N".
class TBin8 : public TTransform
{
    Q_OBJECT
public:
    using TTransform::replyValue;
    using TTransform::setValue;
    using TTransform::value;

    explicit TBin8(QObject *parent = nullptr);

    void setValue(int value) override;
    void setValue(unsigned char value) override;
    // "0x" begins a hexadecimal number, anything else is decimal; a number
    // that does not fit in a signed 16-bit integer reads as 0. An empty text
    // changes nothing.
    void setValueText(const QString &text) override;
    // The same reading into the reply; an empty reply is not announced.
    void setReplyText(const QString &text) override;
    void value(int &out) const override;
    void value(unsigned char &out) const override;
    void replyValue(int &out) const override;
    void replyValue(unsigned char &out) const override;
    QString valueText() const override;
    QString replyText() const override;
    int valueLength() const override;
    QString typeName() const override;

private:
    int m_value = 0;
    int m_reply = 0;
};

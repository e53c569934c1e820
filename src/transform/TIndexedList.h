#pragma once

#include "TTransform.h"

// Base of the kinds whose control value is an index into a list of device
// values: the index to send and the index the device last reported.
class TIndexedList : public TTransform
{
    Q_OBJECT
public:
    using TTransform::replyValue;
    using TTransform::setValue;
    using TTransform::value;

    explicit TIndexedList(QObject *parent = nullptr);

    void setValue(unsigned char index) override;
    // Buttons hold their values as ints. An int outside the byte range
    // names no entry and changes nothing.
    void setValue(int index) override;
    void value(unsigned char &out) const override;
    void replyValue(unsigned char &out) const override;
    int valueLength() const override;

protected:
    unsigned char m_valueIndex = 0;
    unsigned char m_replyIndex = 0;
};

#pragma once

#include "TDisplayText.h"

// A group level in dB, carried as a code in lower-case hexadecimal: 120 is
// 0 dB and each step is half a dB, from 0 (-60 dB) to 144 (+12 dB). "FF"
// means off and reads as -60.5 dB.
class TGrpV : public TDisplayText
{
    Q_OBJECT
public:
    using TDisplayText::replyValue;

    static constexpr int ZeroDbCode = 120;

    explicit TGrpV(QObject *parent = nullptr);

    // A raw number, sent as decimal text without conversion.
    void setValue(int value) override;
    // The code 120 + trunc(2 * level): a level between two half-dB steps
    // goes to the step nearer zero. Below -60 dB it is "FF"; a level that is
    // not a number changes nothing.
    void setValue(float level) override;
    // A whole level in dB.
    void setValue(unsigned char level) override;
    // A typed level. A whole number of dB gives 120 + 2n, at most 144 and
    // written as "-1" below 0; a decimal level gives what setValue(float)
    // does; an unreadable text changes nothing.
    void setValueText(const QString &text) override;
    // On nodes of type number "3" the reply is a raw number, not a level.
    void replyValue(int &out) const override;
    QString typeName() const override;

protected:
    // Whole dB, truncated toward zero; -60 when unreadable.
    int readInt(const QString &text) const override;
    // dB; -60.0 when unreadable.
    float readFloat(const QString &text) const override;
    // Half the distance from 0 dB in codes, in the low 8 bits.
    unsigned char readByte(const QString &text) const override;
};

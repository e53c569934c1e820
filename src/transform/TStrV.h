#pragma once

#include "TDisplayText.h"

// A number the device carries as plain decimal text.
class TStrV : public TDisplayText
{
    Q_OBJECT
public:
    explicit TStrV(QObject *parent = nullptr);

    void setValue(int value) override;
    // Always one decimal, whatever the display format says.
    void setValue(float value) override;
    void setValue(unsigned char value) override;
    // A reply that does not read as a finite number ("nan", "inf", a cut or
    // garbled line) is ignored: the last value stays.
    void setReplyText(const QString &text) override;
    bool hasSendableValue() const override;
    QString typeName() const override;

protected:
    // Unreadable texts read as 0; an int must fit in 32 bits, a byte is the
    // low 8 bits of an unsigned number.
    int readInt(const QString &text) const override;
    float readFloat(const QString &text) const override;
    unsigned char readByte(const QString &text) const override;
};

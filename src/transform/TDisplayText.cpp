#include "TDisplayText.h"

#include "CAttributes.h"

TDisplayText::TDisplayText(QObject *parent) : TTextValue(parent) {}

void TDisplayText::configure()
{
    const CAttributes *owner = ownerAttributes();
    m_decimals = owner ? owner->precision() : 0;
    m_percent = owner && owner->units() == QLatin1String("pct");
}

void TDisplayText::value(int &out) const
{
    out = readInt(m_valueText);
}

void TDisplayText::value(float &out) const
{
    out = readFloat(m_valueText);
}

void TDisplayText::value(unsigned char &out) const
{
    out = readByte(m_valueText);
}

void TDisplayText::replyValue(int &out) const
{
    out = readInt(m_replyText);
}

void TDisplayText::replyValue(float &out) const
{
    out = readFloat(m_replyText);
}

void TDisplayText::replyValue(unsigned char &out) const
{
    out = readByte(m_replyText);
}

void TDisplayText::setDisplayValue(float value)
{
    m_displayText = QString::number(value, 'f', m_decimals);
}

bool TDisplayText::mergesQueuedSets() const
{
    return true;
}

QString TDisplayText::displayText() const
{
    return m_percent ? m_displayText + QLatin1Char('%') : m_displayText;
}

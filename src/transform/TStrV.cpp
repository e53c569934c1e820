#include "TStrV.h"

TStrV::TStrV(QObject *parent) : TDisplayText(parent) {}

void TStrV::setValue(int value)
{
    m_valueText = QString::number(value);
}

void TStrV::setValue(float value)
{
    m_valueText = QString::number(value, 'f', 1);
}

void TStrV::setValue(unsigned char value)
{
    m_valueText = QString::number(value);
}

QString TStrV::typeName() const
{
    return QStringLiteral("StrV");
}

int TStrV::readInt(const QString &text) const
{
    bool ok = false;
    const int n = text.toInt(&ok, 10);
    return ok ? n : 0;
}

float TStrV::readFloat(const QString &text) const
{
    bool ok = false;
    const float f = text.toFloat(&ok);
    return ok ? f : 0.0f;
}

unsigned char TStrV::readByte(const QString &text) const
{
    bool ok = false;
    const uint n = text.toUInt(&ok, 10);
    return ok ? static_cast<unsigned char>(n & 0xff) : 0;
}

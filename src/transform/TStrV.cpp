#include "TStrV.h"

#include "KvrLogging.h"

#include <QRegularExpression>

#include <cmath>

namespace {

bool readsAsFiniteNumber(const QString &text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(number);
}

// "nan", "-inf", "Infinity": what printing a float that is no number gives.
bool readsAsNonFiniteNumber(const QString &text)
{
    static const QRegularExpression nonFinite(QStringLiteral("^[+-]?(nan|inf(inity)?)$"),
                                              QRegularExpression::CaseInsensitiveOption);
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    return (ok && !std::isfinite(number)) || nonFinite.match(text.trimmed()).hasMatch();
}

} // namespace

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

void TStrV::setReplyText(const QString &text)
{
    if (!readsAsFiniteNumber(text)) {
        qCDebug(lcTransform) << "StrV - reply that is no finite number ignored:" << text;
        return;
    }
    TDisplayText::setReplyText(text);
}

bool TStrV::hasSendableValue() const
{
    return !readsAsNonFiniteNumber(m_valueText);
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

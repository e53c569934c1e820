#include "TGrpV.h"

#include "HNode.h"
#include "TGrpVLimiter.h"

#include <cmath>

namespace {
// Levels beyond this many dB either way are clamped before any arithmetic.
constexpr float LevelBound = 1000.0f;

// The code of a level text: "FF" in any case is off; otherwise a
// hexadecimal number that fits in 32 bits.
bool readCode(const QString &text, int *code)
{
    if (text.compare(QLatin1String("FF"), Qt::CaseInsensitive) == 0) {
        *code = TGrpVLimiter::Off;
        return true;
    }
    bool ok = false;
    const int n = text.toInt(&ok, 16);
    if (ok)
        *code = n;
    return ok;
}

QString codeText(int code)
{
    return QString::number(code, 16);
}
} // namespace

TGrpV::TGrpV(QObject *parent) : TDisplayText(parent) {}

void TGrpV::setValue(int value)
{
    m_valueText = QString::number(value);
}

void TGrpV::setValue(float levelDb)
{
    if (std::isnan(levelDb))
        return;
    const double bounded = qBound(-LevelBound, levelDb, LevelBound);
    const int code = TGrpVLimiter::limit(ZeroDbCode + qint64(std::trunc(2.0 * bounded)));
    m_valueText = code == TGrpVLimiter::Off ? QStringLiteral("FF") : codeText(code);
}

void TGrpV::setValue(unsigned char levelDb)
{
    m_valueText = codeText(TGrpVLimiter::limit(ZeroDbCode + 2 * qint64(levelDb)));
}

void TGrpV::setValueText(const QString &text)
{
    bool ok = false;
    const int whole = text.toInt(&ok, 10);
    if (ok) {
        m_valueText = codeText(TGrpVLimiter::limit(ZeroDbCode + 2 * qint64(whole)));
        return;
    }
    const float levelDb = text.toFloat(&ok);
    if (ok)
        setValue(levelDb);
}

void TGrpV::replyValue(int &out) const
{
    if (node() && node()->typenum() == QLatin1String("3")) {
        bool ok = false;
        const int raw = m_replyText.toInt(&ok, 16);
        out = ok ? raw : 0;
        return;
    }
    TDisplayText::replyValue(out);
}

QString TGrpV::typeName() const
{
    return QStringLiteral("GrpV");
}

int TGrpV::readInt(const QString &text) const
{
    int code = 0;
    if (!readCode(text, &code))
        return -60;
    return int((qint64(code) - ZeroDbCode) / 2);
}

float TGrpV::readFloat(const QString &text) const
{
    int code = 0;
    if (!readCode(text, &code))
        return -60.0f;
    return float((double(code) - ZeroDbCode) * 0.5);
}

unsigned char TGrpV::readByte(const QString &text) const
{
    bool ok = false;
    const uint code = text.toUInt(&ok, 16);
    return static_cast<unsigned char>(((ok ? code : 0u) - ZeroDbCode) & 0xff) >> 1;
}

#include "SimLevelMeter.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

quint64 mix(quint64 x)
{
    // splitmix64: a cheap, well-spread hash of the meter and sample number.
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

quint64 meterHash(quint32 seed, int slot, int entry)
{
    return mix((quint64(seed) << 32) ^ (quint64(quint32(slot)) << 16) ^ quint64(quint32(entry)));
}

// A hash as a number in [0, 1).
double unit(quint64 h)
{
    return double(h >> 11) / double(1ULL << 53);
}

constexpr double TwoPi = 6.283185307179586;

} // namespace

double SimLevelMeter::noise(int slot, int entry, qint64 sample) const
{
    return unit(mix(meterHash(m_seed, slot, entry) ^ quint64(sample))) * 2.0 - 1.0;
}

QVector<double> SimLevelMeter::levels(int slot, int count, qint64 msecs) const
{
    const qint64 sample = msecs / IntervalMs;
    const double t = double(sample * IntervalMs);
    QVector<double> result;
    result.reserve(qMax(count, 0));
    for (int entry = 0; entry < count; ++entry) {
        const quint64 h = meterHash(m_seed, slot, entry);
        const double period = 4000.0 + unit(h) * 7000.0;
        const double phase = unit(mix(h)) * TwoPi;
        const double swellPhase = unit(mix(h + 1)) * TwoPi;
        // Peaks of the two waves meet rarely: that is when a meter clips.
        double level = -31.0 + 22.0 * std::sin(TwoPi * t / period + phase)
                       + 8.5 * std::sin(TwoPi * t / (period * 3.7) + swellPhase)
                       + 1.5 * noise(slot, entry, sample);
        level = std::clamp(level, Floor, 0.0);
        level = std::round(level * 10.0) / 10.0;
        result.append(level == 0.0 ? 0.0 : level); // no "-0.0"
    }
    return result;
}

QString SimLevelMeter::clipMask(const QVector<double> &levels)
{
    // Built four bits at a time so that any number of meters fits.
    QString hex;
    for (int nibble = (int(levels.size()) + 3) / 4 - 1; nibble >= 0; --nibble) {
        int digit = 0;
        for (int bit = 3; bit >= 0; --bit) {
            const int entry = nibble * 4 + bit;
            digit <<= 1;
            if (entry < levels.size() && levels.at(entry) > ClipMark)
                digit |= 1;
        }
        if (digit != 0 || !hex.isEmpty())
            hex += QString::number(digit, 16);
    }
    return hex.isEmpty() ? QStringLiteral("0") : hex;
}

QString SimLevelMeter::report(const QString &slotText, int slot, int count, qint64 msecs,
                              quint64 sequence) const
{
    const QVector<double> values = levels(slot, count, msecs);
    QStringList texts;
    texts.reserve(values.size());
    for (double value : values)
        texts.append(QString::number(value, 'f', 1));
    return QStringLiteral("GL %1 %2 %3 %4 %5 [%6]")
        .arg(slotText)
        .arg(sequence)
        .arg(count)
        .arg(IntervalMs)
        .arg(clipMask(values), texts.join(QLatin1Char(',')));
}

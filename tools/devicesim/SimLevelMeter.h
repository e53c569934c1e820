#pragma once

#include <QString>
#include <QVector>

// The levels a simulated device reports for its cards: each meter follows a
// slow sine of its own with a slower swell and a little noise on top,
// between -60 and 0 dBFS, and now and then crosses the clip mark. Levels are
// a function of the sample time, so two reports of one sampling interval
// agree.
class SimLevelMeter
{
public:
    static constexpr int IntervalMs = 100;
    static constexpr double Floor = -60.0;
    static constexpr double ClipMark = -1.0;

    explicit SimLevelMeter(quint32 seed = 1) : m_seed(seed) {}

    // The levels (dBFS, rounded to 0.1) of count meters of a slot at the
    // time msecs.
    QVector<double> levels(int slot, int count, qint64 msecs) const;

    // The report line (without CR) answering the query "GL <slotText>":
    // "GL <slot> <sequence> <count> <intervalMs> <clipMaskHex> [v0,...]".
    QString report(const QString &slotText, int slot, int count, qint64 msecs,
                   quint64 sequence) const;

    // Bit i set for each level above the clip mark, in lower-case hex
    // without leading zeros ("0" when nothing clips).
    static QString clipMask(const QVector<double> &levels);

private:
    double noise(int slot, int entry, qint64 sample) const;

    quint32 m_seed;
};

#pragma once

#include <QString>
#include <QStringList>

class HNode;

// A level report of a device: the answer to "GL <slot>", one line of seven
// fields separated by white space,
//
//   GL <slot> <sequence> <count> <intervalMs> <clipMaskHex> [<v0>,<v1>,...]
//   GL B 17 2 100 0 [-23.4,-41.0]
//
// the slot as queried (hexadecimal), the device's report counter, the number
// of levels, the sampling interval, a hexadecimal mask with bit i set while
// level i clips, and the levels in dBFS. Each meter of the card picks its
// entry by the kind of its node and its channel.
class PLevelReport
{
public:
    static constexpr int FieldCount = 7;

    // Reads a report; false (and nothing kept) when the line is not one.
    bool parse(const QString &line);

    QString slot() const { return m_slot; }
    const QStringList &levels() const { return m_levels; }

    // The level text for the meter of node and channel (its channel index,
    // counted from 0); a null text when the report has no entry for it.
    QString levelFor(const HNode *node, int channel) const;

    // The entry of a report with entryCount levels that a meter of node and
    // channel shows; -1 when there is none.
    static int entryFor(const HNode *node, int channel, int entryCount);

private:
    QString m_slot;
    QStringList m_levels;
};

#include "HSlotTable.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
// A rule applies to a device whose title contains `device` and a card whose
// title contains `card`. A card with a fixed slot uses it whatever its
// channel; otherwise perFour[k] is the slot of channels 4k+1 to 4k+4, and a
// channel outside those listed (0) leaves the rule for the next one.
struct Rule
{
    const char *device;
    const char *card;
    int fixed;
    int perFour[4];
};

const Rule Rules[] = {
    {"XT-10", "Input", 0, {3, 4, 5, 0}},
    {"XT-10", "Output", 0, {1, 2, 0, 0}},
    {"XT-10", "DriveNet", 6, {}},
    {"XT-10", "Dante", 7, {}},
    {"XT-10", "VoIP", 9, {}},
    {"XT-10", "USB", 10, {}},
    {"XT-10", "PSTN", 11, {}},
    {"ZMP-30", "Input", 0, {1, 3, 0, 0}},
    {"ZMP-30", "Output", 0, {2, 4, 0, 0}},
    {"ZMP-30", "DriveNet", 5, {}},
    {"ZMP-30", "ZMPLink", 5, {}},
    {"ZMP-30", "Dante", 6, {}},
    {"ZMP-50", "Input", 0, {1, 3, 4, 0}},
    {"ZMP-50", "Output", 0, {2, 0, 0, 0}},
    {"ZMP-50", "DriveNet", 5, {}},
    {"ZMP-50", "ZMPLink", 5, {}},
    {"ZMP-50", "Dante", 6, {}},
    {"ZMP-40", "Input", 0, {1, 0, 0, 0}},
    {"ZMP-40", "Output", 0, {2, 3, 4, 0}},
    {"ZMP-40", "DriveNet", 5, {}},
    {"ZMP-40", "ZMPLink", 5, {}},
    {"ZMP-60", "Input", 0, {1, 2, 3, 4}},
    {"ZMP-60", "DriveNet", 5, {}},
    {"ZMP-60", "ZMPLink", 5, {}},
    {"XT-30C", "Input", 0, {3, 0, 0, 0}},
    {"XT-30C", "Output", 0, {1, 0, 0, 0}},
    {"XT-30C", "DriveNet", 6, {}},
    {"XT-30C", "Dante", 7, {}},
    {"XT-30C", "VoIP", 9, {}},
    {"XT-30C", "USB", 10, {}},
    {"XT-30C", "PSTN", 11, {}},
    {"XT-20AEC", "Dante", 7, {}},
};

bool contains(const QString &text, const char *part)
{
    return text.contains(QLatin1String(part));
}

// Amplifiers number a card's channel by its port; all eight inputs sit in
// slot 1, all eight outputs in slot 2.
int amplifierSlot(const QString &cardTitle, int portIndex, int channel)
{
    const bool input = contains(cardTitle, "Analog In") || contains(cardTitle, "Digital In");
    if (!input && !contains(cardTitle, "Out"))
        return channel;
    if (portIndex >= 0)
        channel = portIndex + 1;
    if (channel < 1 || channel > 8)
        return channel;
    return input ? 1 : 2;
}
} // namespace

int HSlotTable::channelOf(const QString &title)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList words = title.split(blanks, Qt::SkipEmptyParts);
    bool ok = false;
    const int channel = words.size() > 1 ? words.at(1).toInt(&ok) : 0;
    return ok ? channel : -1;
}

int HSlotTable::slot(const QString &deviceTitle, const QString &cardTitle, int portIndex)
{
    const int channel = channelOf(cardTitle);
    for (const Rule &rule : Rules) {
        if (!contains(deviceTitle, rule.device) || !contains(cardTitle, rule.card))
            continue;
        if (rule.fixed > 0)
            return rule.fixed;
        if (channel >= 1 && channel <= 16 && rule.perFour[(channel - 1) / 4] > 0)
            return rule.perFour[(channel - 1) / 4];
    }
    if (contains(deviceTitle, "KA") || contains(deviceTitle, "PQ"))
        return amplifierSlot(cardTitle, portIndex, channel);
    return channel;
}

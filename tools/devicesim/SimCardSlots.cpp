#include "SimCardSlots.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

// One row of the slot rules: a device whose title contains `device` and a
// node whose title contains `card`. A fixed slot applies to every channel;
// otherwise channels 1-4 go to byQuad[0], 5-8 to byQuad[1] and so on, and
// a channel outside the listed quads makes the row not apply.
struct SlotRule
{
    const char *device;
    const char *card;
    int fixed;
    int byQuad[4];
};

constexpr int None = -1;

const SlotRule SlotRules[] = {
    {"XT-10", "Input", None, {3, 4, 5, None}},
    {"XT-10", "Output", None, {1, 2, None, None}},
    {"XT-10", "DriveNet", 6, {}},
    {"XT-10", "Dante", 7, {}},
    {"XT-10", "VoIP", 9, {}},
    {"XT-10", "USB", 10, {}},
    {"XT-10", "PSTN", 11, {}},
    {"ZMP-30", "Input", None, {1, 3, None, None}},
    {"ZMP-30", "Output", None, {2, 4, None, None}},
    {"ZMP-30", "DriveNet", 5, {}},
    {"ZMP-30", "ZMPLink", 5, {}},
    {"ZMP-30", "Dante", 6, {}},
    {"ZMP-50", "Input", None, {1, 3, 4, None}},
    {"ZMP-50", "Output", None, {2, None, None, None}},
    {"ZMP-50", "DriveNet", 5, {}},
    {"ZMP-50", "ZMPLink", 5, {}},
    {"ZMP-50", "Dante", 6, {}},
    {"ZMP-40", "Input", None, {1, None, None, None}},
    {"ZMP-40", "Output", None, {2, 3, 4, None}},
    {"ZMP-40", "DriveNet", 5, {}},
    {"ZMP-40", "ZMPLink", 5, {}},
    {"ZMP-60", "Input", None, {1, 2, 3, 4}},
    {"ZMP-60", "DriveNet", 5, {}},
    {"ZMP-60", "ZMPLink", 5, {}},
    {"XT-30C", "Input", None, {3, None, None, None}},
    {"XT-30C", "Output", None, {1, None, None, None}},
    {"XT-30C", "DriveNet", 6, {}},
    {"XT-30C", "Dante", 7, {}},
    {"XT-30C", "VoIP", 9, {}},
    {"XT-30C", "USB", 10, {}},
    {"XT-30C", "PSTN", 11, {}},
    {"XT-20AEC", "Dante", 7, {}},
};

int channelOf(const QString &title)
{
    const QStringList words = title.split(QRegularExpression(QStringLiteral("\\s+")),
                                          Qt::SkipEmptyParts);
    if (words.size() < 2)
        return -1;
    bool ok = false;
    const int channel = words.at(1).toInt(&ok);
    return ok ? channel : -1;
}

} // namespace

bool SimCardSlots::isAmplifier(const QString &deviceTitle)
{
    return deviceTitle.contains(QLatin1String("KA")) || deviceTitle.contains(QLatin1String("PQ"));
}

int SimCardSlots::slotNumber(const QString &deviceTitle, const QString &cardTitle, int portIndex)
{
    int channel = channelOf(cardTitle);

    if (isAmplifier(deviceTitle)) {
        // Amplifier cards number their channels by port: all eight inputs
        // sit in slot 1, all eight outputs in slot 2.
        if (portIndex >= 0)
            channel = portIndex + 1;
        const bool input = cardTitle.contains(QLatin1String("Analog In"))
                           || cardTitle.contains(QLatin1String("Digital In"));
        const bool output = cardTitle.contains(QLatin1String("Out"));
        if ((input || output) && channel >= 1 && channel <= 8)
            return input ? 1 : 2;
        return channel;
    }

    for (const SlotRule &rule : SlotRules) {
        if (!deviceTitle.contains(QLatin1String(rule.device))
            || !cardTitle.contains(QLatin1String(rule.card)))
            continue;
        if (rule.fixed != None)
            return rule.fixed;
        if (channel >= 1 && channel <= 16 && rule.byQuad[(channel - 1) / 4] != None)
            return rule.byQuad[(channel - 1) / 4];
    }
    return channel;
}

bool SimCardSlots::isCardKind(const QString &kind)
{
    static const QStringList cardKinds = {
        QStringLiteral("Input"),  QStringLiteral("Output"), QStringLiteral("ZMPLinkTx"),
        QStringLiteral("DriveNet"), QStringLiteral("PstnRx"), QStringLiteral("PstnTx"),
        QStringLiteral("VoipRx"), QStringLiteral("VoipTx"), QStringLiteral("UsbRx"),
        QStringLiteral("UsbTx"),  QStringLiteral("DanteRx"), QStringLiteral("DanteTx")};
    return cardKinds.contains(kind);
}

int SimCardSlots::levelEntries(const QString &kind, const QString &cardType,
                               const QString &deviceTitle)
{
    if (!isCardKind(kind))
        return 0;
    // A telephone card meters its receive and its transmit line; VoIP and
    // USB cards two channels each way.
    if (kind.startsWith(QLatin1String("Pstn")))
        return 2;
    if (kind.startsWith(QLatin1String("Voip")) || kind.startsWith(QLatin1String("Usb")))
        return 4;
    if (kind.startsWith(QLatin1String("Dante"))) {
        // One report covers both directions: "Dante 64In64Out" meters 128.
        static const QRegularExpression channels(QStringLiteral("(\\d+)\\s*In\\s*(\\d+)\\s*Out"),
                                                 QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = channels.match(cardType);
        if (m.hasMatch()) {
            const int total = m.captured(1).toInt() + m.captured(2).toInt();
            if (total > 0 && total <= 512)
                return total;
        }
        // Endpoints carry a 16 x 16 Dante interface, processors 32 x 32.
        return deviceTitle.startsWith(QLatin1String("XT-")) ? 32 : 64;
    }
    if (isAmplifier(deviceTitle) || cardType.contains(QLatin1String("8ch")))
        return 8;
    if (kind == QLatin1String("Input") || kind == QLatin1String("Output"))
        return 4;
    return 8; // link channel groups
}

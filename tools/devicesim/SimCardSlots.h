#pragma once

#include <QString>

// The card slot that a device's level query addresses for an I/O node of a
// design project, and how many meters the card in that slot reports.
class SimCardSlots
{
public:
    // The slot of a card titled cardTitle (e.g. "Input 5", "USB In") in a
    // device titled deviceTitle; portIndex is the node's "portIndex" (-1 when
    // absent), which numbers the channels of amplifier cards. -1 when the
    // title carries no channel number and no rule applies.
    static int slotNumber(const QString &deviceTitle, const QString &cardTitle, int portIndex);

    // Meters in a level report of the card: kind is the node kind of the
    // design ("Input", "PstnRx", "DanteTx", ...), cardType its "cardType".
    // 0 for kinds that are no I/O card.
    static int levelEntries(const QString &kind, const QString &cardType,
                            const QString &deviceTitle);

    static bool isCardKind(const QString &kind);
    static bool isAmplifier(const QString &deviceTitle);
};

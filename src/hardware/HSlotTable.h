#pragma once

#include <QString>

// The card slot that device commands address for an I/O node. Processors
// and endpoints number their slots by the card's kind and, for analog cards,
// by which block of four channels the card serves; amplifiers keep all
// inputs in slot 1 and all outputs in slot 2.
class HSlotTable
{
public:
    // deviceTitle and cardTitle are tested by containment ("Input 6" under an
    // "XT-10C"); the channel is the second word of cardTitle, replaced on
    // amplifiers by portIndex + 1 when portIndex is not negative. Without a
    // rule the answer is that channel, -1 when the title holds no number.
    static int slot(const QString &deviceTitle, const QString &cardTitle, int portIndex);
    // The second white-space separated word of title as a number; -1 if none.
    static int channelOf(const QString &title);
};

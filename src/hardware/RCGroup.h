#pragma once

#include "RCCombo.h"
#include "RoomInfo.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

// The live state of one room-combine group: its rooms, and which of them are
// joined in each of its combination slots (a fixed number that the design
// gives). It changes through the device's answers and through the user's
// clicks on rooms; it knows nothing of threads or signals, which its keeper
// (HRCGroupInfo) adds.
class RCGroup
{
    Q_DECLARE_TR_FUNCTIONS(RCGroup)
public:
    // What a click answers when no command can be built; the rest of the
    // text says why.
    static const QString FailurePrefix;

    RCGroup() = default;
    RCGroup(int number, int slotCount);
    virtual ~RCGroup() = default;

    int number() const { return m_number; }

    const QList<RoomInfo> &rooms() const { return m_rooms; }
    void setRooms(const QList<RoomInfo> &rooms);
    bool hasRoom(int room) const;
    QString roomName(int room) const;

    int slotCount() const { return int(m_combos.size()); }
    // Combinations that no longer have a slot are dropped.
    void setSlotCount(int count);
    const QList<RCCombo> &combos() const { return m_combos; }
    // The slot that holds the room; -1 when it is in none.
    int comboOf(int room) const;
    // The colour of the room's combination, or the no-combination colour.
    QString colorOf(int room) const;

    // Applies the device's combinations (each a list of room numbers).
    // Refused, and nothing changed, when a room is not one of the group's
    // or stands in two combinations; more combinations than slots keep the
    // first ones, with a warning. Each combination keeps the slot (and so
    // the colour) of the one it overlaps most; a room that the user has put
    // into a slot on its own, and that the device does not mention, stays
    // there, since the device only reports combinations of two or more.
    bool setCombos(const QList<QList<int>> &combos, QString *problem);

    // The user clicked room with the slot selected for editing: the room
    // leaves that slot when it is in it, and otherwise moves into it. The
    // answer is the command that tells the device, or FailurePrefix and the
    // reason, in which case nothing changed.
    QString click(int room, int selectedSlot);

    // Takes the combinations of other, as far as they fit the slots and rooms.
    void setCombosOf(const RCGroup &other);

    // "SRC <group>,[a,b][c,d]\r": every combination of two or more rooms.
    QString command() const;

private:
    int m_number = 0;
    QList<RoomInfo> m_rooms;
    QList<RCCombo> m_combos;
};

#pragma once

#include <QList>
#include <QString>

// A device's register of the blocks that the room-combining model looks up:
// each room-combining block enters the room it serves with the room's name
// and the combinations its design allows. The design reader empties it when
// it reads a device again, and the blocks enter anew.
class HBlockRegistry
{
public:
    using Layout = QList<QList<int>>;

    struct Room
    {
        int number = -1;
        QString name;
        Layout layout;
    };

    virtual ~HBlockRegistry() = default;

    void enterRoom(int number, const QString &name, const Layout &layout);
    const QList<Room> &rooms() const { return m_rooms; }
    void clear() { m_rooms.clear(); }

    // The room groups of a block's "roomCombine" text, in one of the two
    // forms the design software writes: groups in braces whose rooms are
    // separated by "|" or "+" ("{1|2}{3+4}", or "{1|2,3+4}" with commas
    // between the groups), or groups in square brackets whose rooms are
    // separated by "," ("[1,2][3,4]"). Texts that are no room number are
    // passed over, and so are groups left empty.
    static Layout parseLayout(const QString &roomCombine);

private:
    QList<Room> m_rooms;
};

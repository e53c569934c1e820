#include "RCGroup.h"

#include "KvrLogging.h"

#include <QSet>

const QString RCGroup::FailurePrefix = QStringLiteral("FAILURE::");

RCGroup::RCGroup(int number, int slotCount) : m_number(number)
{
    setSlotCount(slotCount);
}

void RCGroup::setRooms(const QList<RoomInfo> &rooms)
{
    m_rooms = rooms;
    // A room the design no longer has leaves its combination.
    for (RCCombo &combo : m_combos) {
        const QList<int> joined = combo.rooms();
        for (int room : joined) {
            if (!hasRoom(room))
                combo.removeRoom(room);
        }
    }
}

bool RCGroup::hasRoom(int room) const
{
    for (const RoomInfo &info : m_rooms) {
        if (info.number() == room)
            return true;
    }
    return false;
}

QString RCGroup::roomName(int room) const
{
    for (const RoomInfo &info : m_rooms) {
        if (info.number() == room)
            return info.name();
    }
    return QString();
}

void RCGroup::setSlotCount(int count)
{
    count = qMax(0, count);
    while (m_combos.size() > count)
        m_combos.removeLast();
    while (m_combos.size() < count)
        m_combos.append(RCCombo(int(m_combos.size())));
}

int RCGroup::comboOf(int room) const
{
    for (int i = 0; i < m_combos.size(); ++i) {
        if (m_combos.at(i).contains(room))
            return i;
    }
    return -1;
}

QString RCGroup::colorOf(int room) const
{
    const int slot = comboOf(room);
    return slot >= 0 ? m_combos.at(slot).color() : RCCombo::noComboColor();
}

bool RCGroup::setCombos(const QList<QList<int>> &combos, QString *problem)
{
    QSet<int> mentioned;
    for (const QList<int> &combo : combos) {
        for (int room : combo) {
            if (!hasRoom(room)) {
                *problem = QStringLiteral("room %1 is not a room of group %2").arg(room).arg(m_number);
                return false;
            }
            if (mentioned.contains(room)) {
                *problem = QStringLiteral("room %1 stands in two combinations").arg(room);
                return false;
            }
            mentioned.insert(room);
        }
    }
    QList<QList<int>> incoming = combos;
    if (incoming.size() > m_combos.size()) {
        qCWarning(lcHardware).noquote() << "RCGroup::setCombos: Combo count mismatch; too many new combos "
                                        << incoming.size() << "for" << m_combos.size() << "slots of group"
                                        << m_number;
        incoming = incoming.mid(0, m_combos.size());
    }

    const int slotTotal = int(m_combos.size());
    const auto survivingSingle = [&](int slot) {
        const RCCombo &previous = m_combos.at(slot);
        return previous.size() == 1 && !mentioned.contains(previous.rooms().first());
    };
    QList<QList<int>> next(slotTotal);
    QList<bool> taken(slotTotal, false);
    QList<int> unplaced;
    for (int i = 0; i < incoming.size(); ++i) {
        int best = -1;
        int bestOverlap = 0;
        for (int slot = 0; slot < slotTotal; ++slot) {
            if (taken.at(slot))
                continue;
            int overlap = 0;
            for (int room : incoming.at(i))
                overlap += m_combos.at(slot).contains(room) ? 1 : 0;
            if (overlap > bestOverlap) {
                best = slot;
                bestOverlap = overlap;
            }
        }
        if (best >= 0) {
            next[best] = incoming.at(i);
            taken[best] = true;
        } else {
            unplaced.append(i);
        }
    }
    for (int i : std::as_const(unplaced)) {
        // A free slot first; only when there is none does a room the user
        // was placing on its own give way to the device's combination.
        int slot = -1;
        for (int s = 0; s < slotTotal && slot < 0; ++s) {
            if (!taken.at(s) && !survivingSingle(s))
                slot = s;
        }
        for (int s = 0; s < slotTotal && slot < 0; ++s) {
            if (!taken.at(s))
                slot = s;
        }
        next[slot] = incoming.at(i);
        taken[slot] = true;
    }
    for (int slot = 0; slot < slotTotal; ++slot) {
        if (!taken.at(slot) && survivingSingle(slot))
            next[slot] = m_combos.at(slot).rooms();
        m_combos[slot].setRooms(next.at(slot));
    }
    return true;
}

QString RCGroup::click(int room, int selectedSlot)
{
    if (!hasRoom(room))
        return FailurePrefix + tr("Room %1 is not a room of group %2.").arg(room).arg(m_number);
    if (selectedSlot < 0 || selectedSlot >= m_combos.size())
        return FailurePrefix
               + tr("Combination %1 cannot be edited: group %2 has %3 combinations.")
                     .arg(selectedSlot + 1)
                     .arg(m_number)
                     .arg(m_combos.size());

    const int current = comboOf(room);
    QString line = QStringLiteral("Group %1 room %2 (%3) clicked.").arg(m_number).arg(room).arg(roomName(room));
    if (current >= 0)
        line += QStringLiteral("  currently in combo ") + m_combos.at(current).bracketText();
    qCDebug(lcHardware).noquote() << line;

    if (current == selectedSlot) {
        qCDebug(lcHardware).noquote() << "  removing from combo " << selectedSlot;
        m_combos[selectedSlot].removeRoom(room);
    } else {
        if (current >= 0) {
            qCDebug(lcHardware).noquote() << "  removing from combo " << current;
            m_combos[current].removeRoom(room);
        }
        qCDebug(lcHardware).noquote() << "  adding to combo " << selectedSlot;
        m_combos[selectedSlot].addRoom(room);
    }
    const QString text = command();
    qCDebug(lcHardware).noquote() << "command generated by click = " << text.section(QLatin1Char(','), 1).trimmed();
    qCDebug(lcHardware).noquote() << "complete command =             " << text.trimmed();
    return text;
}

void RCGroup::setCombosOf(const RCGroup &other)
{
    for (RCCombo &combo : m_combos)
        combo.setRooms({});
    for (int slot = 0; slot < m_combos.size() && slot < other.m_combos.size(); ++slot) {
        for (int room : other.m_combos.at(slot).rooms()) {
            if (hasRoom(room) && comboOf(room) < 0)
                m_combos[slot].addRoom(room);
        }
    }
}

QString RCGroup::command() const
{
    QString combos;
    for (const RCCombo &combo : m_combos) {
        // The device joins rooms; a room on its own joins nothing.
        if (combo.size() >= 2)
            combos += combo.bracketText();
    }
    return QStringLiteral("SRC %1,%2\r").arg(m_number).arg(combos);
}

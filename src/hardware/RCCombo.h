#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One combination slot of a room-combine group: the rooms that are joined in
// it now, in the order they joined, and the colour the panel shows it in.
// The colour belongs to the slot, so a combination keeps its colour while
// rooms join and leave it.
class RCCombo
{
public:
    // Every view of combinations colours them from this one table, slot i
    // taking entry i modulo its length.
    static const QStringList &colors();
    static QString colorAt(int index);
    // A room that is in no combination.
    static QString noComboColor();

    RCCombo() = default;
    explicit RCCombo(int index) : m_color(colorAt(index)) {}
    virtual ~RCCombo() = default;

    const QList<int> &rooms() const { return m_rooms; }
    void setRooms(const QList<int> &rooms) { m_rooms = rooms; }
    void addRoom(int room) { m_rooms.append(room); }
    void removeRoom(int room) { m_rooms.removeAll(room); }
    bool contains(int room) const { return m_rooms.contains(room); }
    int size() const { return int(m_rooms.size()); }
    bool isEmpty() const { return m_rooms.isEmpty(); }

    QString color() const { return m_color; }

    // "[1,2]": the form device commands and answers carry.
    QString bracketText() const;

private:
    QList<int> m_rooms;
    QString m_color;
};

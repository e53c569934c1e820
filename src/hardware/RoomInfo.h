#pragma once

#include <QString>

// A room of a room-combine group as the live model knows it: the number that
// device commands carry and the name the panel shows.
class RoomInfo
{
public:
    RoomInfo() = default;
    RoomInfo(int number, const QString &name) : m_number(number), m_name(name) {}
    virtual ~RoomInfo() = default;

    int number() const { return m_number; }
    QString name() const { return m_name; }

    bool operator==(const RoomInfo &other) const
    {
        return m_number == other.m_number && m_name == other.m_name;
    }

private:
    int m_number = 0;
    QString m_name;
};

#pragma once

#include <QString>

// One command line of the device protocol as a device understands it: what
// it asks for or sets, under which key the device keeps the value, and how
// the answer to a query is written.
//
// Keys join the forms that address the same value: a set and its query
// ("SA \"G\">1=V" and "GA\"G\">1"), the query with and without the blank
// before the quote, a matrix set and its query ("MA \"M\">5=V" and
// "GA\"M\">0>5"), and group numbers written in either case.
class SimCommand
{
public:
    enum class Kind {
        Invalid,     // not understood: answered with NAK
        Query,       // answered with the stored value
        Set,         // stores a value, answered with ACK
        LevelQuery,  // "GL <slot>": answered with a level report
        Handshake,   // "SUB": may the client subscribe?
        Subscribe,   // SUB "<query>"
        Unsubscribe, // UNS "<query>"
    };

    static SimCommand parse(const QString &line);

    Kind kind() const { return m_kind; }
    // The command as received, without its line end.
    QString text() const { return m_text; }
    // Query and Set: the key of the addressed value.
    QString key() const { return m_key; }
    // Set: the value to store (room combinations in their canonical form).
    QString value() const { return m_value; }
    // Subscribe and Unsubscribe: the quoted query.
    QString subject() const { return m_subject; }
    // LevelQuery: the slot number, and the slot as written.
    int slot() const { return m_slot; }
    QString slotText() const { return m_slotText; }

    // Query: the answer line (without CR) that carries value.
    QString reply(const QString &value) const;

    // The value a fresh device holds under key.
    static QString defaultValue(const QString &key);

private:
    enum class Family { None, Parameter, Status, Group, GroupN, RoomCombine };

    bool parseParameter(const QString &line);
    bool parseNumbered(const QString &line);
    bool parseRoomCombine(const QString &line);
    bool parseSubscription(const QString &line);
    void setQuery(Family family, const QString &key);
    void setSet(Family family, const QString &key, const QString &value);

    static QString parameterAddress(const QString &name, const QString &indexes);
    static QString canonicalCombos(const QString &text, bool *ok);

    Kind m_kind = Kind::Invalid;
    Family m_family = Family::None;
    QString m_text;
    QString m_key;
    QString m_value;
    QString m_subject;
    int m_slot = -1;
    QString m_slotText;
};

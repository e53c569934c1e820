#include "SimCommand.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

// The command forms. Room and group numbers are decimal with at most nine
// digits and hexadecimal numbers have at most eight, so that they fit an int.
const QRegularExpression ParameterQuery(QStringLiteral(R"re(^GA ?"([^"]*)"((?:>[^>="]+)+)$)re"));
const QRegularExpression ParameterSet(QStringLiteral(R"re(^SA ?"([^"]*)"((?:>[^>="]+)+)=(.*)$)re"));
const QRegularExpression MatrixSet(QStringLiteral(R"re(^MA ?"([^"]*)">([^>="]+)=(.*)$)re"));
const QRegularExpression StatusQuery(QStringLiteral(R"re(^GS ?$)re"));
const QRegularExpression StatusSet(QStringLiteral(R"re(^SS (?:0x)?([0-9A-Fa-f]{1,8}) ?$)re"));
const QRegularExpression NumberedQuery(QStringLiteral(R"re(^G([GN]) ([0-9A-Fa-f]{1,8})$)re"));
const QRegularExpression NumberedSet(QStringLiteral(R"re(^S([GN]) ([0-9A-Fa-f]{1,8}),(.*)$)re"));
const QRegularExpression CombineQuery(QStringLiteral(R"re(^GRC ([0-9]{1,9})$)re"));
const QRegularExpression CombineSet(QStringLiteral(R"re(^SRC ([0-9]{1,9}),(.*)$)re"));
const QRegularExpression LevelReportQuery(QStringLiteral(R"re(^GL ([0-9A-Fa-f]{1,4})$)re"));
const QRegularExpression Subscription(QStringLiteral(R"re(^(SUB|UNS) "(.*)"$)re"));

const QString ParameterPrefix = QStringLiteral("GA\"");
const QString StatusKey = QStringLiteral("GS");
const QString GroupPrefix = QStringLiteral("GG ");
const QString GroupNPrefix = QStringLiteral("GN ");
const QString CombinePrefix = QStringLiteral("GRC ");

} // namespace

SimCommand SimCommand::parse(const QString &line)
{
    SimCommand command;
    command.m_text = line;
    if (line == QLatin1String("SUB")) {
        command.m_kind = Kind::Handshake;
        return command;
    }
    const QRegularExpressionMatch level = LevelReportQuery.match(line);
    if (level.hasMatch()) {
        command.m_kind = Kind::LevelQuery;
        command.m_slotText = level.captured(1);
        command.m_slot = command.m_slotText.toInt(nullptr, 16);
        return command;
    }
    if (command.parseParameter(line) || command.parseNumbered(line)
        || command.parseRoomCombine(line) || command.parseSubscription(line))
        return command;
    command.m_kind = Kind::Invalid;
    return command;
}

void SimCommand::setQuery(Family family, const QString &key)
{
    m_kind = Kind::Query;
    m_family = family;
    m_key = key;
}

void SimCommand::setSet(Family family, const QString &key, const QString &value)
{
    m_kind = Kind::Set;
    m_family = family;
    m_key = key;
    m_value = value;
}

QString SimCommand::parameterAddress(const QString &name, const QString &indexes)
{
    // Numeric indexes are compared as numbers (">01" is ">1"); others, such
    // as the linked value of a selector query, as written.
    QStringList parts = indexes.split(QLatin1Char('>'), Qt::SkipEmptyParts);
    for (QString &part : parts) {
        bool ok = false;
        const int number = part.toInt(&ok);
        if (ok)
            part = QString::number(number);
    }
    return ParameterPrefix + name + QLatin1String("\">") + parts.join(QLatin1Char('>'));
}

bool SimCommand::parseParameter(const QString &line)
{
    QRegularExpressionMatch m = ParameterQuery.match(line);
    if (m.hasMatch()) {
        setQuery(Family::Parameter, parameterAddress(m.captured(1), m.captured(2)));
        return true;
    }
    m = ParameterSet.match(line);
    if (m.hasMatch()) {
        setSet(Family::Parameter, parameterAddress(m.captured(1), m.captured(2)), m.captured(3));
        return true;
    }
    // A matrix set addresses what the query "GA\"N\">0>i" reads.
    m = MatrixSet.match(line);
    if (m.hasMatch()) {
        setSet(Family::Parameter, parameterAddress(m.captured(1), QLatin1String(">0>") + m.captured(2)),
               m.captured(3));
        return true;
    }
    return false;
}

bool SimCommand::parseNumbered(const QString &line)
{
    if (StatusQuery.match(line).hasMatch()) {
        setQuery(Family::Status, StatusKey);
        return true;
    }
    QRegularExpressionMatch m = StatusSet.match(line);
    if (m.hasMatch()) {
        setSet(Family::Status, StatusKey, QString::number(m.captured(1).toUInt(nullptr, 16), 16));
        return true;
    }
    const auto groupKey = [](const QRegularExpressionMatch &match, Family *family) {
        const bool levels = match.captured(1) == QLatin1String("G");
        *family = levels ? Family::Group : Family::GroupN;
        return (levels ? GroupPrefix : GroupNPrefix)
               + QString::number(match.captured(2).toUInt(nullptr, 16), 16);
    };
    Family family = Family::None;
    m = NumberedQuery.match(line);
    if (m.hasMatch()) {
        const QString key = groupKey(m, &family);
        setQuery(family, key);
        return true;
    }
    m = NumberedSet.match(line);
    if (m.hasMatch()) {
        const QString key = groupKey(m, &family);
        setSet(family, key, m.captured(3));
        return true;
    }
    return false;
}

QString SimCommand::canonicalCombos(const QString &text, bool *ok)
{
    // "[1,2][3,4]": each bracket one combination of joined rooms. A room
    // stands in one combination at most; a "combination" of a single room
    // joins nothing and is dropped.
    static const QRegularExpression combo(QStringLiteral(R"re(\[([0-9]{1,9}(?:,[0-9]{1,9})*)\])re"));
    QString compact = text;
    compact.remove(QLatin1Char(' '));
    QString result;
    QSet<int> seen;
    int position = 0;
    QRegularExpressionMatchIterator it = combo.globalMatch(compact);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart() != position) {
            *ok = false;
            return QString();
        }
        position = m.capturedEnd();
        const QStringList rooms = m.captured(1).split(QLatin1Char(','));
        QStringList numbers;
        for (const QString &room : rooms) {
            const int number = room.toInt();
            if (number <= 0 || seen.contains(number)) {
                *ok = false;
                return QString();
            }
            seen.insert(number);
            numbers.append(QString::number(number));
        }
        if (numbers.size() >= 2)
            result += QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
    }
    *ok = position == compact.size();
    return *ok ? result : QString();
}

bool SimCommand::parseRoomCombine(const QString &line)
{
    QRegularExpressionMatch m = CombineQuery.match(line);
    if (m.hasMatch()) {
        const int group = m.captured(1).toInt();
        if (group <= 0)
            return false;
        setQuery(Family::RoomCombine, CombinePrefix + QString::number(group));
        return true;
    }
    m = CombineSet.match(line);
    if (m.hasMatch()) {
        const int group = m.captured(1).toInt();
        bool ok = false;
        const QString combos = canonicalCombos(m.captured(2), &ok);
        if (group <= 0 || !ok)
            return false;
        setSet(Family::RoomCombine, CombinePrefix + QString::number(group), combos);
        return true;
    }
    return false;
}

bool SimCommand::parseSubscription(const QString &line)
{
    const QRegularExpressionMatch m = Subscription.match(line);
    if (!m.hasMatch())
        return false;
    m_kind = m.captured(1) == QLatin1String("SUB") ? Kind::Subscribe : Kind::Unsubscribe;
    m_subject = m.captured(2);
    return true;
}

QString SimCommand::reply(const QString &value) const
{
    switch (m_family) {
    case Family::Parameter:
        return m_text + QLatin1Char('=') + value;
    case Family::Status:
        return QLatin1String("S 0x") + value;
    case Family::Group:
    case Family::GroupN:
    case Family::RoomCombine:
        return m_text + QLatin1Char(',') + value;
    case Family::None:
        break;
    }
    return QString();
}

QString SimCommand::defaultValue(const QString &key)
{
    if (key.startsWith(ParameterPrefix)) {
        // The block name tells the kind of parameter well enough for a
        // panel to show something sensible: mutes are off ("F", the first
        // entry of the mute lists), selectors on their first input, and
        // everything else at unity (0.0 dB).
        const QString name = key.mid(ParameterPrefix.size()).section(QLatin1Char('"'), 0, 0).toLower();
        if (name.contains(QLatin1String("mute")))
            return QStringLiteral("F");
        if (name.startsWith(QLatin1String("sel")) || name.contains(QLatin1String("select"))
            || name.contains(QLatin1String("source")))
            return QStringLiteral("1");
        return QStringLiteral("0.0");
    }
    if (key == StatusKey)
        return QStringLiteral("0");
    if (key.startsWith(GroupPrefix))
        return QStringLiteral("78"); // group level code of 0 dB
    if (key.startsWith(GroupNPrefix))
        return QStringLiteral("0");
    return QString(); // rooms not combined
}

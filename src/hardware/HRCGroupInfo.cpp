#include "HRCGroupInfo.h"

#include "KvrLogging.h"

#include <QReadLocker>
#include <QWriteLocker>

namespace {
const QString AnswerWord = QStringLiteral("GRC");
constexpr int MaxNumberDigits = 9;

// A decimal number of 1 or more that fits an int; 0 otherwise.
int positiveNumber(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > MaxNumberDigits)
        return 0;
    for (const QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    return t.toInt();
}
} // namespace

HRCGroupInfo::HRCGroupInfo()
{
    setTitle(QStringLiteral("RCGroupInfo"));
}

HRCGroupInfo::~HRCGroupInfo() = default;

QString HRCGroupInfo::category() const
{
    return QStringLiteral("RCGroupInfo");
}

bool HRCGroupInfo::registerGroup(const QObject *owner, int number, int slotCount,
                                 const QList<RoomInfo> &rooms)
{
    if (number <= 0)
        return false;
    {
        QWriteLocker locker(&m_lock);
        const auto holder = m_owners.constFind(number);
        if (holder != m_owners.constEnd() && holder.value() != owner) {
            qCWarning(lcHardware) << "Room-combine group" << number
                                  << "is defined twice; the second definition is not used";
            return false;
        }
        m_owners.insert(number, owner);
        auto it = m_groups.find(number);
        if (it == m_groups.end())
            it = m_groups.insert(number, RCGroup(number, slotCount));
        it->setSlotCount(slotCount);
        it->setRooms(rooms);
    }
    return true;
}

void HRCGroupInfo::unregisterGroup(const QObject *owner)
{
    QWriteLocker locker(&m_lock);
    for (auto it = m_owners.begin(); it != m_owners.end();) {
        if (it.value() == owner) {
            m_groups.remove(it.key());
            it = m_owners.erase(it);
        } else {
            ++it;
        }
    }
}

bool HRCGroupInfo::contains(int number) const
{
    QReadLocker locker(&m_lock);
    return m_groups.contains(number);
}

bool HRCGroupInfo::parseAnswer(const QString &answer, int *group, QList<QList<int>> *combos,
                               QString *problem)
{
    combos->clear();
    *group = 0;
    if (answer.size() > MaxAnswerLength) {
        *problem = QStringLiteral("an answer of %1 characters is too long").arg(answer.size());
        return false;
    }
    QString text = answer;
    while (text.endsWith(QLatin1Char('\r')) || text.endsWith(QLatin1Char('\n')))
        text.chop(1);

    const int open = text.indexOf(QLatin1Char('['));
    QString head = open >= 0 ? text.left(open) : text;
    if (!head.endsWith(QLatin1Char(','))) {
        *problem = QStringLiteral("the group number is not followed by a comma");
        return false;
    }
    head.chop(1);
    const QStringList fields = head.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (fields.size() != 2 || fields.first() != AnswerWord) {
        *problem = QStringLiteral("the answer does not begin with GRC and a group number");
        return false;
    }
    *group = positiveNumber(fields.at(1));
    if (*group <= 0) {
        *problem = QStringLiteral("the group number is not a number of 1 or more");
        return false;
    }
    if (open < 0)
        return true;

    // Every part must be one bracketed list: a combination cut short would
    // otherwise read as one the device dissolved.
    const QStringList parts = text.mid(open + 1).split(QLatin1Char('['));
    for (const QString &part : parts) {
        const QString trimmedPart = part.trimmed();
        if (!trimmedPart.endsWith(QLatin1Char(']'))) {
            *problem = QStringLiteral("a combination is not closed by \"]\"");
            combos->clear();
            return false;
        }
        const QString inside = trimmedPart.chopped(1);
        if (inside.trimmed().isEmpty())
            continue;
        QList<int> rooms;
        for (const QString &piece : inside.split(QLatin1Char(','))) {
            const int room = positiveNumber(piece);
            if (room <= 0) {
                *problem = QStringLiteral("\"%1\" is not a room number").arg(piece.left(20));
                combos->clear();
                return false;
            }
            rooms.append(room);
        }
        combos->append(rooms);
    }
    return true;
}

bool HRCGroupInfo::applyAnswer(const QString &answer)
{
    int number = 0;
    QList<QList<int>> combos;
    QString problem;
    if (!parseAnswer(answer, &number, &combos, &problem)) {
        qCDebug(lcHardware).noquote() << "Room-combine answer ignored:" << problem;
        return false;
    }
    {
        QWriteLocker locker(&m_lock);
        const auto it = m_groups.find(number);
        if (it == m_groups.end()) {
            problem = QStringLiteral("group %1 is not known").arg(number);
        } else if (it->setCombos(combos, &problem)) {
            problem.clear();
        }
    }
    if (!problem.isEmpty()) {
        qCDebug(lcHardware).noquote() << "Room-combine answer ignored:" << problem;
        return false;
    }
    emit combosChanged(number);
    return true;
}

QString HRCGroupInfo::click(int group, int room, int selectedSlot)
{
    QString result;
    {
        QWriteLocker locker(&m_lock);
        const auto it = m_groups.find(group);
        if (it == m_groups.end())
            return RCGroup::FailurePrefix + RCGroup::tr("Room-combine group %1 is not known.").arg(group);
        result = it->click(room, selectedSlot);
    }
    if (!result.startsWith(RCGroup::FailurePrefix))
        emit combosChanged(group);
    return result;
}

void HRCGroupInfo::restore(const RCGroup &state)
{
    {
        QWriteLocker locker(&m_lock);
        const auto it = m_groups.find(state.number());
        if (it == m_groups.end())
            return;
        it->setCombosOf(state);
    }
    emit combosChanged(state.number());
}

RCGroup HRCGroupInfo::group(int number) const
{
    QReadLocker locker(&m_lock);
    return m_groups.value(number);
}

QString HRCGroupInfo::roomColor(int group, int room) const
{
    QReadLocker locker(&m_lock);
    const auto it = m_groups.constFind(group);
    return it != m_groups.constEnd() ? it->colorOf(room) : RCCombo::noComboColor();
}

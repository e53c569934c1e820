#include "HBlockRegistry.h"

#include <QRegularExpression>

namespace {
QList<int> roomNumbers(const QString &group, const QRegularExpression &separators)
{
    QList<int> rooms;
    for (const QString &member : group.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const int room = member.trimmed().toInt(&ok);
        if (ok)
            rooms.append(room);
    }
    return rooms;
}
} // namespace

void HBlockRegistry::enterRoom(int number, const QString &name, const Layout &layout)
{
    m_rooms.append({number, name, layout});
}

HBlockRegistry::Layout HBlockRegistry::parseLayout(const QString &roomCombine)
{
    static const QRegularExpression braces(QStringLiteral("\\{([^}]*)\\}"));
    static const QRegularExpression brackets(QStringLiteral("\\[([^\\]]*)\\]"));
    static const QRegularExpression braceMembers(QStringLiteral("[|+]"));
    static const QRegularExpression bracketMembers(QStringLiteral(","));

    const bool braceForm = roomCombine.trimmed().startsWith(QLatin1Char('{'));
    Layout layout;
    auto it = (braceForm ? braces : brackets).globalMatch(roomCombine);
    while (it.hasNext()) {
        const QString content = it.next().captured(1);
        // Inside braces a comma separates groups; inside brackets it
        // separates rooms.
        const QStringList groups = braceForm ? content.split(QLatin1Char(',')) : QStringList{content};
        for (const QString &group : groups) {
            const QList<int> rooms = roomNumbers(group, braceForm ? braceMembers : bracketMembers);
            if (!rooms.isEmpty())
                layout.append(rooms);
        }
    }
    return layout;
}

#include "PKVDCommand.h"

#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "TTransform.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString ParameterQuery = QStringLiteral("GA");
const QString SpacedParameterQuery = QStringLiteral("GA \"");
const QString StatusKey = QStringLiteral("GS");
const QString StatusAnswer = QStringLiteral("S ");
const QString GroupLevelQuery = QStringLiteral("GG ");
const QString GroupNumberQuery = QStringLiteral("GN ");
const QString CombineQuery = QStringLiteral("GRC ");
const QString LevelQuery = QStringLiteral("GL");

QString withoutLineEnd(QString text)
{
    while (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

// A line end would end the command early; a NUL or another control byte
// means nothing to a device and may cut the command in its firmware.
bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// "GL" on its own or followed by white space: a level report or its query.
bool isLevelLine(const QString &line)
{
    return line.startsWith(LevelQuery) && (line.size() == 2 || line.at(2).isSpace());
}

} // namespace

QString PKVDCommand::hex(int value)
{
    return QString::number(value, 16);
}

QString PKVDCommand::controlName(const TTransform *transform)
{
    const CAttributes *attributes = transform->ownerAttributes();
    if (attributes && attributes->owner())
        return attributes->owner()->name();
    return transform->node() ? transform->node()->label() : QString();
}

bool PKVDCommand::isSafeName(const QString &name)
{
    for (const QChar c : name) {
        if (c == QLatin1Char('"') || c == QLatin1Char('=') || c == QLatin1Char(';'))
            return false;
    }
    return !hasControlCharacter(name);
}

QString PKVDCommand::checkedName(const TTransform *transform, const QString &name, QString *problem)
{
    if (isSafeName(name))
        return name.isNull() ? QStringLiteral("") : name;
    *problem = QStringLiteral("Control \"%1\": the name \"%2\" holds a double quote, \"=\", \";\", a line "
                              "end or a control character and cannot be sent to the device; nothing was sent.")
                   .arg(controlName(transform), name);
    return QString();
}

QString PKVDCommand::linkedName(const TTransform *transform, QString *problem)
{
    if (!transform->linked()) {
        *problem = QStringLiteral("Control \"%1\": it addresses its parameter through a linked control, "
                                  "but is linked to none; nothing was sent.")
                       .arg(controlName(transform));
        return QString();
    }
    return checkedName(transform, transform->linked()->valueText(), problem);
}

bool PKVDCommand::isParameterFamily(int structure)
{
    return (structure >= 0 && structure <= Linked) || structure == Channel || structure == Matrix;
}

QString PKVDCommand::parameterAddress(const TTransform *transform, bool forSet, QString *problem)
{
    const int structure = int(transform->ownerAttributes()->structure());
    const QString name = checkedName(transform,
                                     structure == Channel ? transform->ownerAttributes()->channelLabel()
                                                          : transform->node()->label(),
                                     problem);
    if (name.isNull())
        return QString();
    const QString i1 = QString::number(forSet ? transform->sendIndex1() : transform->index1());
    const QString i2 = QString::number(forSet ? transform->sendIndex2() : transform->index2());
    QString indexes;
    switch (structure) {
    case TwoIndexes:
        indexes = i1 + QLatin1Char('>') + i2;
        break;
    case Linked:
        indexes = linkedName(transform, problem);
        if (indexes.isNull())
            return QString();
        indexes += QLatin1Char('>') + i2;
        break;
    case Channel:
        indexes = i2;
        break;
    case Matrix:
        // A matrix point is read back as row 0 of its column.
        indexes = forSet ? i1 : QStringLiteral("0>") + i2;
        break;
    default:
        indexes = i1;
        break;
    }
    return QLatin1Char('"') + name + QStringLiteral("\">") + indexes;
}

QStringList PKVDCommand::setCommands(const TTransform *transform, QString *problem)
{
    const CAttributes *attributes = transform->ownerAttributes();
    const HNode *node = transform->node();
    if (!attributes || !node)
        return {};
    const QString value = transform->valueText();
    const int structure = int(attributes->structure());
    // A list index outside the list reads as "?", a table code as NUL or a
    // byte past ASCII, a level as "nan": none of them is a value the
    // device knows.
    if (!transform->hasSendableValue()) {
        *problem = QStringLiteral("Control \"%1\": its value \"%2\" is not one the device can take; nothing "
                                  "was sent.")
                       .arg(controlName(transform), QString(value).replace(QChar(0), QLatin1String("\\0")));
        return {};
    }
    if (structure != Passthrough && hasControlCharacter(value)) {
        *problem = QStringLiteral("Control \"%1\": the value holds a line end or a control character and "
                                  "cannot be sent to the device; nothing was sent.")
                       .arg(controlName(transform));
        return {};
    }
    const QString cr = QStringLiteral("\r");
    if (isParameterFamily(structure)) {
        const QString address = parameterAddress(transform, true, problem);
        if (address.isNull())
            return {};
        const QString word = structure == Matrix ? QStringLiteral("MA ")
                             : structure == Channel ? QStringLiteral("SA")
                                                    : QStringLiteral("SA ");
        return {word + address + QLatin1Char('=') + value + cr};
    }
    switch (structure) {
    case Status: {
        int status = 0;
        transform->value(status);
        return {QStringLiteral("SS ") + hex(status) + QStringLiteral(" \r")};
    }
    case GroupLevel:
    case GroupNumber:
        return {(structure == GroupLevel ? QStringLiteral("SG ") : QStringLiteral("SN "))
                + hex(transform->sendIndex1()) + QLatin1Char(',') + value + cr};
    case Passthrough: {
        // The value is a ready command, or several separated by ";".
        QStringList commands;
        const QStringList parts = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString &part : parts) {
            const QString command = withoutLineEnd(part);
            if (command.isEmpty())
                continue;
            if (hasControlCharacter(command)) {
                *problem = QStringLiteral("Control \"%1\": a command holds a line end or a control "
                                          "character inside; nothing was sent.")
                               .arg(controlName(transform));
                return {};
            }
            commands.append(command + cr);
        }
        return commands;
    }
    default:
        return {};
    }
}

QString PKVDCommand::query(const TTransform *transform, QString *problem)
{
    const CAttributes *attributes = transform->ownerAttributes();
    const HNode *node = transform->node();
    if (!attributes || !node)
        return QString();
    const int structure = int(attributes->structure());
    if (isParameterFamily(structure)) {
        const QString address = parameterAddress(transform, false, problem);
        if (address.isNull())
            return QString();
        return (structure == Linked ? QStringLiteral("GA ") : ParameterQuery) + address;
    }
    switch (structure) {
    case Status:
        return QStringLiteral("GS ");
    case GroupLevel:
        return GroupLevelQuery + hex(transform->index1());
    case GroupNumber:
        return GroupNumberQuery + hex(transform->index1());
    case Passthrough: {
        const QString command = withoutLineEnd(transform->pollCommand());
        if (hasControlCharacter(command)) {
            *problem = QStringLiteral("Control \"%1\": the poll command holds a line end inside; nothing "
                                      "was sent.")
                           .arg(controlName(transform));
            return QString();
        }
        return command;
    }
    case LevelReport: {
        const int slot = node->slotNumber();
        if (slot < 0) {
            *problem = QStringLiteral("Control \"%1\": the node \"%2\" has no card slot to ask for levels.")
                           .arg(controlName(transform), node->label());
            return QString();
        }
        return QStringLiteral("GL ") + QString::number(slot, 16).toUpper();
    }
    default:
        return QString();
    }
}

QString PKVDCommand::settingKey(int structure, const QString &command)
{
    if (structure == Passthrough)
        return QString();
    if (structure == Status)
        return QStringLiteral("SS ");
    // The value follows the first "=" (parameters) or "," (groups); names
    // never hold either.
    const int equals = command.indexOf(QLatin1Char('='));
    const int comma = command.indexOf(QLatin1Char(','));
    const int end = isParameterFamily(structure) ? equals : comma;
    return end >= 0 ? command.left(end + 1) : QString();
}

QString PKVDCommand::replyTag(const QString &query)
{
    const QString q = withoutLineEnd(query);
    if (routingKey(q) == StatusKey)
        return StatusAnswer;
    if (q.startsWith(GroupLevelQuery) || q.startsWith(GroupNumberQuery) || q.startsWith(CombineQuery))
        return q + QLatin1Char(',');
    if (isLevelLine(q))
        return q + QLatin1Char(' ');
    return q + QLatin1Char('=');
}

QString PKVDCommand::routingKey(const QString &query)
{
    const QString q = withoutLineEnd(query);
    if (q.startsWith(SpacedParameterQuery))
        return ParameterQuery + q.mid(3);
    if (q.trimmed() == StatusKey)
        return StatusKey;
    if (q.startsWith(CombineQuery))
        return q + QLatin1Char(',');
    if (isLevelLine(q))
        return QStringLiteral("GL ") + q.mid(2).trimmed().toUpper();
    return q;
}

QString PKVDCommand::replyKey(const QString &line)
{
    if (isLevelLine(line)) {
        static const QRegularExpression whiteSpace(QStringLiteral("\\s+"));
        const QStringList fields = line.split(whiteSpace, Qt::SkipEmptyParts);
        return fields.size() >= 2 ? QStringLiteral("GL ") + fields.at(1).toUpper() : line;
    }
    const int equals = line.indexOf(QLatin1Char('='));
    if (equals >= 0)
        return routingKey(line.left(equals));
    const int comma = line.indexOf(QLatin1Char(','));
    if (line.startsWith(CombineQuery))
        return comma >= 0 ? line.left(comma + 1) : line + QLatin1Char(',');
    if (line.startsWith(StatusAnswer))
        return StatusKey;
    return comma >= 0 ? line.left(comma) : line;
}

#include "SimPhoneLines.h"

#include "SimCommand.h"

SimPhoneLines::SimPhoneLines(QObject *parent) : QObject(parent) {}

void SimPhoneLines::setSettings(const SimPhoneSettings &settings)
{
    m_settings = settings;
    for (SimPhoneLine *line : std::as_const(m_lines))
        line->setSettings(settings);
}

SimPhoneLine *SimPhoneLines::add(const QString &key, const QString &blockName, SimPhoneLine::Kind kind)
{
    auto *line = new SimPhoneLine(blockName, kind, m_settings, this);
    m_lines.insert(key, line);
    connect(line, &SimPhoneLine::changed, this,
            [this, key, line](const QString &status) { emit changed(key, status, line); });
    // Queries answer the line's state from the start, not a level.
    emit changed(key, line->statusText(), line);
    return line;
}

SimPhoneLine *SimPhoneLines::declare(const QString &blockName, SimPhoneLine::Kind kind)
{
    const QString key = SimCommand::parse(QStringLiteral("GA\"%1\">%2").arg(blockName).arg(DialerIndex)).key();
    if (SimPhoneLine *line = m_lines.value(key))
        return line;
    return add(key, blockName, kind);
}

SimPhoneLine *SimPhoneLines::lineForSet(const SimCommand &set)
{
    if (set.kind() != SimCommand::Kind::Set)
        return nullptr;
    if (SimPhoneLine *line = m_lines.value(set.key()))
        return line;
    if (!SimPhoneLine::isCommand(set.value()) || !set.key().startsWith(QLatin1String("GA\"")))
        return nullptr;
    const QString blockName = set.key().section(QLatin1Char('"'), 1, 1);
    return add(set.key(), blockName, SimPhoneLine::kindForName(blockName));
}

SimPhoneLine *SimPhoneLines::find(const QString &blockName) const
{
    for (SimPhoneLine *line : m_lines) {
        if (line->blockName() == blockName)
            return line;
    }
    return nullptr;
}

#include "HFamilyTables.h"

#include "KvrLogging.h"

#include <QFile>
#include <QHash>

namespace {
// The tables are resources of the program, read in the main thread only;
// the callers keep what they parse from them in plain static caches.
QString readTable(const QString &folder, const QString &file)
{
    const QString path = QStringLiteral(":/data/%1/%2").arg(folder, file);
    QFile table(path);
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCDebug(lcHardware).noquote() << "Cannot read the family table" << path;
        return QString();
    }
    return QString::fromUtf8(table.readAll());
}
} // namespace

QStringList HFamilyTables::tableLines(const QString &text)
{
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            lines.append(line);
    }
    return lines;
}

QList<HFamilyTables::Module> HFamilyTables::parseModules(const QString &text)
{
    QList<Module> rows;
    for (const QString &line : tableLines(text)) {
        QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() == 2) {
            const int blank = fields.first().lastIndexOf(QLatin1Char(' '));
            if (blank > 0 && fields.first().endsWith(QLatin1String(".xml"))) {
                const QString first = fields.takeFirst();
                fields.prepend(first.mid(blank + 1));
                fields.prepend(first.left(blank));
            }
        }
        if (fields.size() < 3) {
            qCDebug(lcHardware).noquote() << "Module table row without its three fields:" << line;
            continue;
        }
        rows.append({fields.at(0), fields.at(1), fields.at(2)});
    }
    return rows;
}

bool HFamilyTables::knowsDevice(const QString &folder, const QString &title)
{
    if (folder.isEmpty())
        return false;
    static QHash<QString, QStringList> titles;
    auto known = titles.find(folder);
    if (known == titles.end())
        known = titles.insert(folder, tableLines(readTable(folder, QStringLiteral("Chassis.dict"))));
    return known->contains(title);
}

std::optional<HFamilyTables::Module> HFamilyTables::module(const QString &folder, int direction,
                                                          const QString &cardType)
{
    if (folder.isEmpty())
        return std::nullopt;
    static QHash<QString, QList<Module>> tables;
    const QString file = direction == 1 ? QStringLiteral("InputModules.dict")
                                        : QStringLiteral("OutputModules.dict");
    const QString key = folder + QLatin1Char('/') + file;
    auto table = tables.find(key);
    if (table == tables.end())
        table = tables.insert(key, parseModules(readTable(folder, file)));
    for (const Module &row : std::as_const(*table)) {
        if (row.cardType == cardType)
            return row;
    }
    return std::nullopt;
}

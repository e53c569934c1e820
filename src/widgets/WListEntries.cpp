#include "WListEntries.h"

#include "HNode.h"
#include "HParameterSetList.h"
#include "KvrLogging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const QString MsgKey = QStringLiteral("msg");
const QString ItemKey = QStringLiteral("item");
const QString NodeKey = QStringLiteral("node");
const QString GroupKey = QStringLiteral("group");
const QString FileKey = QStringLiteral("file");
const QString SourceListKey = QStringLiteral("sourceList");
const QString ItemsWithValues = QStringLiteral("ItemAndIndexes");
const QString SetListWord = QStringLiteral("PSetList");

int baseTenOrZero(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

QList<int> numbered(int count)
{
    QList<int> values;
    for (int i = 1; i <= count; ++i)
        values.append(i);
    return values;
}
} // namespace

const QString WListEntries::IndexKey = QStringLiteral("index");

bool WListEntries::isSourceKey(const QString &name)
{
    return name == MsgKey || name == ItemKey || name == NodeKey || name == GroupKey || name == FileKey
           || name == SourceListKey;
}

void WListEntries::addSource(const QString &element, const QString &text)
{
    m_sources.append({element, text});
}

void WListEntries::setIndexText(const QString &text)
{
    m_indexText = text;
    m_hasIndex = true;
}

bool WListEntries::fromSourceList() const
{
    for (const Source &source : m_sources) {
        if (source.element == SourceListKey)
            return true;
    }
    return false;
}

WListEntries::Entries WListEntries::commaList(const QString &text)
{
    Entries entries;
    for (const QString &piece : text.split(QLatin1Char(','))) {
        const QString entry = piece.trimmed();
        // An empty piece ends the list (the list "a,b," has two entries).
        if (entry.isEmpty())
            break;
        entries.texts.append(entry);
    }
    entries.values = numbered(int(entries.texts.size()));
    return entries;
}

WListEntries::Entries WListEntries::parameterSets(const HNode *node)
{
    Entries entries;
    entries.mode = ParameterSetList;
    const auto *list = qobject_cast<const HParameterSetList *>(node);
    if (!list)
        return entries;
    HNode *root = node->root();
    for (const QString &member : list->members()) {
        const HNode *set = root->findByCategoryAndAttribute(HNode::parameterSetsCategory(),
                                                            QStringLiteral("id"), member);
        // The device numbers the sets by their place in the list, so a set
        // the design lost keeps its place.
        entries.texts.append(set ? set->label() : QCoreApplication::translate("WDropList", "Set %1").arg(member));
        entries.values.append(baseTenOrZero(member));
    }
    return entries;
}

WListEntries::Entries WListEntries::nodeEntries(const HNode *node, const QString &which)
{
    Entries entries;
    if (!node)
        return entries;
    if (which == SetListWord)
        return parameterSets(node);
    entries.mode = NodeList;
    if (which == ItemsWithValues) {
        const QStringList items = node->selectorItems();
        for (const QString &item : items) {
            const int mark = item.indexOf(QLatin1Char('>'));
            bool ok = false;
            const int value = mark > 0 ? item.left(mark).toInt(&ok, 10) : 0;
            entries.texts.append(ok ? item.mid(mark + 1) : item);
            entries.values.append(ok ? value : int(entries.values.size()) + 1);
        }
        return entries;
    }
    QList<HNode *> nodes;
    node->root()->collectByCategory(which, nodes);
    for (const HNode *listed : std::as_const(nodes)) {
        bool ok = false;
        const int id = listed->id().toInt(&ok, 10);
        entries.texts.append(listed->label());
        entries.values.append(ok ? id : int(entries.values.size()) + 1);
    }
    return entries;
}

WListEntries::Entries WListEntries::fileEntries(const QString &folder, const QString &name)
{
    Entries entries;
    const QString relative = QDir::cleanPath(name.trimmed());
    // A list file lies in the folder itself or below it.
    if (folder.isEmpty() || relative.isEmpty() || QDir::isAbsolutePath(relative)
        || relative.startsWith(QLatin1String(".."))) {
        qCDebug(lcWidgets).noquote() << "Drop-list file" << name << "is not inside the list folder; not read";
        return entries;
    }
    QFile file(QDir(folder).filePath(relative));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > MaxFileBytes) {
        qCDebug(lcWidgets).noquote() << "Drop-list file" << file.fileName() << "cannot be read";
        return entries;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QString text = line.trimmed();
        if (!text.isEmpty() && entries.texts.size() < MaxFileEntries)
            entries.texts.append(text);
    }
    entries.values = numbered(int(entries.texts.size()));
    return entries;
}

WListEntries::Entries WListEntries::entriesOf(const Source &source, const HNode *node, const QString &folder) const
{
    const QString &element = source.element;
    const QString text = source.text.trimmed();
    if (element == MsgKey)
        return commaList(text);
    if (element == ItemKey)
        return commaList(!text.isEmpty() || !node ? text : node->channelNames());
    if (element == NodeKey)
        return text.isEmpty() ? Entries() : nodeEntries(node, text);
    if (element == GroupKey) {
        if (text.isEmpty() || !node)
            return Entries();
        Entries entries;
        for (const QString &item : node->selectorItems())
            entries.texts.append(item.section(QLatin1Char('>'), -1));
        entries.values = numbered(int(entries.texts.size()));
        return entries;
    }
    if (element == FileKey)
        return text.isEmpty() ? Entries() : fileEntries(folder, text);
    if (element == SourceListKey) {
        if (!text.isEmpty())
            return commaList(text);
        Entries entries;
        entries.texts = node ? node->inputLabels() : QStringList();
        entries.values = numbered(int(entries.texts.size()));
        return entries;
    }
    return Entries();
}

void WListEntries::build(const HNode *node, const QString &folder)
{
    Entries chosen;
    QString chosenElement;
    for (const Source &source : std::as_const(m_sources)) {
        Entries entries = entriesOf(source, node, folder);
        if (entries.texts.isEmpty())
            continue;
        if (source.element == ItemKey && chosenElement == ItemKey) {
            chosen.texts += entries.texts;
            chosen.values = numbered(int(chosen.texts.size()));
        } else {
            chosen = entries;
            chosenElement = source.element;
        }
    }
    m_texts = chosen.texts;
    m_values = chosen.values;
    m_mode = chosen.mode;
    if (!m_hasIndex)
        return;
    const QStringList pieces = m_indexText.split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (pieces.size() > m_texts.size())
        qCWarning(lcWidgets) << "Drop list: the index names" << pieces.size() << "values for"
                             << m_texts.size() << "entries; the extra ones are dropped";
    for (int i = 0; i < m_texts.size(); ++i)
        m_values[i] = i < pieces.size() ? baseTenOrZero(pieces.at(i)) : i + 1;
}

QString WListEntries::indexText() const
{
    QStringList numbers;
    for (int value : m_values)
        numbers.append(QString::number(value));
    return numbers.join(QLatin1Char(','));
}

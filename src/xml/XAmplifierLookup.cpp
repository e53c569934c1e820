#include "XAmplifierLookup.h"

#include "KvrLogging.h"

#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamReader>

namespace {
// The file's text, decoded as its byte-order mark or its declaration says
// (the design software writes Windows-1252), without the declaration, so
// that the reader does not take an encoding from it again.
QString decoded(const QByteArray &raw)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(raw, nullptr);
    if (!codec) {
        static const QRegularExpression encoding(
            QStringLiteral("^\\s*<\\?xml[^>]*encoding\\s*=\\s*[\"']([A-Za-z0-9._-]+)[\"']"));
        const QRegularExpressionMatch match = encoding.match(QString::fromLatin1(raw.left(256)));
        if (match.hasMatch())
            codec = QTextCodec::codecForName(match.captured(1).toLatin1());
    }
    if (!codec)
        codec = QTextCodec::codecForName("UTF-8");
    static const QRegularExpression declaration(QStringLiteral("^\\x{FEFF}?\\s*<\\?xml[^>]*\\?>"));
    return codec->toUnicode(raw).remove(declaration);
}

// An element that is open while the index is built.
struct OpenElement
{
    QString name;
    QString id;
    QString amplifier;
    bool hasTitle = false;
    QString title;
    // Node ids whose first property lies in this element.
    QStringList nodeIds;
    // A Group of the Assignment list whose Assign elements are its members.
    bool membersOfGroup = false;
};
} // namespace

void XAmplifierLookup::setRawXml(const QByteArray &rawXml)
{
    m_rawXml = rawXml;
    m_nodes.clear();
    m_groups.clear();
    m_hasAssignment = false;
    m_tried = false;
    m_indexed = false;
}

bool XAmplifierLookup::ensureIndex()
{
    if (!m_tried) {
        m_tried = true;
        ++m_parseCount;
        m_indexed = buildIndex(decoded(m_rawXml));
    }
    return m_indexed;
}

bool XAmplifierLookup::buildIndex(const QString &text)
{
    QXmlStreamReader xml(text);
    QList<OpenElement> open;
    int skipped = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (skipped > 0) {
                --skipped;
                continue;
            }
            if (open.isEmpty())
                continue;
            const OpenElement closed = open.takeLast();
            for (const QString &id : closed.nodeIds) {
                m_nodes[id].hasTitle = closed.hasTitle;
                m_nodes[id].title = closed.title;
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes atts = xml.attributes();
        // The inner design of a logic block numbers its own nodes.
        if (skipped > 0 || xml.name() == QLatin1String("LogicView")) {
            ++skipped;
            continue;
        }
        const QString name = xml.name().toString();
        OpenElement *parent = open.isEmpty() ? nullptr : &open.last();
        if (name == QLatin1String("Property") && parent) {
            const auto property = atts.value(QLatin1String("name"));
            const QString value = atts.value(QLatin1String("value")).toString();
            if (property == QLatin1String("title") && !parent->hasTitle) {
                parent->hasTitle = true;
                parent->title = value;
            } else if (property == QLatin1String("nodeID") && !m_nodes.contains(value)) {
                NodeEntry entry;
                entry.inList = open.size() > 1;
                if (entry.inList)
                    entry.listAmplifier = open.at(open.size() - 2).amplifier;
                m_nodes.insert(value, entry);
                parent->nodeIds.append(value);
            }
        }
        OpenElement element;
        element.name = name;
        element.id = atts.value(QLatin1String("id")).toString();
        element.amplifier = atts.value(QLatin1String("brambleNodeID")).toString();
        if (name == QLatin1String("Assign") && parent && parent->membersOfGroup) {
            const QString target = atts.value(QLatin1String("targetID")).toString();
            if (!target.isEmpty())
                m_groups[parent->id].append(target);
        } else if (name == QLatin1String("Group") && open.size() == 2
                   && parent->name == QLatin1String("Assignment")) {
            // Only the first group of an id counts.
            element.membersOfGroup = !m_groups.contains(element.id);
            if (element.membersOfGroup)
                m_groups.insert(element.id, QStringList());
        } else if (name == QLatin1String("Assignment") && open.size() == 1) {
            m_hasAssignment = true;
        }
        open.append(element);
    }
    if (xml.hasError()) {
        qCDebug(lcXml).noquote().nospace()
            << "Failed to parse raw XML of kvp file at line: " << xml.lineNumber()
            << ", col: " << xml.columnNumber() << " : " << xml.errorString();
        m_nodes.clear();
        m_groups.clear();
        return false;
    }
    return true;
}

QStringList XAmplifierLookup::modelNames(const QString &groupId)
{
    qCDebug(lcXml).noquote() << "Finding group chessis for gorup " + groupId;
    if (!ensureIndex())
        return QStringList();
    if (!m_hasAssignment) {
        qCDebug(lcXml) << "Failed to find XML node at /Assignment";
        return QStringList();
    }
    const auto group = m_groups.constFind(groupId);
    if (group == m_groups.constEnd()) {
        qCDebug(lcXml).noquote() << "Failed to find XML nodes at /Assignment/Group[@id=" + groupId
                                        + "]/Assign";
        return QStringList();
    }
    if (group->isEmpty()) {
        qCDebug(lcXml).noquote()
            << "Failed to find XML attribute values for /Assignment/Group[@id=" + groupId
                   + "]/Assign[@targetId]";
        return QStringList();
    }
    QStringList models;
    for (const QString &target : *group) {
        const QString model = amplifierOf(target);
        if (!model.isEmpty())
            models.append(model);
    }
    return models;
}

QString XAmplifierLookup::amplifierOf(const QString &targetId) const
{
    const QString where = "../Property[@name='nodeId', value=" + targetId + "]";
    const auto member = m_nodes.constFind(targetId);
    if (member == m_nodes.constEnd()) {
        qCDebug(lcXml).noquote() << "Failed to find XML node at " + where;
        return QString();
    }
    if (!member->inList) {
        qCDebug(lcXml).noquote() << "Failed to find rootModule of " + where;
        return QString();
    }
    const QString amplifierId = member->listAmplifier;
    if (amplifierId.isEmpty())
        return QString();
    const auto amplifier = m_nodes.constFind(amplifierId);
    if (amplifier == m_nodes.constEnd()) {
        qCDebug(lcXml).noquote() << "Failed to find PQ Amp node " + amplifierId;
        return QString();
    }
    if (!amplifier->hasTitle) {
        qCDebug(lcXml).noquote() << "Failed to find PQ Amp title Node for " + amplifierId;
        return QString();
    }
    if (amplifier->title.isEmpty())
        qCDebug(lcXml).noquote() << "Failed to find value from title node from PQ Amp " + amplifierId;
    return amplifier->title;
}

#include "XAmplifierLookup.h"

#include "KvrLogging.h"

#include <QRegularExpression>
#include <QTextCodec>

namespace {
const QString PropertyTag = QStringLiteral("Property");

// The file's text, decoded as its byte-order mark or its declaration says
// (the design software writes Windows-1252), without the declaration, so
// that the document does not read an encoding from it again.
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

QString attribute(const QDomElement &element, const char *name)
{
    return element.attribute(QLatin1String(name));
}
} // namespace

void XAmplifierLookup::setRawXml(const QByteArray &rawXml)
{
    m_rawXml = rawXml;
    m_document.clear();
    m_nodeIds.clear();
    m_tried = false;
    m_parsed = false;
}

bool XAmplifierLookup::ensureDocument()
{
    if (m_tried)
        return m_parsed;
    m_tried = true;
    ++m_parseCount;

    const QString text = decoded(m_rawXml);

    QString message;
    int line = 0;
    int column = 0;
    if (!m_document.setContent(text, &message, &line, &column)) {
        qCDebug(lcXml).noquote().nospace() << "Failed to parse raw XML of kvp file at line: " << line
                                           << ", col: " << column << " : " << message;
        return false;
    }
    indexNodeIds(m_document.documentElement());
    m_parsed = true;
    return true;
}

void XAmplifierLookup::indexNodeIds(const QDomElement &element)
{
    for (QDomElement child = element.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        // The inner design of a logic block numbers its own nodes.
        if (child.tagName() == QLatin1String("LogicView"))
            continue;
        if (child.tagName() == PropertyTag && attribute(child, "name") == QLatin1String("nodeID")) {
            const QString id = attribute(child, "value");
            if (!m_nodeIds.contains(id))
                m_nodeIds.insert(id, child);
        }
        indexNodeIds(child);
    }
}

QStringList XAmplifierLookup::modelNames(const QString &groupId)
{
    qCDebug(lcXml).noquote() << "Finding group chessis for gorup " + groupId;
    if (!ensureDocument())
        return QStringList();

    const QDomElement assignment =
        m_document.documentElement().firstChildElement(QStringLiteral("Assignment"));
    if (assignment.isNull()) {
        qCDebug(lcXml) << "Failed to find XML node at /Assignment";
        return QStringList();
    }
    QDomElement group = assignment.firstChildElement(QStringLiteral("Group"));
    while (!group.isNull() && attribute(group, "id") != groupId)
        group = group.nextSiblingElement(QStringLiteral("Group"));
    if (group.isNull()) {
        qCDebug(lcXml).noquote() << "Failed to find XML nodes at /Assignment/Group[@id=" + groupId
                                        + "]/Assign";
        return QStringList();
    }
    QStringList targets;
    for (QDomElement assign = group.firstChildElement(QStringLiteral("Assign")); !assign.isNull();
         assign = assign.nextSiblingElement(QStringLiteral("Assign"))) {
        const QString target = attribute(assign, "targetID");
        if (!target.isEmpty())
            targets.append(target);
    }
    if (targets.isEmpty()) {
        qCDebug(lcXml).noquote()
            << "Failed to find XML attribute values for /Assignment/Group[@id=" + groupId
                   + "]/Assign[@targetId]";
        return QStringList();
    }

    QStringList models;
    for (const QString &target : std::as_const(targets)) {
        const QString model = amplifierOf(target);
        if (!model.isEmpty())
            models.append(model);
    }
    return models;
}

QString XAmplifierLookup::amplifierOf(const QString &targetId) const
{
    const QString where = "../Property[@name='nodeId', value=" + targetId + "]";
    const QDomElement property = m_nodeIds.value(targetId);
    if (property.isNull()) {
        qCDebug(lcXml).noquote() << "Failed to find XML node at " + where;
        return QString();
    }
    const QDomElement node = property.parentNode().toElement();
    if (node.isNull()) {
        qCDebug(lcXml).noquote() << "Failed to find parent of " + where;
        return QString();
    }
    const QDomElement module = node.parentNode().toElement();
    if (module.isNull()) {
        qCDebug(lcXml).noquote() << "Failed to find rootModule of " + where;
        return QString();
    }
    const QString amplifierId = attribute(module, "brambleNodeID");
    if (amplifierId.isEmpty())
        return QString();
    const QDomElement amplifier = m_nodeIds.value(amplifierId);
    if (amplifier.isNull()) {
        qCDebug(lcXml).noquote() << "Failed to find PQ Amp node " + amplifierId;
        return QString();
    }
    QDomElement title = amplifier.parentNode().firstChildElement(PropertyTag);
    while (!title.isNull() && attribute(title, "name") != QLatin1String("title"))
        title = title.nextSiblingElement(PropertyTag);
    if (title.isNull()) {
        qCDebug(lcXml).noquote() << "Failed to find PQ Amp title Node for " + amplifierId;
        return QString();
    }
    const QString model = attribute(title, "value");
    if (model.isEmpty())
        qCDebug(lcXml).noquote() << "Failed to find value from title node from PQ Amp " + amplifierId;
    return model;
}

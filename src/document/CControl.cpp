#include "CControl.h"

#include "CComposite.h"
#include "CControlIds.h"
#include "CNodeLocator.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "XmlPanelTags.h"
#include "XmlWriter.h"

namespace {
// The keys a control stores before its properties, in the file's order.
const QLatin1String BlockKey("block");
const QLatin1String NodeIdKey("nodeID");
const QLatin1String NodeCategoryKey("nodeCategory");
const QLatin1String ConnectionKey("connection");
const QLatin1String IdKey("id");
} // namespace

bool CControl::NodeReference::isEmpty() const
{
    return block.isEmpty() && nodeID == 0 && category.isEmpty() && connection.isEmpty();
}

CControl::CControl(const QString &name, const QString &type, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_type(type)
    , m_id(CControlIds::next())
{
    m_attributes.setOwner(this);
}

CControl::~CControl()
{
    if (m_parentComposite)
        m_parentComposite->takeChild(this);
}

HNode *CControl::node() const
{
    return m_node;
}

void CControl::setNode(HNode *node)
{
    m_node = node;
}

TTransform *CControl::transform() const
{
    return m_transform;
}

void CControl::setTransform(TTransform *transform)
{
    m_transform = transform;
}

CControl::NodeReference CControl::currentReference() const
{
    if (!m_node)
        return m_reference;
    NodeReference reference;
    reference.block = m_node->label();
    reference.nodeID = m_node->nodeID();
    reference.category = m_node->category();
    reference.connection = m_node->connectionKey();
    return reference;
}

bool CControl::setValue(const QString &key, const QString &value)
{
    if (key == BlockKey) {
        m_reference.block = value;
    } else if (key == NodeIdKey) {
        m_reference.nodeID = value.trimmed().toInt();
    } else if (key == NodeCategoryKey) {
        m_reference.category = value;
    } else if (key == ConnectionKey) {
        m_reference.connection = value;
    } else if (key == IdKey) {
        bool ok = false;
        const quint32 id = value.trimmed().toUInt(&ok, 10);
        if (!ok || id == 0)
            return false;
        m_id = id;
    } else {
        return false;
    }
    return true;
}

bool CControl::writeXml(XmlWriter &writer) const
{
    const QString element = QLatin1String(XmlPanelTags::Control);
    if (!writer.openElement(element, m_name, m_type))
        return false;
    const NodeReference reference = currentReference();
    writer.writeElement(BlockKey, reference.block);
    writer.writeElement(NodeIdKey, reference.nodeID);
    writer.writeElement(NodeCategoryKey, reference.category);
    writer.writeElement(ConnectionKey, reference.connection);
    writer.writeElement(IdKey, static_cast<unsigned int>(m_id));

    const QString property = QLatin1String(XmlPanelTags::Property);
    writer.openElement(property, QLatin1String(XmlPanelTags::Widget));
    for (const CWidgetSpec &spec : m_widgetSpecs)
        spec.writeXml(writer);
    writer.closeElement(property);
    writer.openElement(property, QLatin1String(XmlPanelTags::Attributes));
    m_attributes.writeXml(writer);
    writer.closeElement(property);
    return writer.closeElement(element);
}

void CControl::bindNodes(const CNodeLocator &locator)
{
    m_node = locator.find(m_reference);
    if (!m_node && !m_reference.isEmpty())
        qCDebug(lcDocument).noquote()
            << QStringLiteral("CControl::bindNodes - no node for control \"%1\" (block \"%2\", "
                              "nodeID %3, nodeCategory \"%4\", connection \"%5\"); it stays unbound.")
                   .arg(m_name, m_reference.block)
                   .arg(m_reference.nodeID)
                   .arg(m_reference.category, m_reference.connection);
}

bool CControl::requestState()
{
    if (!m_transform || !m_node || m_attributes.doNotPoll())
        return true;
    if (!m_transform->pollDue())
        return true;
    PProtocol *protocol = m_node->protocol();
    if (!protocol) {
        qCDebug(lcDocument).noquote()
            << QStringLiteral("CControl::requestState - the node of control \"%1\" has no protocol.")
                   .arg(m_name);
        return false;
    }
    return protocol->poll(m_transform);
}

CControl *CControl::findById(quint32 id)
{
    return m_id == id ? this : nullptr;
}

CControl *CControl::findByName(const QString &name, const QString &type)
{
    return m_name == name && (type.isEmpty() || m_type == type) ? this : nullptr;
}

void CControl::beginWidgetSpec(const QString &element)
{
    m_widgetSpecs.append(CWidgetSpec(element));
}

bool CControl::addWidgetSetting(const QString &key, const QString &value)
{
    if (m_widgetSpecs.isEmpty())
        return false;
    m_widgetSpecs.last().append(key, value);
    return true;
}

void CControl::beginAttributeSpec(const QString &element)
{
    m_attributeSpec = CWidgetSpec(element);
    m_attributes.setKindFromElement(element);
}

bool CControl::addAttributeSetting(const QString &key, const QString &value)
{
    if (m_attributeSpec.element().isEmpty())
        return false;
    m_attributeSpec.append(key, value);
    m_attributes.setAttribute(key, value);
    return true;
}

#include "CControl.h"

#include "CComposite.h"
#include "CControlIds.h"
#include "CNodeLocator.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "TTransformFactory.h"
#include "WWidget.h"
#include "WWidgetFactory.h"
#include "XmlPanelTags.h"
#include "XmlWriter.h"

namespace {
// The keys a control stores before its properties, in the file's order.
const QLatin1String BlockKey("block");
const QLatin1String NodeIdKey("nodeID");
const QLatin1String NodeCategoryKey("nodeCategory");
const QLatin1String ConnectionKey("connection");
const QLatin1String IdKey("id");

// Widget links at or above this number name a widget of a peer control.
constexpr quint32 PeerLinkBase = WWidget::PeerLinkBase;
const QLatin1String DropSiteElement("dropsite");

// The rectangle a widget record gives, when it gives one.
bool recordRect(const CWidgetRecord &record, QRectF *rect)
{
    if (record.value(QStringLiteral("backgroundFillMode")).trimmed().toInt() >= 0
        && !record.value(QStringLiteral("backgroundFillMode")).isEmpty())
        return false;
    bool okX = false, okY = false, okW = false, okH = false;
    const double x = record.value(QStringLiteral("x")).toDouble(&okX);
    const double y = record.value(QStringLiteral("y")).toDouble(&okY);
    const double w = record.value(QStringLiteral("width")).toDouble(&okW);
    const double h = record.value(QStringLiteral("height")).toDouble(&okH);
    if (!(okX && okY && okW && okH) || w <= 0 || h <= 0)
        return false;
    *rect = QRectF(x, y, w, h);
    return true;
}
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
    destroyWidgets();
    deactivate();
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
    for (const CWidgetRecord &record : m_widgetRecords)
        record.writeXml(writer);
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

void CControl::beginWidgetRecord(const QString &element)
{
    m_widgetRecords.append(CWidgetRecord(element));
}

bool CControl::addWidgetSetting(const QString &key, const QString &value)
{
    if (m_widgetRecords.isEmpty())
        return false;
    m_widgetRecords.last().append(key, value);
    return true;
}

void CControl::beginAttributeRecord(const QString &element)
{
    m_attributeRecord = CWidgetRecord(element);
    m_attributes.setKindFromElement(element);
}

bool CControl::addAttributeSetting(const QString &key, const QString &value)
{
    if (m_attributeRecord.element().isEmpty())
        return false;
    m_attributeRecord.append(key, value);
    m_attributes.setAttribute(key, value);
    return true;
}

// --- transform and widgets ----------------------------------------------------

void CControl::activate(CControl *root)
{
    TTransform *transform = TTransformFactory::instance()->obtain(this);
    if (!transform || m_attributes.link() == 0 || !root)
        return;
    CControl *linked = root->findById(m_attributes.link());
    if (linked && linked != this && linked->transform())
        transform->linkTo(linked->transform());
}

void CControl::deactivate()
{
    if (!m_transform)
        return;
    TTransform *transform = m_transform;
    for (WWidget *w : widgets())
        w->setTransform(nullptr);
    m_transform = nullptr;
    TTransformFactory::instance()->release(this, transform);
}

QList<WWidget *> CControl::widgets() const
{
    QList<WWidget *> live;
    live.reserve(m_widgets.size());
    for (const QPointer<WWidget> &w : m_widgets) {
        if (w)
            live << w;
    }
    return live;
}

WWidget *CControl::firstWidget() const
{
    const QList<WWidget *> live = widgets();
    return live.value(0);
}

void CControl::createWidgets(WWidgetFactory *factory)
{
    if (m_widgetsCreated || !factory)
        return;
    m_widgetsCreated = true;
    for (const CWidgetRecord &record : std::as_const(m_widgetRecords)) {
        // A drop site is no widget of the keyword table: the canvas makes it.
        WWidget *widget = record.element() == DropSiteElement ? factory->createDropSite()
                                                               : factory->createWidget(record.element());
        if (!widget) {
            qCDebug(lcDocument) << "CControl::createWidgets - no widget for" << record.element() << "of" << m_name;
            continue;
        }
        widget->setNode(m_node);
        widget->setControl(this);
        widget->setCanvasItem(factory->parentItem());
        widget->setType(record.element());
        for (const CWidgetRecord::Setting &setting : record.settings())
            widget->processProperty(setting.first, setting.second);
        m_widgets << widget;
        const QQuickItem *item = widget->item();
        m_fileGeometry << QRectF(item->x(), item->y(), item->width(), item->height());
    }
    linkWidgets();
    PProtocol *protocol = m_node ? m_node->protocol() : nullptr;
    for (WWidget *w : widgets()) {
        w->setTransform(m_transform);
        w->setAttributes(m_attributes);
        w->setProtocol(protocol);
    }
    for (WWidget *w : widgets())
        w->completeSetup();
}

void CControl::linkWidgets()
{
    const QList<WWidget *> live = widgets();
    for (WWidget *w : live) {
        if (w->widgetId() == 0 || w->link() == 0 || w->link() >= PeerLinkBase)
            continue;
        for (WWidget *peer : live) {
            if (peer != w && peer->widgetId() == w->link()) {
                w->setLinkedWidget(peer);
                break;
            }
        }
    }
}

void CControl::destroyWidgets()
{
    for (WWidget *w : widgets()) {
        w->detach();
        w->destroy();
        // The widget object lives inside its item.
        delete w->item();
    }
    m_widgets.clear();
    m_fileGeometry.clear();
    m_widgetsCreated = false;
}

void CControl::setWidgetsVisible(bool visible)
{
    for (WWidget *w : widgets())
        w->setItemVisible(visible);
}

void CControl::layoutWidgets(double scale, const QPointF &offset)
{
    for (int i = 0; i < m_widgets.size() && i < m_fileGeometry.size(); ++i) {
        QQuickItem *item = m_widgets.at(i) ? m_widgets.at(i)->item() : nullptr;
        if (!item)
            continue;
        const QRectF &g = m_fileGeometry.at(i);
        item->setX(g.x() * scale + offset.x());
        item->setY(g.y() * scale + offset.y());
        item->setWidth(g.width() * scale);
        item->setHeight(g.height() * scale);
    }
}

QRectF CControl::recordBounds() const
{
    QRectF bounds;
    for (const CWidgetRecord &record : m_widgetRecords) {
        QRectF r;
        if (recordRect(record, &r))
            bounds = bounds.isNull() ? r : bounds.united(r);
    }
    return bounds;
}

QRectF CControl::boundingRect() const
{
    QRectF bounds;
    for (WWidget *w : widgets()) {
        const QRectF r = w->geometry();
        if (!r.isEmpty())
            bounds = bounds.isNull() ? r : bounds.united(r);
    }
    return bounds;
}

void CControl::placeFileGeometry(const QRectF &target)
{
    const QRectF from = recordBounds();
    if (from.isEmpty() || target.isEmpty())
        return;
    const double sx = target.width() / from.width();
    const double sy = target.height() / from.height();
    const auto map = [&](const QRectF &r) {
        return QRectF(target.x() + (r.x() - from.x()) * sx, target.y() + (r.y() - from.y()) * sy, r.width() * sx,
                      r.height() * sy);
    };
    for (CWidgetRecord &record : m_widgetRecords) {
        QRectF r;
        if (!recordRect(record, &r))
            continue;
        const QRectF placed = map(r);
        record.setValue(QStringLiteral("x"), QString::number(placed.x()));
        record.setValue(QStringLiteral("y"), QString::number(placed.y()));
        record.setValue(QStringLiteral("width"), QString::number(placed.width()));
        record.setValue(QStringLiteral("height"), QString::number(placed.height()));
    }
    for (QRectF &g : m_fileGeometry)
        g = map(g);
}

QString CControl::labelText() const
{
    for (WWidget *w : widgets()) {
        if (w->type() == QLatin1String("label"))
            return w->itemProperty("text").toString();
    }
    return QString();
}

#include "CComposite.h"

#include "WWidget.h"

#include "XmlPanelTags.h"
#include "XmlWriter.h"

#include <utility>

namespace {
const QLatin1String DropSiteType("dropsite");
const char *const KindNames[] = {"", "complete", "template", "custom"};
} // namespace

CComposite::CComposite(const QString &name, const QString &type, QObject *parent)
    : CControl(name, type, parent)
{
    m_stateTimer.setSingleShot(true);
    m_stateTimer.setInterval(StateRequestInterval);
    connect(&m_stateTimer, &QTimer::timeout, this, &CComposite::onGetStateTimerTimeout);
}

CComposite::~CComposite()
{
    clear();
}

CComposite *CComposite::fromElement(const QString &element, const QString &name)
{
    QString type;
    if (element == QLatin1String(XmlPanelTags::Scene))
        type = QLatin1String(XmlPanelTags::Panels);
    else if (element == QLatin1String(XmlPanelTags::Panel))
        type = QLatin1String(XmlPanelTags::Controls);
    else
        return nullptr;
    auto *composite = new CComposite(name, type);
    composite->setElementType(element);
    return composite;
}

CControl *CComposite::childAt(int i) const
{
    return i >= 0 && i < m_children.size() ? m_children.at(i) : nullptr;
}

void CComposite::addChild(CControl *child)
{
    insertChild(m_children.size(), child);
}

void CComposite::insertChild(int i, CControl *child)
{
    if (!child || child == this)
        return;
    if (child->m_parentComposite)
        child->m_parentComposite->takeChild(child);
    i = qBound(0, i, int(m_children.size()));
    m_children.insert(i, child);
    child->m_parentComposite = this;
    // The walk goes on with the child it was going to ask; a child put in
    // its place is asked first.
    if (i < m_stateCursor)
        ++m_stateCursor;
}

CControl *CComposite::takeChild(CControl *child)
{
    const int i = m_children.indexOf(child);
    if (i < 0)
        return nullptr;
    m_children.removeAt(i);
    child->m_parentComposite = nullptr;
    if (i < m_stateCursor)
        --m_stateCursor;
    return child;
}

void CComposite::clear()
{
    m_stateTimer.stop();
    m_stateCursor = 0;
    // Taken out first: a child leaves its composite when deleted.
    QList<CControl *> children;
    children.swap(m_children);
    for (CControl *child : std::as_const(children)) {
        child->m_parentComposite = nullptr;
        delete child;
    }
}

CControl *CComposite::child(const QString &name) const
{
    for (CControl *c : m_children) {
        if (c->name() == name)
            return c;
    }
    return nullptr;
}

CControl *CComposite::findById(quint32 id)
{
    if (CControl *self = CControl::findById(id))
        return self;
    for (CControl *c : std::as_const(m_children)) {
        if (CControl *found = c->findById(id))
            return found;
    }
    return nullptr;
}

CControl *CComposite::findByName(const QString &name, const QString &type)
{
    if (CControl *self = CControl::findByName(name, type))
        return self;
    for (CControl *c : std::as_const(m_children)) {
        if (CControl *found = c->findByName(name, type))
            return found;
    }
    return nullptr;
}

CControl *CComposite::findByType(const QString &type) const
{
    for (CControl *c : m_children) {
        if (c->type() == type)
            return c;
        if (auto *composite = qobject_cast<CComposite *>(c)) {
            if (CControl *found = composite->findByType(type))
                return found;
        }
    }
    return nullptr;
}

void CComposite::setPanelKind(const QString &text)
{
    if (type() != QLatin1String(XmlPanelTags::Controls))
        return;
    if (text.isEmpty()) {
        if (findByType(DropSiteType))
            m_panelKind = Template;
        else
            m_panelKind = m_children.size() == 1 ? Custom : Complete;
        return;
    }
    for (int kind = Complete; kind <= Custom; ++kind) {
        if (text == QLatin1String(KindNames[kind]))
            m_panelKind = PanelKind(kind);
    }
}

QString CComposite::kindName(int kind)
{
    return kind >= Complete && kind <= Custom ? QLatin1String(KindNames[kind]) : QString();
}

QString CComposite::iconPath() const
{
    if (type() == QLatin1String(XmlPanelTags::Panels))
        return QStringLiteral(":/images/Collections.png");
    if (type() != QLatin1String(XmlPanelTags::Controls))
        return QString();
    switch (m_panelKind) {
    case Complete:
        return QStringLiteral(":/images/CompletePanel.png");
    case Template:
        return QStringLiteral(":/images/TemplatePanel.png");
    case Custom:
        return QStringLiteral(":/images/CustomPanel.png");
    case NoKind:
        break;
    }
    return QString();
}

void CComposite::bindNodes(const CNodeLocator &locator)
{
    for (CControl *c : std::as_const(m_children))
        c->bindNodes(locator);
}

void CComposite::activate(CControl *root)
{
    for (CControl *c : std::as_const(m_children))
        c->activate(root);
}

void CComposite::deactivate()
{
    for (CControl *c : std::as_const(m_children))
        c->deactivate();
}

void CComposite::createWidgets(WWidgetFactory *factory)
{
    m_widgetsCreated = factory != nullptr;
    for (CControl *c : std::as_const(m_children))
        c->createWidgets(factory);
    // Widgets that refer to other controls of the panel find them now.
    for (CControl *c : std::as_const(m_children)) {
        for (WWidget *w : c->widgets())
            w->bindToPanel(this);
    }
}

void CComposite::destroyWidgets()
{
    m_widgetsCreated = false;
    for (CControl *c : std::as_const(m_children))
        c->destroyWidgets();
}

void CComposite::setWidgetsVisible(bool visible)
{
    for (CControl *c : std::as_const(m_children))
        c->setWidgetsVisible(visible);
}

void CComposite::layoutWidgets(double scale, const QPointF &offset)
{
    for (CControl *c : std::as_const(m_children))
        c->layoutWidgets(scale, offset);
}

QRectF CComposite::recordBounds() const
{
    QRectF bounds;
    for (const CControl *c : m_children) {
        const QRectF r = c->recordBounds();
        if (!r.isNull())
            bounds = bounds.isNull() ? r : bounds.united(r);
    }
    return bounds;
}

QRectF CComposite::boundingRect() const
{
    QRectF bounds;
    for (const CControl *c : m_children) {
        const QRectF r = c->boundingRect();
        if (!r.isNull())
            bounds = bounds.isNull() ? r : bounds.united(r);
    }
    return bounds;
}

bool CComposite::writeXml(XmlWriter &writer) const
{
    const QString element = elementType();
    const bool panel = type() == QLatin1String(XmlPanelTags::Controls);
    if (!element.isEmpty()) {
        const bool opened = panel ? writer.openElement(element, name(), kindName(m_panelKind))
                                  : writer.openElement(element, name());
        if (!opened)
            return false;
    }
    if (!writer.openElement(type()))
        return false;
    for (const CControl *c : m_children)
        c->writeXml(writer);
    writer.closeElement(type());
    return element.isEmpty() || writer.closeElement(element);
}

bool CComposite::requestState()
{
    if (!m_stateRequestsEnabled || m_stateTimer.isActive())
        return true;
    return requestNextState();
}

void CComposite::setStateRequestsEnabled(bool enabled)
{
    m_stateRequestsEnabled = enabled;
    if (!enabled)
        m_stateTimer.stop();
}

void CComposite::onGetStateTimerTimeout()
{
    if (m_stateRequestsEnabled)
        requestNextState();
}

bool CComposite::requestNextState()
{
    if (m_stateCursor < 0 || m_stateCursor >= m_children.size())
        m_stateCursor = 0;
    CControl *next = childAt(m_stateCursor);
    if (!next)
        return true;
    // Past the child before asking it: one that keeps failing must not keep
    // the children after it from ever being asked.
    ++m_stateCursor;
    const bool ok = next->requestState();
    if (m_stateCursor >= m_children.size())
        m_stateCursor = 0;
    else if (ok)
        m_stateTimer.start();
    return ok;
}

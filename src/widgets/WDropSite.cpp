#include "WDropSite.h"

#include "CComposite.h"
#include "CNodeLocator.h"
#include "CParameter.h"
#include "HNode.h"
#include "HRoot.h"
#include "KvrLogging.h"
#include "MModel.h"
#include "WDelegate.h"
#include "WRichText.h"
#include "WWidgetFactory.h"
#include "XmlWriter.h"

#include <QMainWindow>
#include <QMessageBox>

const char *const WDropSite::QmlFile = "qrc:/qmlcontrol/QmlDropsite.qml";

namespace {
const QLatin1String TypeKey("type");
const QLatin1String ChildKey("child");
const QLatin1String TitleKey("title");
const QLatin1String ScaleKey("scale");

MModel *model()
{
    return WDelegate::instance()->factory()->model();
}

QString italic(const QString &plain)
{
    return QLatin1String("<i>") + WRichText::escape(plain) + QLatin1String("</i>");
}
} // namespace

WDropSite::WDropSite(QQuickItem *parent) : WWidget(parent) {}

void WDropSite::initialize(QQuickItem *)
{
    showEmpty();
}

void WDropSite::showEmpty()
{
    setItemProperty("enableDrop", true);
    setItemProperty("enableProperties", false);
    setItemProperty("label", italic(m_title.isEmpty() ? tr("Title") : m_title));
}

bool WDropSite::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processIdAndLink(name, value))
        return true;
    if (name == TypeKey) {
        m_siteType = value.trimmed();
    } else if (name == ChildKey) {
        bool ok = false;
        const uint id = value.trimmed().toUInt(&ok, 10);
        m_childId = ok ? id : 0;
        m_id = m_childId;
    } else if (name == TitleKey) {
        m_title = value;
        if (!m_held)
            setItemProperty("label", italic(value));
    } else if (name == ScaleKey) {
        setItemProperty("textScale", value.trimmed().toFloat());
    } else {
        return false;
    }
    return true;
}

bool WDropSite::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(TitleKey, m_title);
    writer.writeElement(TypeKey, m_siteType);
    if (m_held)
        writer.writeElement(ChildKey, uint(m_held->id()));
    return true;
}

void WDropSite::bindToPanel(CComposite *panel)
{
    WWidget::bindToPanel(panel);
    // The control the file placed here is one of the panel's.
    if (m_childId == 0 || !panel || m_held)
        return;
    for (CControl *c : panel->children()) {
        if (c != control() && c->id() == m_childId) {
            attachControl(c);
            return;
        }
    }
    qCDebug(lcWidgets) << "WDropSite: the panel holds no control" << m_childId << "for the site" << m_title;
}

QString WDropSite::dragData(const HNode *node)
{
    if (!node)
        return QString();
    const HNode *device = node;
    while (device->parentNode() && !device->testFlag(HNode::Device))
        device = device->parentNode();
    return device->connectionKey() + QLatin1Char('#') + QString::number(device == node ? 0 : node->nodeID());
}

HNode *WDropSite::draggedNode(HNode *root, const QString &data)
{
    const int hash = int(data.lastIndexOf(QLatin1Char('#')));
    if (!root || hash <= 0)
        return nullptr;
    bool ok = false;
    const int nodeId = data.mid(hash + 1).toInt(&ok);
    HNode *device = ok ? CNodeLocator(root).device(data.left(hash)) : nullptr;
    if (!device || nodeId == 0)
        return device;
    return device->findByNodeID(nodeId);
}

QString WDropSite::draggedType(HNode *root, const QString &text, const QString &data)
{
    HNode *node = draggedNode(root, data);
    // The tree reads a node's parameters when it shows the node.
    if (node && node->parameters().isEmpty())
        node->loadParameters();
    const CParameter *parameter = node ? node->findParameter(text) : nullptr;
    return parameter ? parameter->type() : QString();
}

bool WDropSite::acceptDrop(const QString &text, const QString &data)
{
    const MModel *m = model();
    const QString dragged = draggedType(m ? m->hardwareRoot() : nullptr, text, data);
    QWidget *window = WDelegate::instance()->mainWindow();
    if (dragged.isEmpty() || dragged != m_siteType) {
        const QString name = dragged.isEmpty() ? text : dragged;
        QMessageBox::warning(window, tr("Warning"),
                             tr("Cannot drop a ") + name + tr(" on a ") + m_siteType + tr(" site."));
        return false;
    }
    if (m_held && !itemProperty("enableDrop").toBool()) {
        const auto answer = QMessageBox::question(
            window, tr("Warning"), tr("There is already a control in this location.\nDo you want to overwrite?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        return answer == QMessageBox::Yes;
    }
    return true;
}

void WDropSite::attachControl(CControl *held)
{
    if (held == m_held)
        return;
    if (m_held) {
        // The control that was here leaves the canvas.
        CControl *previous = m_held;
        m_held = nullptr;
        if (MModel *m = model())
            m->removeControl(previous);
    }
    if (!held) {
        m_id = 0;
        m_childId = 0;
        showEmpty();
        return;
    }
    m_held = held;
    bool hasProperties = false;
    for (WWidget *w : held->widgets())
        hasProperties = hasProperties || w->hasProperties();
    setItemProperty("enableDrop", false);
    setItemProperty("enableProperties", hasProperties);
    setItemProperty("label", italic(held->name()));
    m_id = held->id();
    held->setHolder(control());
}

void WDropSite::clear()
{
    attachControl(nullptr);
}

void WDropSite::deleteChild()
{
    clear();
}

void WDropSite::properties()
{
    if (!m_held)
        return;
    for (WWidget *w : m_held->widgets()) {
        if (w->hasProperties()) {
            w->editProperties(&m_held->attributes());
            return;
        }
    }
    if (WWidget *first = m_held->firstWidget())
        first->editProperties(&m_held->attributes());
}

QString WDropSite::getToolTip(bool hover) const
{
    if (!hover)
        return QString();
    if (m_held && m_held->firstWidget())
        return m_held->firstWidget()->getToolTip(true);
    return m_title;
}

void WDropSite::moveBy(const QPointF &offset)
{
    WWidget::moveBy(offset);
    if (m_held) {
        for (WWidget *w : m_held->widgets())
            w->moveBy(offset);
    }
}

void WDropSite::dump() const
{
    qCDebug(lcWidgets) << "WDropSite" << m_title << "of" << m_siteType << "holding"
                       << (m_held ? m_held->name() : QStringLiteral("nothing"));
}

#include "WWidget.h"

#include "CAttributes.h"
#include "CComposite.h"
#include "CControl.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "WHoldOff.h"
#include "XmlWriter.h"

#include <QColor>
#include <QMessageBox>
#include <QUrl>

namespace {
quint32 toId(const QString &text)
{
    bool ok = false;
    const qulonglong v = text.trimmed().toULongLong(&ok, 10);
    return (ok && v <= 0xFFFFFFFFull) ? quint32(v) : 0;
}

// The band of a tone equaliser control, from its name.
QString toneBand(const QString &controlName)
{
    static const struct { const char *prefix; const char *band; } bands[] = {
        {"Level 1", "Low"},  {"Bypass 1", "Low"},  {"Level 2", "Mid"},
        {"Bypass 2", "Mid"}, {"Level 3", "High"}, {"Bypass 3", "High"},
    };
    for (const auto &b : bands) {
        if (controlName.startsWith(QLatin1String(b.prefix)))
            return QLatin1String(b.band);
    }
    return QString();
}
} // namespace

WWidget::WWidget(QQuickItem *parent) : QQuickItem(parent) {}

WWidget::~WWidget() = default;

void WWidget::initialize(QQuickItem *) {}

// A widget that goes while pressed ends its press first. Subclasses that
// override destroy() call this one.
void WWidget::destroy()
{
    cancelGesture();
}

void WWidget::setAttributes(const CAttributes &) {}
void WWidget::completeSetup() {}
void WWidget::setCanvasItem(QQuickItem *) {}
void WWidget::reshape() {}
void WWidget::refresh() {}

bool WWidget::acceptDrop(const QString &, const QString &)
{
    return false;
}

void WWidget::setText(const QString &) {}
void WWidget::attachControl(CControl *) {}

CControl *WWidget::siteControl() const
{
    return nullptr;
}

void WWidget::setControl(CControl *control)
{
    m_control = control;
}

void WWidget::setNode(HNode *node)
{
    m_node = node;
}

void WWidget::setTransform(TTransform *transform)
{
    if (m_transform)
        disconnect(m_transform, &TTransform::replyValueReady, this, &WWidget::refresh);
    m_transform = transform;
}

void WWidget::setProtocol(PProtocol *protocol)
{
    if (m_protocol)
        disconnect(m_protocol, &PProtocol::onlineStateChanged, this, &WWidget::onOnlineStateChanged);
    m_protocol = protocol;
    if (m_protocol)
        connect(m_protocol, &PProtocol::onlineStateChanged, this, &WWidget::onOnlineStateChanged,
                Qt::UniqueConnection);
}

void WWidget::setLinkedWidget(WWidget *widget)
{
    m_linkedWidget = widget == this ? nullptr : widget;
}

void WWidget::setItemVisible(bool visible)
{
    // A panel flipped away under the finger releases what it held.
    if (!visible)
        cancelGesture();
    setItemProperty("visible", visible);
}

void WWidget::setTargetNode(HNode *) {}

QRectF WWidget::geometry() const
{
    if (!m_item)
        return QRectF();
    return QRectF(m_item->x(), m_item->y(), m_item->width(), m_item->height());
}

bool WWidget::isType(const QString &keyword) const
{
    return keyword == m_type;
}

void WWidget::runCommand(const QString &command)
{
    qCDebug(lcWidgets) << "WWidget::runCommand: no use for" << command << "in" << m_type;
}

bool WWidget::hasProperties() const
{
    return false;
}

void WWidget::editProperties(CAttributes *)
{
    QMessageBox::warning(nullptr, tr("Warning"), tr("No properties for this control."));
}

bool WWidget::hasDisplayName() const
{
    return true;
}

void WWidget::dump() const
{
    qCDebug(lcWidgets) << m_type << m_item;
}

void WWidget::enableConnectionIndicator(MModel *) {}
void WWidget::detach() {}

void WWidget::linkValue(WWidget *source)
{
    qCDebug(lcWidgets) << "WWidget::linkValue: " << this << source;
}

void WWidget::onOnlineStateChanged(bool) {}

void WWidget::bindToPanel(CComposite *panel)
{
    if (m_link <= PeerLinkBase || !panel || !m_control)
        return;
    const quint32 peerId = m_link - PeerLinkBase;
    const QString block = m_control->currentReference().block;
    for (CControl *peer : panel->children()) {
        if (peer == m_control || peer->currentReference().block != block)
            continue;
        for (WWidget *w : peer->widgets()) {
            if (w->widgetId() == peerId) {
                setLinkedWidget(w);
                return;
            }
        }
    }
    qCDebug(lcWidgets) << "WWidget::bindToPanel: no widget" << peerId << "of a control of" << block << "for"
                       << m_control->name();
}

// --- item properties -------------------------------------------------------

void WWidget::setItemProperty(const char *name, const QVariant &value)
{
    if (m_item)
        m_item->setProperty(name, value);
}

QVariant WWidget::itemProperty(const char *name) const
{
    return m_item ? m_item->property(name) : QVariant();
}

void WWidget::setColorProperty(const char *name, const QString &text)
{
    setItemProperty(name, QColor::fromString(text.trimmed()));
}

QString WWidget::colorPropertyText(const char *name) const
{
    const QColor c = itemProperty(name).value<QColor>();
    return QStringLiteral("#%1%2%3%4")
        .arg(c.alpha(), 2, 16, QLatin1Char('0'))
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString WWidget::toFileUrlText(const QString &path)
{
    const QUrl url(path);
    const QString local = url.isLocalFile() ? url.toLocalFile() : path;
    return QUrl::fromLocalFile(local).toString();
}

// --- shared settings ---------------------------------------------------------

bool WWidget::processRect(const QString &name, const QString &value)
{
    const bool isRect = name == QLatin1String("x") || name == QLatin1String("y")
                        || name == QLatin1String("width") || name == QLatin1String("height");
    if (!isRect && name != QLatin1String("z"))
        return false;
    if (!m_item) {
        qCWarning(lcWidgets) << "WWidget::processRect m_pWidget is not defined";
        return true;
    }
    if (name == QLatin1String("z")) {
        bool ok = false;
        const int z = value.trimmed().toInt(&ok, 10);
        m_item->setZ(ok ? z : 0);
        return true;
    }
    const double v = value.trimmed().toFloat();
    if (name == QLatin1String("x"))
        m_item->setX(v);
    else if (name == QLatin1String("y"))
        m_item->setY(v);
    else if (name == QLatin1String("width"))
        m_item->setWidth(v);
    else
        m_item->setHeight(v);
    return true;
}

bool WWidget::processIdAndLink(const QString &name, const QString &value)
{
    if (name == QLatin1String("id"))
        m_id = toId(value);
    else if (name == QLatin1String("link"))
        m_link = toId(value);
    else
        return false;
    return true;
}

bool WWidget::processFractions(const QString &name, const QString &value)
{
    if (m_type == QLatin1String("label") && m_control && m_control->type() == QLatin1String("Slider"))
        setItemProperty("sliderLabel", true);
    const double v = value.trimmed().toFloat();
    if (name == QLatin1String("xfract")) {
        // The right edge stays where it was.
        m_fw -= v - m_fx;
        m_fx = v;
    } else if (name == QLatin1String("yfract")) {
        m_fh -= v - m_fy;
        m_fy = v;
    } else if (name == QLatin1String("widthfract")) {
        m_fw = v;
    } else if (name == QLatin1String("heightfract")) {
        m_fh = v;
    } else {
        return false;
    }
    return true;
}

bool WWidget::processProperty(const QString &name, const QString &value)
{
    if (!m_item)
        return false;
    if (processRect(name, value) || processIdAndLink(name, value) || processFractions(name, value))
        return true;
    if (name == QLatin1String("title")) {
        setItemProperty("text", value);
        return true;
    }
    return false;
}

void WWidget::writeSharedKeys(XmlWriter &writer) const
{
    writeSharedKeys(writer, m_item ? QRectF(m_item->x(), m_item->y(), m_item->width(), m_item->height()) : QRectF());
}

void WWidget::writeSharedKeys(XmlWriter &writer, const QRectF &g) const
{
    if (m_id != 0)
        writer.writeElement(QStringLiteral("id"), uint(m_id));
    if (m_link != 0)
        writer.writeElement(QStringLiteral("link"), uint(m_link));
    writer.writeElement(QStringLiteral("x"), float(g.x()));
    writer.writeElement(QStringLiteral("y"), float(g.y()));
    writer.writeElement(QStringLiteral("width"), float(g.width()));
    writer.writeElement(QStringLiteral("height"), float(g.height()));
    writer.writeElement(QStringLiteral("z"), uint(m_item ? qMax(0.0, m_item->z()) : 0.0));
    writer.writeElement(QStringLiteral("xfract"), float(m_fx));
    writer.writeElement(QStringLiteral("yfract"), float(m_fy));
    writer.writeElement(QStringLiteral("widthfract"), float(m_fw));
    writer.writeElement(QStringLiteral("heightfract"), float(m_fh));
}

bool WWidget::writeXml(XmlWriter &writer)
{
    writeSharedKeys(writer);
    return true;
}

// --- placing -------------------------------------------------------------------

void WWidget::placeIn(const QRectF &r)
{
    if (!m_item)
        return;
    m_item->setX(float(r.x() + r.width() * m_fx));
    m_item->setY(float(r.y() + r.height() * m_fy));
    m_item->setWidth(float(r.width() * m_fw));
    m_item->setHeight(float(r.height() * m_fh));
}

void WWidget::resizeIn(const QRectF &oldRect, const QRectF &newRect)
{
    if (!m_item)
        return;
    if (newRect.width() != oldRect.width() || newRect.x() != oldRect.x()) {
        m_item->setX(float(newRect.x() + newRect.width() * m_fx));
        m_item->setWidth(float(newRect.width() * m_fw));
    }
    if (newRect.height() != oldRect.height() || newRect.y() != oldRect.y()) {
        m_item->setY(float(newRect.y() + newRect.height() * m_fy));
        m_item->setHeight(float(newRect.height() * m_fh));
    }
}

void WWidget::scaleGeometry(double factor, bool both)
{
    if (!m_item || factor == 0.0)
        return;
    m_item->setY(m_item->y() * factor);
    m_item->setHeight(m_item->height() * factor);
    const double horizontal = both ? factor : 1.0 / factor;
    m_item->setX(m_item->x() * horizontal);
    m_item->setWidth(m_item->width() * horizontal);
}

void WWidget::moveBy(const QPointF &offset)
{
    if (!m_item)
        return;
    m_item->setX(m_item->x() + offset.x());
    m_item->setY(m_item->y() + offset.y());
}

// --- value flow ----------------------------------------------------------------

bool WWidget::mayOutput() const
{
    return m_item && !m_linking && m_outputEnabled && m_transform && m_protocol;
}

bool WWidget::sendTransform()
{
    return m_protocol && m_transform && m_protocol->sendValue(m_transform);
}

bool WWidget::sendHeld(WHoldOff &holdOff)
{
    if (!sendTransform())
        return false;
    holdOff.start();
    return true;
}

bool WWidget::endGesture()
{
    const bool wasActive = m_gestureActive;
    m_gestureActive = false;
    return wasActive;
}

void WWidget::cancelGesture()
{
    if (m_gestureActive)
        finishGesture();
    m_gestureActive = false;
}

void WWidget::finishGesture() {}

void WWidget::outputCanceled()
{
    cancelGesture();
}

void WWidget::passToLinked()
{
    if (m_linkedWidget)
        m_linkedWidget->linkValue(this);
}

void WWidget::showDeviceValue(const char *property, const QVariant &value)
{
    m_outputEnabled = false;
    setItemProperty(property, value);
    passToLinked();
    m_outputEnabled = true;
}

void WWidget::applyLinkedValue(WWidget *source, const char *property, const QVariant &value)
{
    if (source == this || itemProperty(property) == value)
        return;
    m_linking = true;
    setItemProperty(property, value);
    m_linking = false;
    if (m_linkedWidget && m_linkedWidget != source)
        m_linkedWidget->linkValue(this);
}

// --- names ---------------------------------------------------------------------

QString WWidget::displayName() const
{
    if (!m_node)
        return QString();
    QString name = m_node->label();
    if (m_control && (name.startsWith(QLatin1String("ToneEQ")) || name.startsWith(QLatin1String("Tone_EQ")))) {
        const QString band = toneBand(m_control->name());
        if (!band.isEmpty())
            name += QLatin1Char(':') + band;
    }
    if (const HNode *parentNode = m_node->parentNode())
        name = parentNode->label() + QStringLiteral(" : ") + name;
    return name;
}

QString WWidget::getToolTip(bool hover) const
{
    if (!hover)
        return QString();
    return displayName();
}

// --- base slots: QML calls a subclass's own slot of the same name first ----------

void WWidget::outputValue(int value)
{
    qCDebug(lcWidgets) << "WWidget::outputValue: " << value;
}

void WWidget::outputChecked(bool state)
{
    qCDebug(lcWidgets) << "WWidget::outputChecked: " << (state ? "true" : "false");
}

void WWidget::outputCurrentIndex(int index)
{
    qCDebug(lcWidgets) << "WWidget::outputCurrentIndex: " << index;
}

void WWidget::outputCurrentText(const QString &text)
{
    qCDebug(lcWidgets) << "WWidget::outputCurrentText: " << text;
}

void WWidget::onTextChanged()
{
    qCDebug(lcWidgets) << "WWidget::onTextChanged: ";
}

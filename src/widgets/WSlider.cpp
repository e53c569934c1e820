#include "WSlider.h"

#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "WPlaceholders.h"
#include "XmlWriter.h"

namespace {
const QLatin1String OrientKey("orient");
const QLatin1String KnobColorKey("knobcolor");
const QLatin1String RotationKey("rotation");
// A rotated fader is still written as a vertical one turned by its rotation.
const QLatin1String Vertical("vertical");
} // namespace

WSlider::WSlider(QQuickItem *parent) : WWidget(parent), m_holdOff(ReportHoldOffMs)
{
    m_sendDelayTimer.setSingleShot(true);
    m_sendDelayTimer.setInterval(SendDelayMs);
    connect(&m_sendDelayTimer, &QTimer::timeout, this, &WSlider::onSendDelayTimerTimeout);
    connect(&m_holdOff, &WHoldOff::reportDue, this, &WSlider::onReportDue);
}

void WSlider::destroy()
{
    m_sendDelayTimer.stop();
    m_pending = NoPending;
    WWidget::destroy();
}

void WSlider::setNode(HNode *node)
{
    WWidget::setNode(node);
    const bool toneEq = node && (node->title() == QLatin1String("Tone EQ") || node->title() == QLatin1String("ToneEQ"));
    if (toneEq != m_toneEq) {
        m_toneEq = toneEq;
        emit isToneEqControlChanged();
    }
}

void WSlider::setTransform(TTransform *transform)
{
    WWidget::setTransform(transform);
    if (transform)
        connect(transform, &TTransform::replyValueReady, this, &WWidget::refresh, Qt::UniqueConnection);
}

void WSlider::setAttributes(const CAttributes &attributes)
{
    const bool first = !m_initialised;
    m_range.setUp(attributes, node(), control(), first);
    if (first && m_range.limitsFound() && m_range.minimumLimit() != m_range.maximumLimit() && control()) {
        control()->attributes().setMinLimit(m_range.minimumLimit());
        control()->attributes().setMaxLimit(m_range.maximumLimit());
    }
    if (m_range.isPercent() && control()) {
        // Percent is shown in whole numbers.
        control()->attributes().setPrecision(0);
        if (transform())
            transform()->configure();
    }
    setItemProperty("maximumValue", m_range.maximumPosition());
    setItemProperty("minimumValue", m_range.minimumPosition());
    setItemProperty("bipolar", m_range.isBipolar());
    // A value from before a range change that no longer fits is not known.
    if (hasValue() && !m_range.contains(m_current))
        m_current = UnknownValue;
    if (first) {
        m_outputEnabled = false;
        showPosition(hasValue() ? m_range.positionOf(m_current) : m_range.minimumPosition());
        m_outputEnabled = true;
        m_initialised = true;
    }
}

void WSlider::completeSetup()
{
    if (transform() && linkedWidget() && hasValue()) {
        transform()->setValue(m_current);
        transform()->setDisplayValue(m_range.displayValue(m_range.positionOf(m_current)));
        linkedWidget()->linkValue(this);
    } else if (transform() && !transform()->replyText().isEmpty()) {
        // Another control of the same parameter has heard from the device.
        refresh();
    }
    showValueText(m_shownPosition);
    fillControlLabel();
}

void WSlider::fillControlLabel()
{
    if (!control())
        return;
    for (WWidget *w : control()->widgets()) {
        if (w->type() == QLatin1String("label"))
            w->setText(WPlaceholders::fill(w->itemProperty("text").toString(), node(), control()));
    }
}

void WSlider::showPosition(int position)
{
    m_shownPosition = position;
    setItemProperty("value", position);
}

void WSlider::showValueText(int) {}

bool WSlider::sendsAfterDelay() const
{
    return m_sendNeeded;
}

// --- user moves ------------------------------------------------------------------

void WSlider::outputValue(int value)
{
    // A change the widget made itself (a report, the linked widget) is only
    // shown.
    if (m_linking || !m_outputEnabled)
        return;
    const int position = m_range.clampPosition(value);
    const float engineering = m_range.valueOf(position);
    // Against the value still waiting while a send is pending: a knob moved
    // away and back within one delay must send where it ended.
    if (isSendPending() ? m_range.same(engineering, m_pending)
                        : hasValue() && m_range.same(engineering, m_current))
        return;
    m_pending = engineering;
    m_pendingPosition = position;
    if (!m_sendDelayTimer.isActive())
        m_sendDelayTimer.start();
}

void WSlider::setIsSendNeeded(bool state)
{
    m_sendNeeded = state;
}

void WSlider::onSendDelayTimerTimeout()
{
    if (m_pending == NoPending)
        return;
    const float value = m_pending;
    m_pending = NoPending;
    if (!m_linking)
        commit(value, m_pendingPosition, sendsAfterDelay());
    releaseHeldReport();
}

void WSlider::releaseHeldReport()
{
    if (!m_reportHeld || isSendPending())
        return;
    m_reportHeld = false;
    // After a send the hold-off keeps it; otherwise it is shown now.
    if (!m_holdOff.defer())
        refresh();
}

void WSlider::commit(float value, int position, bool send)
{
    const float previous = m_current;
    m_current = value;
    m_shownPosition = position;
    if (!transform() || !protocol() || !m_outputEnabled)
        return;
    transform()->setValue(value);
    transform()->setDisplayValue(m_range.displayValue(position));
    showValueText(position);
    if (!send)
        return;
    if (!sendHeld(m_holdOff)) {
        restore(previous);
        return;
    }
    passToLinked();
}

void WSlider::restore(float previous)
{
    // Nothing reached the device: the knob must not claim otherwise.
    m_current = previous;
    const int position = hasValue() ? m_range.positionOf(previous) : m_range.minimumPosition();
    if (hasValue())
        transform()->setValue(previous);
    transform()->setDisplayValue(m_range.displayValue(position));
    showValueText(position);
    m_outputEnabled = false;
    showPosition(position);
    passToLinked();
    m_outputEnabled = true;
}

// --- device reports and the linked widget -------------------------------------

void WSlider::refresh()
{
    if (!item() || !transform() || transform()->replyText().isEmpty() || holdsBack())
        return;
    float value = 0.0f;
    transform()->replyValue(value);
    const int position = m_range.positionOf(value);
    m_current = value;
    // The linked text edit reads the transform: it must find the reported
    // value there, not the last one sent.
    transform()->setValue(value);
    transform()->setDisplayValue(m_range.displayValue(position));
    showValueText(position);
    if (protocol() && protocol()->isSubscribed())
        m_sendNeeded = false;
    m_shownPosition = position;
    showDeviceValue("value", position);
}

bool WSlider::holdsBack()
{
    if (isSendPending()) {
        m_reportHeld = true;
        return true;
    }
    return m_holdOff.defer();
}

void WSlider::onReportDue()
{
    // The report kept may answer a query that left before the last value
    // did (a poll crossing the drag): the device is asked again instead.
    if (protocol() && transform())
        protocol()->queryNow(transform());
}

void WSlider::linkValue(WWidget *source)
{
    if (source == this || !transform() || holdsBack())
        return;
    float value = 0.0f;
    transform()->value(value);
    if (hasValue() && m_range.same(value, m_current))
        return;
    m_linking = true;
    m_current = value;
    showPosition(m_range.positionOf(value));
    showValueText(m_shownPosition);
    m_linking = false;
    if (linkedWidget() && linkedWidget() != source)
        linkedWidget()->linkValue(this);
}

// --- settings --------------------------------------------------------------------

bool WSlider::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (name == OrientKey)
        return true;
    if (name == KnobColorKey) {
        setColorProperty("knobColor", value);
        return true;
    }
    if (name == RotationKey) {
        bool ok = false;
        const int degrees = value.trimmed().toInt(&ok, 10);
        m_rotation = ok ? float(degrees) : 0.0f;
        setItemProperty("rotation", m_rotation);
        return true;
    }
    return WWidget::processProperty(name, value);
}

bool WSlider::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(OrientKey, Vertical);
    writer.writeElement(KnobColorKey, colorPropertyText("knobColor"));
    if (m_rotation != 0.0f)
        writer.writeElement(RotationKey, int(m_rotation));
    return true;
}

bool WSlider::isType(const QString &keyword) const
{
    return !type().isEmpty() && keyword.contains(type());
}

bool WSlider::hasProperties() const
{
    return true;
}

void WSlider::editProperties(CAttributes *) {}

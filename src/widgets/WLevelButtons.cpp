#include "WLevelButtons.h"

#include "WPlaceholders.h"
#include "XmlWriter.h"

#include <cmath>

namespace {
const QLatin1String KnobColorKey("knobcolor");
const QLatin1String TextKey("text");
const QLatin1String HasBorderKey("hasBorder");
const QLatin1String CircularKey("isCircularEnabled");

int toInt(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? v : 0;
}
} // namespace

WLevelButtons::WLevelButtons(QQuickItem *parent) : WSlider(parent) {}

void WLevelButtons::stopRepeat()
{
    if (item())
        QMetaObject::invokeMethod(item(), "stopRepeat");
}

void WLevelButtons::destroy()
{
    stopRepeat();
    WSlider::destroy();
}

void WLevelButtons::setItemVisible(bool visible)
{
    if (!visible)
        stopRepeat();
    WSlider::setItemVisible(visible);
}

void WLevelButtons::completeSetup()
{
    if (!m_text.isEmpty())
        setItemProperty("text", WPlaceholders::fill(m_text, node(), control()));
    WSlider::completeSetup();
}

void WLevelButtons::outputValue(int value)
{
    if (m_linking || !m_outputEnabled)
        return;
    m_pendingPosition = m_range.clampPosition(value);
    m_pending = m_range.valueOf(m_pendingPosition);
    if (m_sendDelayTimer.isActive())
        return;
    // The first click goes out at once; the delay gathers the ones that
    // follow it closely.
    const float now = m_pending;
    m_pending = NoPending;
    commit(now, m_pendingPosition, true);
    m_sendDelayTimer.start();
}

bool WLevelButtons::sendsAfterDelay() const
{
    return true;
}

void WLevelButtons::showValueText(int position)
{
    // Nothing known yet: a number would claim a level the device never gave.
    const QString text = !hasValue() ? QStringLiteral("\u2013")
                         : m_range.isPercent()
                             ? QString::number(std::lround(m_range.displayValue(position))) + QLatin1Char('%')
                             : QString::number(double(m_range.displayValue(position)), 'f', 1);
    setItemProperty("valueText", text);
}

bool WLevelButtons::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (name == KnobColorKey)
        setColorProperty("knobColor", value);
    else if (name == TextKey)
        m_text = value;
    else if (name == HasBorderKey)
        setItemProperty("hasBorder", toInt(value));
    else if (name == CircularKey)
        setItemProperty("isCircularEnabled", toInt(value));
    else
        return WWidget::processProperty(name, value);
    return true;
}

bool WLevelButtons::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(KnobColorKey, colorPropertyText("knobColor"));
    writer.writeElement(TextKey, m_text);
    writer.writeElement(HasBorderKey, itemProperty("hasBorder").toInt());
    writer.writeElement(CircularKey, itemProperty("isCircularEnabled").toInt());
    return true;
}

bool WLevelButtons::isType(const QString &keyword) const
{
    return WSlider::isType(keyword) || type().startsWith(QLatin1String("type"));
}

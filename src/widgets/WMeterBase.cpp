#include "WMeterBase.h"

#include "CAttributes.h"
#include "CControl.h"
#include "HNode.h"
#include "IInterface.h"
#include "KvrLogging.h"
#include "PProtocol.h"
#include "TTransform.h"
#include "WPlaceholders.h"
#include "XmlWriter.h"

#include <cmath>

namespace {
const QLatin1String TextKey("text");
const QLatin1String ColorKey("color");
const QLatin1String RateKey("meterRate");
const QLatin1String ChannelNameKey("channelName");
const QLatin1String IndexOffsetKey("indexOffset");
const QLatin1String UnitsKey("unitsText");
const QLatin1String MinimumKey("minimum");
const QLatin1String MaximumKey("maximum");
const QLatin1String Break1Key("colorBreakValue1");
const QLatin1String Break2Key("colorBreakValue2");

struct Rate
{
    const char *text;
    int intervalMs;
};
const Rate Rates[] = {
    {"1x/s", 1000}, {"2x/s", 500}, {"3x/s", 333}, {"4x/s", 250}, {"5x/s", 200},
};

double toDouble(const QString &text)
{
    const double v = text.trimmed().toDouble();
    return std::isfinite(v) ? v : 0.0;
}
} // namespace

WMeterBase::WMeterBase(QQuickItem *parent) : WWidget(parent)
{
    m_meterTimer.setInterval(DefaultIntervalMs);
    connect(&m_meterTimer, &QTimer::timeout, this, &WMeterBase::onSendDelayTimerTimeout);
}

int WMeterBase::intervalOf(const QString &rate)
{
    for (const Rate &r : Rates) {
        if (rate == QLatin1String(r.text))
            return r.intervalMs;
    }
    return -1;
}

void WMeterBase::setRate(const QString &rate)
{
    // An unknown rate is kept for writing back, but does not change how
    // often the meter asks.
    m_rate = rate;
    const int interval = intervalOf(rate);
    if (interval > 0)
        m_meterTimer.setInterval(interval);
    else
        qCWarning(lcWidgets).noquote() << QStringLiteral("WMeter: \"%1\" is not a meter rate (1x/s to 5x/s); "
                                                         "the meter keeps polling every %2 ms.")
                                              .arg(rate)
                                              .arg(m_meterTimer.interval());
}

void WMeterBase::setMinimum(double minimum)
{
    if (minimum == m_minimum)
        return;
    m_minimum = minimum;
    emit minimumChanged();
}

void WMeterBase::setMaximum(double maximum)
{
    if (maximum == m_maximum)
        return;
    m_maximum = maximum;
    emit maximumChanged();
}

void WMeterBase::destroy()
{
    m_meterTimer.stop();
    stopShowing(false);
    WWidget::destroy();
}

void WMeterBase::setTransform(TTransform *transform)
{
    WWidget::setTransform(transform);
    if (transform)
        connect(transform, &TTransform::replyValueReady, this, &WWidget::refresh, Qt::UniqueConnection);
}

void WMeterBase::setAttributes(const CAttributes &attributes)
{
    if (node())
        m_cardPin = attributes.cardPin();
}

void WMeterBase::completeSetup()
{
    if (m_maximum <= m_minimum) {
        qCWarning(lcWidgets).noquote()
            << QStringLiteral("WMeter: the range %1 to %2 is empty; the meter shows %3 to %4.")
                   .arg(m_minimum)
                   .arg(m_maximum)
                   .arg(DefaultMinimum)
                   .arg(DefaultMaximum);
        setMinimum(DefaultMinimum);
        setMaximum(DefaultMaximum);
    }
    if (transform() && control()) {
        // The report holds the levels of the whole card: the meter's entry
        // is its card pin where the card numbers them, else its channel.
        const int channel = m_cardPin >= 0 ? m_cardPin + 1 : control()->attributes().index1();
        if (m_cardPin >= 0 || m_indexOffset != 0)
            transform()->setIndexes(channel + m_indexOffset, -1, transform()->indexFlag());
    }
    setItemProperty("text", WPlaceholders::fill(m_text, node(), control(), m_channelName));
    m_online = protocolOnline();
    updatePolling();
}

bool WMeterBase::protocolOnline() const
{
    const IInterface *link = protocol() ? protocol()->interface() : nullptr;
    return link && link->isConnected();
}

// --- polling ---------------------------------------------------------------------

void WMeterBase::updatePolling()
{
    if (m_online && m_shown && transform() && protocol()) {
        if (!m_meterTimer.isActive())
            m_meterTimer.start();
    } else {
        m_meterTimer.stop();
    }
}

void WMeterBase::onSendDelayTimerTimeout()
{
    if (protocol() && transform() && transform()->isLive())
        protocol()->queryNow(transform(), m_meterTimer.interval());
}

void WMeterBase::onOnlineStateChanged(bool online)
{
    m_online = online;
    updatePolling();
    if (!online)
        stopShowing(true);
}

void WMeterBase::setItemVisible(bool visible)
{
    WWidget::setItemVisible(visible);
    m_shown = visible;
    // Shown while online, the meter asks at once rather than a tick later.
    if (visible && m_online)
        onSendDelayTimerTimeout();
    updatePolling();
    if (!visible)
        stopShowing(false);
}

// --- levels ----------------------------------------------------------------------

double WMeterBase::level() const
{
    float reported = float(m_minimum);
    if (transform())
        transform()->replyValue(reported);
    double value = reported;
    const HNode *n = node();
    if (n && n->title().startsWith(QLatin1String("Output ")) && n->typenum() == QLatin1String("2"))
        value += OutputCardOffset;
    if (std::isnan(value))
        return m_minimum;
    return std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
}

double WMeterBase::lowBreak() const
{
    return std::clamp(std::min(m_break1, m_break2), m_minimum, std::max(m_minimum, m_maximum));
}

double WMeterBase::highBreak() const
{
    return std::clamp(std::max(m_break1, m_break2), m_minimum, std::max(m_minimum, m_maximum));
}

double WMeterBase::pointOf(double value) const
{
    const double range = m_maximum - m_minimum;
    if (!(range > 0.0))
        return 0.0;
    return std::clamp((value - m_minimum) / range, 0.0, 1.0);
}

// --- settings --------------------------------------------------------------------

bool WMeterBase::processOwnKey(const QString &, const QString &)
{
    return false;
}

void WMeterBase::writeOwnKeys(XmlWriter &) const {}

bool WMeterBase::processProperty(const QString &name, const QString &value)
{
    if (!item())
        return false;
    if (processRect(name, value) || processFractions(name, value) || processOwnKey(name, value))
        return true;
    if (name == TextKey) {
        m_text = value;
        setItemProperty("text", value);
    } else if (name == ColorKey) {
        setColorProperty("textColor", value);
    } else if (name == RateKey) {
        setRate(value);
    } else if (name == ChannelNameKey) {
        m_channelName = value;
    } else if (name == IndexOffsetKey) {
        bool ok = false;
        const int offset = value.trimmed().toInt(&ok, 10);
        m_indexOffset = ok ? offset : 0;
    } else if (name == UnitsKey) {
        if (value != m_unitsText) {
            m_unitsText = value;
            emit unitsTextChanged();
        }
    } else if (name == MinimumKey) {
        setMinimum(toDouble(value));
    } else if (name == MaximumKey) {
        setMaximum(toDouble(value));
    } else if (name == Break1Key) {
        m_break1 = toDouble(value);
    } else if (name == Break2Key) {
        m_break2 = toDouble(value);
    } else {
        return false;
    }
    return true;
}

bool WMeterBase::writeXml(XmlWriter &writer)
{
    WWidget::writeXml(writer);
    writer.writeElement(TextKey, m_text);
    writer.writeElement(ColorKey, colorPropertyText("textColor"));
    writer.writeElement(RateKey, m_rate);
    writer.writeElement(ChannelNameKey, m_channelName);
    writer.writeElement(IndexOffsetKey, m_indexOffset);
    writer.writeElement(UnitsKey, m_unitsText);
    writer.writeElement(MinimumKey, float(m_minimum));
    writer.writeElement(MaximumKey, float(m_maximum));
    writer.writeElement(Break1Key, float(m_break1));
    writer.writeElement(Break2Key, float(m_break2));
    writeOwnKeys(writer);
    return true;
}

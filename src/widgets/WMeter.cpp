#include "WMeter.h"

#include "XmlWriter.h"

#include <cmath>
#include <limits>

namespace {
const QLatin1String MarkerKey("markerLevelPoint");
const char *const ColorProperties[] = {"colorAtPoint1", "colorAtPoint2", "colorAtPoint3"};
const char *const StopProperties[] = {"colorStopPoint1", "colorStopPoint2", "colorStopPoint3"};
} // namespace

const char *const WMeter::Grey = "#C3C3C3";
const char *const WMeter::Green = "#21f321";
const char *const WMeter::Yellow = "#fff780";
const char *const WMeter::Orange = "#ff8000";

WMeter::WMeter(QQuickItem *parent) : WMeterBase(parent), m_marker(std::numeric_limits<double>::quiet_NaN())
{
    m_peakTimer.setInterval(PeakTimerMs);
    connect(&m_peakTimer, &QTimer::timeout, this, &WMeter::onGetStatusTimerTimeout);
    // A new floor takes the peak with it.
    connect(this, &WMeterBase::minimumChanged, this, [this] { m_peak = m_minimum; });
}

void WMeter::completeSetup()
{
    WMeterBase::completeSetup();
    m_peak = std::clamp(m_peak, m_minimum, m_maximum);
    showMarker();
}

void WMeter::refresh()
{
    if (!item() || !transform())
        return;
    const double reading = level();
    m_outputEnabled = false;
    updatePeak(reading);
    showZones(reading);
    m_outputEnabled = true;
    m_peakTimer.start();
}

void WMeter::updatePeak(double reading)
{
    // The peak holds for three readings below it, then falls a little with
    // each reading until the level catches it.
    if (reading >= m_peak) {
        m_peak = reading;
        m_peakFallStep = 0.0;
        m_peakHoldCount = PeakHoldReadings;
    } else if (m_peakHoldCount > 0) {
        m_peakHoldCount -= 1;
    } else {
        m_peakFallStep = PeakFallPerReading;
        m_peak = std::max(reading, m_peak - m_peakFallStep);
    }
    showPeak();
}

void WMeter::showPeak()
{
    setItemProperty("isPeakEnabled", true);
    setItemProperty("peakLevelPoint", pointOf(m_peak));
}

void WMeter::onGetStatusTimerTimeout()
{
    m_peak -= PeakFallPerTick;
    if (m_peak <= m_minimum) {
        m_peak = m_minimum;
        m_peakTimer.stop();
    }
    showPeak();
}

void WMeter::setZone(int zone, const char *colour, double stop)
{
    setColorProperty(ColorProperties[zone], QLatin1String(colour));
    setItemProperty(StopProperties[zone], stop);
}

void WMeter::showZones(double reading)
{
    const double low = lowBreak();
    const double high = highBreak();
    if (reading <= m_minimum) {
        setZone(0, Grey, 0.0);
        setZone(1, Grey, 0.0);
        setZone(2, Grey, 0.0);
    } else if (reading <= low) {
        setZone(0, Green, pointOf(reading));
        setZone(1, Grey, 0.0);
        setZone(2, Grey, 0.0);
    } else if (reading <= high) {
        setZone(0, Green, pointOf(low));
        setZone(1, Yellow, pointOf(reading) - pointOf(low));
        setZone(2, Grey, 0.0);
    } else {
        setZone(0, Green, pointOf(low));
        setZone(1, Yellow, pointOf(high) - pointOf(low));
        setZone(2, Orange, pointOf(reading) - pointOf(high));
    }
}

void WMeter::stopShowing(bool offline)
{
    m_peakTimer.stop();
    if (!offline)
        return;
    setZone(0, Grey, 0.0);
    setZone(1, Grey, 0.0);
    setZone(2, Grey, 0.0);
    setItemProperty("isPeakEnabled", false);
    setItemProperty("peakLevelPoint", 0.0);
    m_peak = m_minimum;
}

void WMeter::showMarker()
{
    if (std::isnan(m_marker))
        return;
    setItemProperty("isMarkerEnabled", true);
    setItemProperty("markerLevelPoint", pointOf(m_marker));
}

bool WMeter::processOwnKey(const QString &name, const QString &value)
{
    if (name != MarkerKey)
        return false;
    // Like every number of a panel file, one that does not read is 0.
    const double marker = value.trimmed().toDouble();
    m_markerText = value;
    m_marker = std::isfinite(marker) ? marker : 0.0;
    showMarker();
    return true;
}

void WMeter::writeOwnKeys(XmlWriter &writer) const
{
    if (!m_markerText.isEmpty())
        writer.writeElement(MarkerKey, m_markerText);
}

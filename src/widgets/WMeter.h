#pragma once

#include "WMeterBase.h"

// A bar meter: three colour zones up to the level, a peak mark that holds
// for three readings and then falls, and an optional fixed marker line. Its
// QML item draws the gauge from the zone colours and stops, each a fraction
// of the bar's length, drawn one above the other from the bottom.
class WMeter : public WMeterBase
{
    Q_OBJECT
public:
    static constexpr int PeakTimerMs = 2500;
    // How far the peak falls per reading once it has held.
    static constexpr double PeakFallPerReading = 0.08;
    static constexpr int PeakHoldReadings = 3;
    // How far the peak falls per peak timer tick when no readings come.
    static constexpr double PeakFallPerTick = 1.0;

    static const char *const Grey;
    static const char *const Green;
    static const char *const Yellow;
    static const char *const Orange;

    explicit WMeter(QQuickItem *parent = nullptr);

    void refresh() override;
    void completeSetup() override;

    double peak() const { return m_peak; }
    bool isPeakFalling() const { return m_peakTimer.isActive(); }

public slots:
    // The peak falls while no readings come.
    void onGetStatusTimerTimeout();

protected:
    void stopShowing(bool offline) override;
    bool processOwnKey(const QString &name, const QString &value) override;
    void writeOwnKeys(XmlWriter &writer) const override;

private:
    void updatePeak(double level);
    void showZones(double level);
    void showPeak();
    void showMarker();
    void setZone(int zone, const char *colour, double stop);

    double m_peak = DefaultMinimum;
    double m_peakFallStep = 0.0;
    double m_peakHoldCount = 4.0;
    QTimer m_peakTimer;
    // The level of the marker line; NaN without one.
    double m_marker;
    QString m_markerText;
};

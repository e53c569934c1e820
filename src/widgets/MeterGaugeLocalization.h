#pragma once

#include <QObject>

// Layout constants of the meter gauge drawing, in the units of the mobile
// app's layout: the bar's width, how much shorter the bar is than the gauge
// (room for the halves of the end digits), the gauge's reference width (bar
// and digit column) and the digits' offset from their tick.
class MeterGaugeLocalization : public QObject
{
    Q_OBJECT
    Q_PROPERTY(float barWidth READ barWidth CONSTANT)
    Q_PROPERTY(float barHeightDif READ barHeightDif CONSTANT)
    Q_PROPERTY(float alignerWidth READ alignerWidth CONSTANT)
    Q_PROPERTY(float digitOffset READ digitOffset CONSTANT)
public:
    using QObject::QObject;

    float barWidth() const { return 15.0f; }
    float barHeightDif() const { return 10.0f; }
    float alignerWidth() const { return 66.0f; }
    float digitOffset() const { return -8.0f; }
};

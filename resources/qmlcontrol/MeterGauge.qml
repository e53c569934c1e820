import QtQuick

// The bar of a meter with its scale. The three zones are drawn one above the
// other from the bottom, each as long as its stop (a fraction of the bar);
// the peak and the marker stand at their points, fractions of the range.
Item {
    id: gauge

    property color colorAtPoint1: "#C3C3C3"
    property color colorAtPoint2: "#C3C3C3"
    property color colorAtPoint3: "#C3C3C3"
    property real colorStopPoint1: 0
    property real colorStopPoint2: 0
    property real colorStopPoint3: 0
    property bool isPeakEnabled: false
    property real peakLevelPoint: 0
    property bool isMarkerEnabled: false
    property real markerLevelPoint: 0
    property real minimum: -60
    property real maximum: 0
    property string unitsText: ""
    property color textColor: intrf.textColor

    // The layout constants are given for a gauge half the aligner wide.
    readonly property real unit: width / (MeterGaugeLocalValue.alignerWidth / 2)
    readonly property real barWidth: Math.min(width * 0.6, MeterGaugeLocalValue.barWidth * unit)
    readonly property real digitSize: Math.max(6, -MeterGaugeLocalValue.digitOffset * unit)
    readonly property real unitsHeight: unitsText.length > 0 ? digitSize * 1.3 : 0
    readonly property real inset: MeterGaugeLocalValue.barHeightDif * unit / 2
    readonly property real barTop: unitsHeight + inset
    readonly property real barLength: Math.max(0, height - barTop - inset)
    readonly property real range: maximum - minimum

    function clamp01(v) {
        return Math.max(0, Math.min(1, v))
    }
    // The scale: a label at every multiple of the step, the step the
    // smallest usual one that leaves at most six gaps. It depends on the
    // range only, so that resizing never rebuilds the labels.
    readonly property real scaleStep: {
        var steps = [1, 2, 3, 5, 6, 10, 12, 15, 20, 30, 50, 100, 200]
        for (var i = 0; i < steps.length; ++i) {
            if (range > 0 && range / steps[i] <= 6)
                return steps[i]
        }
        return range > 0 ? range : 1
    }
    readonly property real scaleTop: Math.floor(maximum / scaleStep + 0.001) * scaleStep
    readonly property int scaleCount: range > 0 ? Math.floor((scaleTop - minimum) / scaleStep + 0.001) + 1 : 0
    // Labels closer than their own height would overlap: then only the
    // ticks are drawn.
    readonly property bool roomForDigits: range > 0 && barLength * scaleStep / range >= digitSize * 1.2

    Text {
        visible: gauge.unitsHeight > 0
        anchors { top: parent.top; right: parent.right }
        width: parent.width
        height: gauge.unitsHeight
        text: gauge.unitsText
        color: gauge.textColor
        opacity: 0.8
        horizontalAlignment: Text.AlignRight
        elide: Text.ElideLeft
        font.pixelSize: gauge.digitSize * 0.9
    }

    Rectangle {
        id: bar
        x: 0
        y: gauge.barTop
        width: gauge.barWidth
        height: gauge.barLength
        color: "#2A2D2E"
        border.color: "#5D6061"
        border.width: 1
        clip: true

        readonly property real inner: height - 2
        Rectangle {
            x: 1; width: parent.width - 2
            height: bar.inner * gauge.clamp01(gauge.colorStopPoint1)
            y: 1 + bar.inner - height
            color: gauge.colorAtPoint1
        }
        Rectangle {
            x: 1; width: parent.width - 2
            height: bar.inner * gauge.clamp01(gauge.colorStopPoint2)
            y: 1 + bar.inner * (1 - gauge.clamp01(gauge.colorStopPoint1)) - height
            color: gauge.colorAtPoint2
        }
        Rectangle {
            x: 1; width: parent.width - 2
            height: bar.inner * gauge.clamp01(gauge.colorStopPoint3)
            y: 1 + bar.inner * (1 - gauge.clamp01(gauge.colorStopPoint1 + gauge.colorStopPoint2)) - height
            color: gauge.colorAtPoint3
        }
        // The peak.
        Rectangle {
            visible: gauge.isPeakEnabled
            x: 1; width: parent.width - 2
            height: Math.max(2, bar.inner * 0.012)
            y: 1 + bar.inner * (1 - gauge.clamp01(gauge.peakLevelPoint)) - height / 2
            color: "#FFFFFF"
            border.color: "#231F20"
            border.width: height > 2 ? 1 : 0
        }
    }

    // The marker line, a little wider than the bar.
    Rectangle {
        visible: gauge.isMarkerEnabled
        x: -1
        width: gauge.barWidth + 2
        height: 2
        y: gauge.barTop + 1 + bar.inner * (1 - gauge.clamp01(gauge.markerLevelPoint)) - 1
        color: intrf.accentColor
    }

    // The scale: a tick at every label, and the labels as one text whose
    // lines are as far apart as the ticks.
    readonly property real tickSpacing: range > 0 ? bar.inner * scaleStep / range : 0
    readonly property real firstTickY: barTop + 1 + bar.inner * (1 - clamp01((scaleTop - minimum) / range))
    Repeater {
        model: gauge.scaleCount
        Rectangle {
            x: gauge.barWidth + 1
            y: gauge.firstTickY + index * gauge.tickSpacing
            width: Math.max(2, gauge.unit * 3)
            height: 1
            color: gauge.textColor
            opacity: 0.6
        }
    }
    FontMetrics {
        id: digitMetrics
        font: digits.font
    }
    Text {
        id: digits
        visible: gauge.roomForDigits
        x: gauge.barWidth + Math.max(3, gauge.unit * 4)
        // Each line's digits stand on their tick: the middle of a digit is
        // this far below the top of its line.
        y: gauge.firstTickY - (digitMetrics.ascent - digitMetrics.tightBoundingRect("0").height / 2)
        text: {
            var lines = []
            for (var i = 0; i < gauge.scaleCount; ++i)
                lines.push(Math.round(gauge.scaleTop - i * gauge.scaleStep))
            return lines.join("\n")
        }
        color: gauge.textColor
        font.pixelSize: gauge.digitSize
        lineHeightMode: Text.FixedHeight
        lineHeight: Math.max(1, gauge.tickSpacing)
        verticalAlignment: Text.AlignTop
    }
}

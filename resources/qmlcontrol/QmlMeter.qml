import QtQuick
import wmeter

// A level meter: the gauge, and the meter's text under it.
Item {
    id: meter
    width: 32
    height: 200

    property string text: ""
    property color textColor: intrf.textColor
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

    readonly property real captionHeight: text.length > 0 ? Math.max(8, Math.min(height * 0.07, width * 0.42)) : 0

    MeterGauge {
        anchors { top: parent.top; left: parent.left; right: parent.right; bottom: caption.top }
        colorAtPoint1: meter.colorAtPoint1
        colorAtPoint2: meter.colorAtPoint2
        colorAtPoint3: meter.colorAtPoint3
        colorStopPoint1: meter.colorStopPoint1
        colorStopPoint2: meter.colorStopPoint2
        colorStopPoint3: meter.colorStopPoint3
        isPeakEnabled: meter.isPeakEnabled
        peakLevelPoint: meter.peakLevelPoint
        isMarkerEnabled: meter.isMarkerEnabled
        markerLevelPoint: meter.markerLevelPoint
        minimum: wwidget.minimum
        maximum: wwidget.maximum
        unitsText: wwidget.unitsText
        textColor: meter.textColor
    }

    Text {
        id: caption
        anchors { bottom: parent.bottom; left: parent.left; right: parent.right }
        height: meter.captionHeight
        text: meter.text
        color: meter.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        // Narrow enough for the meter's width, as far as a guess from the
        // number of letters goes.
        font.pixelSize: Math.max(5, Math.min(height * 0.8, width * 1.6 / Math.max(1, text.length)))
    }

    WMeter {
        id: wwidget
        objectName: "widget"
    }
}

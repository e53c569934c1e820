import QtQuick
import wframe

// The frame behind a control's parts.
Rectangle {
    id: frame
    property color fieldColor: "#00000000"
    property color borderColor: intrf.borderColor
    property real borderWidth: 1
    property int hasBorder: 1

    color: fieldColor
    radius: intrf.controlRadius * intrf.pixelScale
    border.color: borderColor
    border.width: hasBorder ? Math.max(1, borderWidth * intrf.pixelScale) : 0

    WFrame {
        id: wwidget
        objectName: "widget"
    }
}

import QtQuick
import wmeterimage

// A level lamp: one of four pictures for the zone the level is in, and the
// meter's text under it.
Item {
    id: lamp
    width: 40
    height: 48

    property string path: "../images/meterGrey.png"
    property real imageSize: 1.0
    property real imageOpacity: 1.0
    property string text: ""

    readonly property real captionHeight: text.length > 0 ? Math.max(8, height * 0.22) : 0
    readonly property real side: Math.max(1, Math.min(width, height - captionHeight) * Math.max(0.05, Math.min(1, imageSize)))

    Image {
        anchors { horizontalCenter: parent.horizontalCenter; verticalCenter: parent.verticalCenter;
                  verticalCenterOffset: -lamp.captionHeight / 2 }
        width: lamp.side
        height: lamp.side
        source: lamp.path
        opacity: lamp.imageOpacity
        fillMode: Image.PreserveAspectFit
        smooth: true
        mipmap: true
        sourceSize.width: 128
    }

    Text {
        anchors { bottom: parent.bottom; left: parent.left; right: parent.right }
        height: lamp.captionHeight
        visible: height > 0
        text: lamp.text
        color: intrf.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 5
        font.pixelSize: Math.max(5, height * 0.8)
    }

    WMeterImage {
        id: wwidget
        objectName: "widget"
    }
}

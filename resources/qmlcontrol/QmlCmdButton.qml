import QtQuick
import wcmdbutton

// A key that hands its command to the widget it is linked to: its title and
// picture side by side; a press flashes the accent colour for 200 ms.
Item {
    id: key
    property string text: ""
    property bool hasText: false
    property string onImage: ""
    property bool hasImage: false
    property real imageSize: 0.6
    property int hasBorder: 1

    Rectangle {
        id: face
        anchors.fill: parent
        radius: intrf.controlRadius * intrf.pixelScale
        color: flash.running ? intrf.accentColor : intrf.fieldColor
        border.color: key.hasBorder ? intrf.borderColor : "transparent"
        border.width: key.hasBorder ? Math.max(1, intrf.pixelScale) : 0
    }

    Row {
        anchors.centerIn: parent
        spacing: label.visible && picture.visible ? key.height * 0.12 : 0
        Image {
            id: picture
            visible: key.hasImage && key.onImage !== ""
            anchors.verticalCenter: parent.verticalCenter
            height: key.height * Math.max(0, Math.min(1, key.imageSize))
            width: height
            source: key.onImage
            sourceSize.height: Math.max(16, height * 2)
            fillMode: Image.PreserveAspectFit
            smooth: true
            mipmap: true
        }
        Text {
            id: label
            visible: key.hasText && text !== ""
            anchors.verticalCenter: parent.verticalCenter
            width: Math.min(implicitWidth, key.width * 0.9 - (picture.visible ? picture.width : 0))
            text: key.text
            textFormat: Text.PlainText
            color: intrf.textColor
            font.pixelSize: Math.max(6, key.height * 0.4)
            elide: Text.ElideRight
        }
    }

    Timer {
        id: flash
        interval: 200
    }

    MouseArea {
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onPressed: {
            flash.restart()
            wwidget.outputPressed()
        }
    }

    WCmdButton {
        id: wwidget
        objectName: "widget"
    }
}

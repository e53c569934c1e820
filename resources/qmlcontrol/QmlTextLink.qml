import QtQuick
import wtextlink

// A text that acts as a key: a click flashes the accent colour and sends
// the link's index; the border takes the accent colour while the device
// reports that index as the current one.
Item {
    id: link
    property string text: ""
    property bool hasText: false
    property int index: 0
    property int current: -1
    property bool buttonMode: true
    property real textScale: 1.0
    readonly property bool isCurrent: index === current

    Rectangle {
        anchors.fill: parent
        visible: link.buttonMode || link.isCurrent
        radius: intrf.controlRadius * intrf.pixelScale
        color: flash.running ? intrf.accentColor : (link.buttonMode ? intrf.fieldColor : "transparent")
        border.color: link.isCurrent ? intrf.accentColor : intrf.borderColor
        border.width: Math.max(1, intrf.pixelScale * (link.isCurrent ? 2 : 1))
    }

    Text {
        anchors.fill: parent
        anchors.margins: link.height * 0.1
        text: link.text
        textFormat: Text.PlainText
        color: link.isCurrent ? intrf.accentColor : intrf.textColor
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        font.pixelSize: Math.max(6, Math.min(link.height * 0.5, intrf.textLinkTextSize * 1.6 * intrf.pixelScale)
                                    * link.textScale)
    }

    Timer {
        id: flash
        interval: 100
    }

    MouseArea {
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onClicked: {
            flash.restart()
            wwidget.outputClicked()
        }
    }

    WTextLink {
        id: wwidget
        objectName: "widget"
    }
}

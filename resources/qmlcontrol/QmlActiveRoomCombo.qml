import QtQuick
import wactivecombo

// The combinations in effect, one line each: the combination's colour and
// the names of its rooms.
Rectangle {
    id: list
    property real textScale: 1.0
    property bool autoSize: false
    property real borderWidth: 1
    property real sideMargins: 8
    property color textColor: intrf.textColor
    property color borderColor: intrf.borderColor
    property var combos: []
    property bool editing: intrf.editModeEnable
    onEditingChanged: wwidget.changeDummyList()

    readonly property real lineHeight: Math.min(height * 0.5,
                                                (height - 8 * intrf.pixelScale) / Math.max(1, combos.length))

    color: "transparent"
    radius: intrf.controlRadius * intrf.pixelScale
    border.color: borderColor
    border.width: Math.max(0, borderWidth * intrf.pixelScale)

    Column {
        anchors.fill: parent
        anchors.leftMargin: list.sideMargins * intrf.pixelScale
        anchors.rightMargin: list.sideMargins * intrf.pixelScale
        anchors.topMargin: 4 * intrf.pixelScale
        Repeater {
            model: list.combos
            delegate: Row {
                height: list.lineHeight
                spacing: height * 0.25
                Rectangle {
                    width: parent.height * 0.55
                    height: width
                    radius: width / 2
                    anchors.verticalCenter: parent.verticalCenter
                    color: modelData.color
                    border.color: list.borderColor
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    width: list.width - 2 * list.sideMargins * intrf.pixelScale - parent.height
                    elide: Text.ElideRight
                    text: modelData.text
                    color: list.textColor
                    fontSizeMode: list.autoSize ? Text.Fit : Text.FixedSize
                    minimumPixelSize: 6
                    font.pixelSize: Math.max(6, parent.height * 0.55 * list.textScale)
                }
            }
        }
    }

    Text {
        anchors.centerIn: parent
        visible: list.combos.length === 0
        text: qsTr("No rooms combined")
        color: list.textColor
        opacity: 0.6
        font.pixelSize: Math.max(6, list.height * 0.28 * list.textScale)
    }

    WActiveCombo {
        id: wwidget
        objectName: "widget"
    }
}

import QtQuick

// The common frame of the scene's message boxes: a dimmed canvas, a card
// with title, text and one button. The native side sets title, text and
// button; the box closes through MsgBoxController, or by itself when
// "cancel" is set from native code.
Rectangle {
    id: dialog
    property string title: ""
    property string text: ""
    property string button: "OK"
    property bool cancel: false
    default property alias header: headerSlot.data

    readonly property bool themed: typeof intrf !== "undefined" && intrf !== null
    readonly property color cardColor: themed ? intrf.menuColor : "#FFFFFF"
    readonly property color inkColor: themed ? intrf.menuTextColor : "#231F20"
    readonly property color lineColor: themed ? intrf.menuLineColor : "#A8AAAD"
    readonly property color accent: themed ? intrf.accentColor : "#1D98D5"

    function accept() {
        if (typeof MsgBoxController !== "undefined")
            MsgBoxController.quit()
    }

    onCancelChanged: if (cancel && typeof MsgBoxController !== "undefined") MsgBoxController.close()

    anchors.fill: parent
    color: "#80231F20"
    z: 1000

    MouseArea { anchors.fill: parent }

    Rectangle {
        id: card
        anchors.centerIn: parent
        width: parent.width * 0.86
        height: column.implicitHeight + 28
        radius: 8
        color: dialog.cardColor
        border.color: dialog.lineColor

        Column {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 14
            spacing: 12

            Item {
                id: headerSlot
                width: parent.width
                height: childrenRect.height
                visible: children.length > 0
            }
            Text {
                width: parent.width
                text: dialog.title
                font.bold: true
                font.pixelSize: 16
                color: dialog.inkColor
                wrapMode: Text.WordWrap
                visible: text !== ""
            }
            Text {
                objectName: "messageText"
                width: parent.width
                text: dialog.text
                font.pixelSize: 13
                lineHeight: 1.15
                color: dialog.inkColor
                wrapMode: Text.WordWrap
            }
            Rectangle {
                anchors.right: parent.right
                width: Math.max(84, buttonText.implicitWidth + 32)
                height: 32
                radius: 16
                color: okArea.pressed ? Qt.darker(dialog.accent, 1.2) : dialog.accent
                Text {
                    id: buttonText
                    anchors.centerIn: parent
                    text: dialog.button
                    color: "#FFFFFF"
                    font.pixelSize: 13
                    font.bold: true
                }
                MouseArea {
                    id: okArea
                    objectName: "okButton"
                    anchors.fill: parent
                    onClicked: dialog.accept()
                }
            }
        }
    }
}

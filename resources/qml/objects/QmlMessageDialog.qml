import QtQuick

// A message box inside the scene. The native side sets title, text and
// button; it closes through MsgBoxController, or by itself when "cancel" is
// set from native code.
Rectangle {
    id: dialog
    property string title: ""
    property string text: ""
    property string button: "OK"
    property bool cancel: false

    anchors.fill: parent
    color: "#80231F20"
    z: 1000

    function accept() {
        if (typeof MsgBoxController !== "undefined")
            MsgBoxController.quit()
    }

    onCancelChanged: if (cancel && typeof MsgBoxController !== "undefined") MsgBoxController.close()

    MouseArea { anchors.fill: parent }

    Rectangle {
        id: box
        anchors.centerIn: parent
        width: parent.width * 0.86
        height: column.implicitHeight + 24
        radius: 6
        color: "#FFFFFF"
        border.color: "#A8AAAD"

        Column {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 12
            spacing: 10

            Text {
                width: parent.width
                text: dialog.title
                font.bold: true
                font.pixelSize: 15
                color: "#231F20"
                wrapMode: Text.WordWrap
            }
            Text {
                width: parent.width
                text: dialog.text
                font.pixelSize: 13
                color: "#231F20"
                wrapMode: Text.WordWrap
            }
            Rectangle {
                anchors.right: parent.right
                width: 80
                height: 30
                radius: 4
                color: okArea.pressed ? "#1578AB" : "#1D98D5"
                Text {
                    anchors.centerIn: parent
                    text: dialog.button
                    color: "#FFFFFF"
                    font.pixelSize: 13
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

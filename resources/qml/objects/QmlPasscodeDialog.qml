import QtQuick
import QtQuick.Controls

// Asks for the project's exit PIN before the program ends; a wrong PIN
// shakes the field and keeps the program running.
Rectangle {
    id: dialog
    property bool cancel: false
    signal closed()

    anchors.fill: parent
    color: "#80231F20"
    z: 1000
    onCancelChanged: if (cancel) dialog.closed()

    function tryPin() {
        if (pin.text === intrf.getExitPIN()) {
            dialog.closed()
            intrf.exitApplication()
        } else {
            pin.text = ""
            wrong.visible = true
            shake.start()
        }
    }

    MouseArea { anchors.fill: parent }

    Rectangle {
        id: card
        anchors.centerIn: parent
        width: parent.width * 0.8
        height: column.implicitHeight + 28
        radius: 8
        color: intrf.menuColor
        border.color: intrf.menuLineColor

        Column {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.margins: 14
            spacing: 10

            Text {
                text: qsTr("Exit PIN")
                font.bold: true
                font.pixelSize: 16
                color: intrf.menuTextColor
            }
            Text {
                width: parent.width
                wrapMode: Text.WordWrap
                text: qsTr("Enter the PIN of this project to leave the remote panel.")
                font.pixelSize: 13
                color: intrf.menuTextColor
            }
            TextField {
                id: pin
                objectName: "pinField"
                width: parent.width
                echoMode: TextInput.Password
                inputMethodHints: Qt.ImhDigitsOnly
                focus: true
                onAccepted: dialog.tryPin()
                SequentialAnimation on x {
                    id: shake
                    running: false
                    NumberAnimation { to: 8; duration: 40 }
                    NumberAnimation { to: -8; duration: 80 }
                    NumberAnimation { to: 0; duration: 40 }
                }
            }
            Text {
                id: wrong
                visible: false
                text: qsTr("Wrong PIN")
                color: "#D0342C"
                font.pixelSize: 12
            }
            Row {
                anchors.right: parent.right
                spacing: 8
                Button {
                    text: qsTr("Cancel")
                    onClicked: dialog.closed()
                }
                Button {
                    text: qsTr("Exit")
                    onClicked: dialog.tryPin()
                }
            }
        }
    }
}

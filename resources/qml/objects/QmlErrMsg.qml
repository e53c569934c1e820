import QtQuick

// A strip across the top of the canvas that shows the bridge's error text.
Item {
    Rectangle {
        anchors.top: parent.top
        anchors.topMargin: parent.height * 0.1
        anchors.horizontalCenter: parent.horizontalCenter
        width: parent.width * 0.9
        height: message.implicitHeight + 16
        radius: 4
        color: "#E6D0342C"
        Text {
            id: message
            anchors.centerIn: parent
            width: parent.width - 16
            wrapMode: Text.WordWrap
            horizontalAlignment: Text.AlignHCenter
            color: "#FFFFFF"
            font.pixelSize: 13
            text: intrf.errMessage
        }
    }
}

import QtQuick

// The desktop scene: the canvas of the mobile screen.
Rectangle {
    id: canvas
    width: 294
    height: 522
    color: "#FFFFFF"

    Text {
        anchors.centerIn: parent
        width: parent.width * 0.8
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
        color: "#808285"
        font.pixelSize: 14
        text: qsTr("Open a control panel file (File > Open Remote app File...) to show its panels.")
    }
}

import QtQuick

// One page arrow of the status bar; dimmed at the first or last page.
Item {
    id: arrow
    property alias source: image.source
    property bool active: true
    property string command: ""

    Image {
        id: image
        anchors.centerIn: parent
        height: parent.height * 0.5
        width: height
        fillMode: Image.PreserveAspectFit
        smooth: true
        mipmap: true
        opacity: arrow.active ? (mouse.pressed ? 0.5 : 1.0) : 0.25
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        enabled: arrow.active && !intrf.editModeEnable
        onClicked: intrf.postCommand("event", arrow.command)
    }
}

import QtQuick
import wroomselection

// A room of a divisible space: its outline filled in the colour of the
// combination it is in, brightest when that is the combination being
// edited, with the room's name. A tap inside moves the room.
Item {
    id: room
    property color fieldColor: intrf.fieldColor
    property color borderColor: intrf.borderColor
    property real borderWidth: 4
    property var model: []
    property color roomColor: "lightgray"
    property bool hasRoom: false
    property string text: ""

    QmlPolygonShape {
        anchors.fill: parent
        vertices: room.model
        fillColor: room.hasRoom ? room.roomColor : room.fieldColor
        strokeColor: room.borderColor
        strokeWidth: room.borderWidth * intrf.pixelScale * (wwidget.isSelected ? 1.5 : 1)
        opacity: wwidget.isSelected ? wwidget.selectedOpacity : wwidget.unselectedOpacity
    }

    Text {
        anchors.centerIn: parent
        width: parent.width * 0.9
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
        text: room.text
        color: intrf.textColor
        font.pixelSize: Math.max(8, Math.min(room.height * 0.09, room.width * 0.14))
        font.bold: wwidget.isSelected
    }

    MouseArea {
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onPressed: function(mouse) {
            if (!wwidget.outputPressed(mouse.x, mouse.y))
                mouse.accepted = false
        }
    }

    QmlVertexHandles {
        anchors.fill: parent
        visible: intrf.editModeEnable
        vertices: room.model
        onMoved: function(json) { wwidget.saveVertices(json) }
    }

    WRoomSelection {
        id: wwidget
        objectName: "widget"
    }
}

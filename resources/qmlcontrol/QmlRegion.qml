import QtQuick
import QtQuick.Shapes
import wregion

// A freely shaped area that leads to another panel. In edit mode its
// vertices can be dragged; the new outline goes back to the widget.
Item {
    id: region
    property color fieldColor: intrf.fieldColor
    property color borderColor: intrf.borderColor
    property real borderWidth: 4
    property var model: []

    QmlPolygonShape {
        anchors.fill: parent
        vertices: region.model
        fillColor: region.fieldColor
        strokeColor: region.borderColor
        strokeWidth: region.borderWidth * intrf.pixelScale
    }

    MouseArea {
        anchors.fill: parent
        enabled: !intrf.editModeEnable
        onPressed: function(mouse) {
            // Outside the outline the press belongs to what lies below.
            if (!wwidget.outputPressed(mouse.x, mouse.y))
                mouse.accepted = false
        }
    }

    QmlVertexHandles {
        anchors.fill: parent
        visible: intrf.editModeEnable
        vertices: region.model
        onMoved: function(json) { wwidget.saveVertices(json) }
    }

    WRegion {
        id: wwidget
        objectName: "widget"
    }
}

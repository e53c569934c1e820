import QtQuick

// Edit-mode handles on the vertices of a polygon widget. Dragging one
// reports the whole outline as vertex JSON when the handle is let go.
Item {
    id: handles
    property var vertices: []
    signal moved(string json)

    function outlineWith(index, x, y) {
        var points = []
        for (var i = 0; i < vertices.length; ++i)
            points.push(i === index ? { "x": x, "y": y } : { "x": vertices[i].x, "y": vertices[i].y })
        return JSON.stringify(points)
    }

    Repeater {
        model: handles.vertices
        delegate: Rectangle {
            id: handle
            readonly property real size: Math.max(10, 12 * intrf.pixelScale)
            x: modelData.x - size / 2
            y: modelData.y - size / 2
            width: size
            height: size
            radius: size / 2
            color: intrf.editColor
            border.color: intrf.accentColor
            border.width: 1
            MouseArea {
                anchors.fill: parent
                drag.target: handle
                drag.threshold: 0
                onReleased: handles.moved(handles.outlineWith(index, handle.x + handle.size / 2,
                                                              handle.y + handle.size / 2))
            }
        }
    }
}

import QtQuick
import QtQuick.Shapes

// The closed outline of a polygon widget, filled.
Shape {
    id: shape
    property var vertices: []
    property color fillColor: "transparent"
    property color strokeColor: "black"
    property real strokeWidth: 1

    ShapePath {
        fillColor: shape.fillColor
        strokeColor: shape.strokeColor
        strokeWidth: shape.vertices.length > 1 ? Math.max(0, shape.strokeWidth) : 0
        joinStyle: ShapePath.RoundJoin
        PathPolyline {
            path: shape.vertices.length > 0 ? shape.vertices.concat([shape.vertices[0]]) : []
        }
    }
}

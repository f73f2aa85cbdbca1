import QtQuick
import QtQuick.Shapes

// A rectangle with rounded corners filled by a two-colour linear gradient from the top-left
// corner to the bottom-left (vertical) or bottom-right (diagonal) one. Drawn as a shape, so it
// needs no shader and renders the same on every scene graph back end.
Shape {
    id: shape

    property color fromColor
    property color toColor
    property bool diagonal: false
    property real radius: 0

    readonly property real r: Math.max(0, Math.min(radius, width / 2, height / 2))

    ShapePath {
        strokeWidth: -1
        strokeColor: "transparent"
        fillGradient: LinearGradient {
            x1: 0
            y1: 0
            x2: shape.diagonal ? shape.width : 0
            y2: shape.height
            GradientStop { position: 0; color: shape.fromColor }
            GradientStop { position: 1; color: shape.toColor }
        }

        startX: shape.r
        startY: 0
        PathLine { x: shape.width - shape.r; y: 0 }
        PathArc { x: shape.width; y: shape.r; radiusX: shape.r; radiusY: shape.r }
        PathLine { x: shape.width; y: shape.height - shape.r }
        PathArc { x: shape.width - shape.r; y: shape.height; radiusX: shape.r; radiusY: shape.r }
        PathLine { x: shape.r; y: shape.height }
        PathArc { x: 0; y: shape.height - shape.r; radiusX: shape.r; radiusY: shape.r }
        PathLine { x: 0; y: shape.r }
        PathArc { x: shape.r; y: 0; radiusX: shape.r; radiusY: shape.r }
    }
}

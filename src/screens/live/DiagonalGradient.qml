import QtQuick
import QtQuick.Shapes

// A gradient from the top-left to the bottom-right corner of the item.
Shape {
    id: shape

    default property alias stops: fill.stops

    ShapePath {
        strokeWidth: -1
        strokeColor: "transparent"
        fillGradient: LinearGradient {
            id: fill
            x1: 0
            y1: 0
            x2: shape.width
            y2: shape.height
        }
        startX: 0
        startY: 0
        PathLine { x: shape.width; y: 0 }
        PathLine { x: shape.width; y: shape.height }
        PathLine { x: 0; y: shape.height }
        PathLine { x: 0; y: 0 }
    }
}

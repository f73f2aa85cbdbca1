import QtQuick

// Watches the pointer over its area without taking anything: clicks, drags and scrolls reach the
// items below. Reports where the pointer is on every hover and every drag (with either button),
// and when it comes in. The window repeats the hover of a resting pointer on every frame it
// draws: the receiver tells a move from a repeat by the position.
Item {
    id: view

    signal moved(real x, real y)
    signal entered

    HoverHandler {
        onPointChanged: if (hovered) view.moved(point.scenePosition.x, point.scenePosition.y)
        onHoveredChanged: if (hovered) view.entered()
    }
    PointHandler {
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onPointChanged: if (active) view.moved(point.scenePosition.x, point.scenePosition.y)
    }
}

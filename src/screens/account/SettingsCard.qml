import QtQuick
import Orvella

// One row of a settings section as its own card: padded 18, navy at 72 %, a thin outline on a
// rounded rectangle of radius 14. Children stack in the padded area, leading-aligned.
Rectangle {
    id: card

    default property alias content: inner.data

    implicitHeight: inner.childrenRect.height + 36
    radius: 14
    color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.72)
    border.width: 1
    border.color: OrvellaTheme.glassBorder
    clip: true

    Item {
        id: inner
        x: 18
        y: 18
        width: card.width - 36
    }
}

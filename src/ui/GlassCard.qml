import QtQuick
import Orvella

// The translucent card: content padded by 16 on every side, a faint white fill and a thin gold
// border on a rounded rectangle of radius 14. Children go into the padded area; the card takes
// its size from them unless it is given one.
Item {
    id: card

    default property alias content: inner.data
    property real padding: 16

    implicitWidth: inner.childrenRect.width + 2 * padding
    implicitHeight: inner.childrenRect.height + 2 * padding
    clip: true

    Rectangle {
        anchors.fill: parent
        radius: 14
        color: OrvellaTheme.glass
        // The border line is centred on the clipping shape, so only its inner half shows.
        border.width: 0.5
        border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)
        antialiasing: true
    }

    Item {
        id: inner
        anchors.fill: parent
        anchors.margins: card.padding
    }
}

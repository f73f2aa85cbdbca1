import QtQuick
import QtQuick.Controls
import Orvella

// A titled slider with its value to two decimals; writes its value while dragged.
Column {
    id: labeled

    required property string title
    required property real value
    required property real from
    required property real to
    signal moved(real value)

    spacing: 3

    Item {
        width: parent.width
        height: Math.max(name.implicitHeight, number.implicitHeight)
        Text {
            id: name
            anchors.left: parent.left
            text: labeled.title
            color: OrvellaTheme.textSecondary
            font: OrvellaTheme.font(10)
        }
        Text {
            id: number
            anchors.right: parent.right
            text: labeled.value.toFixed(2)
            color: OrvellaTheme.textMuted
            font: OrvellaTheme.monoFont(9)
        }
    }

    Slider {
        id: slider
        width: parent.width
        from: labeled.from
        to: labeled.to
        value: labeled.value
        palette.highlight: OrvellaTheme.gold
        onMoved: labeled.moved(value)
    }
}

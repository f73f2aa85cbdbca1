import QtQuick
import Orvella

// The placeholder of an episode grid while it loads: three full rows of card shapes.
// `gridColumns` is accepted for callers that pass grid column descriptions and not used.
Column {
    id: skeleton

    property int columns: 4
    property var gridColumns
    readonly property int slots: Math.max(1, columns)
    readonly property real slotWidth: Math.max(0, (width - (slots - 1) * spacing) / slots)

    spacing: 16

    Repeater {
        model: 3
        Row {
            spacing: skeleton.spacing
            Repeater {
                model: skeleton.slots
                Column {
                    width: skeleton.slotWidth
                    spacing: 8
                    ThumbnailShimmer {
                        width: parent.width
                        height: width * 9 / 16
                        cornerRadius: 10
                    }
                    Rectangle {
                        width: parent.width
                        height: 12
                        radius: 4
                        color: OrvellaTheme.glass
                    }
                    Rectangle {
                        width: 80
                        height: 10
                        radius: 4
                        color: OrvellaTheme.glass
                        opacity: 0.6
                    }
                }
            }
        }
    }
}

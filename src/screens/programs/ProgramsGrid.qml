import QtQuick
import QtQuick.Controls
import Orvella

// The programmes in rows of four equally wide cards, 18 apart, 22 between rows; rows are built
// as they scroll into view. With `placeholders` above 0 it shows that many card shapes instead.
ListView {
    id: grid

    property var programs: []
    property int placeholders: 0
    readonly property int columns: 4
    readonly property int slots: placeholders > 0 ? placeholders : programs.length
    readonly property real slotWidth: Math.max(
        10, (width - leftMargin - rightMargin - (columns - 1) * 18) / columns)

    // A card was clicked: its index in `programs`.
    signal selected(int row)

    leftMargin: 28
    rightMargin: 28
    bottomMargin: 28
    spacing: 22
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

    model: Math.ceil(slots / columns)

    delegate: Row {
        id: row
        required property int index
        readonly property int first: index * grid.columns

        spacing: 18

        Repeater {
            model: grid.placeholders > 0 ? 0 : grid.programs.slice(row.first, row.first + grid.columns)
            ProgramCard {
                required property var modelData
                required property int index
                width: grid.slotWidth
                title: modelData.title
                image: modelData.image
                documentary: modelData.documentary
                countText: modelData.countText
                onClicked: grid.selected(row.first + index)
            }
        }

        Repeater {
            model: grid.placeholders > 0 ? Math.min(grid.columns, grid.slots - row.first) : 0
            Column {
                width: grid.slotWidth
                spacing: 9
                ThumbnailShimmer {
                    width: parent.width
                    height: width * 9 / 16
                    cornerRadius: 11
                }
                Rectangle {
                    width: parent.width
                    height: 13
                    radius: 4
                    color: OrvellaTheme.glass
                }
            }
        }
    }
}

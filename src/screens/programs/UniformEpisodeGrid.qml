import QtQuick
import QtQuick.Controls
import Orvella

// Episodes in rows of `columns` equally wide cards, `spacing` apart; the last row is completed
// with transparent fillers so its cards line up with the columns above. Rows are built as they
// scroll into view. An optional `header` scrolls with the rows.
ListView {
    id: grid

    property EpisodeListModel episodes
    property int columns: 4
    readonly property int slots: Math.max(1, columns)
    readonly property real slotWidth: Math.max(
        0, (width - leftMargin - rightMargin - (slots - 1) * spacing) / slots)

    // A card was clicked: its row in `episodes` and its id.
    signal selected(int row, string episodeId)

    spacing: 16
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    reuseItems: true
    ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }

    model: EpisodeGridRows {
        source: grid.episodes
        columns: grid.slots
    }

    delegate: Row {
        id: row
        required property var cards
        required property int fillers

        spacing: grid.spacing

        Repeater {
            model: row.cards
            EpisodeListingCard {
                required property var modelData
                width: grid.slotWidth
                episodeId: modelData.episodeId
                displayTitle: modelData.displayTitle
                image: modelData.image
                badgeText: modelData.badgeText
                programTitle: modelData.programTitle
                onClicked: grid.selected(modelData.row, modelData.episodeId)
            }
        }

        Repeater {
            model: row.fillers
            Item {
                width: grid.slotWidth
                height: grid.slotWidth * 9 / 16
            }
        }
    }
}

import QtQuick
import Orvella

// A home rail: its title above a row of cards that scrolls sideways. Cards are built as they
// scroll into view and kept while their items stay listed.
Column {
    id: rail

    required property string title
    required property HomeScreenRailItems items
    property int pixelSize: 200

    // A card was clicked: its row in `items`.
    signal opened(int row)

    spacing: 12

    // The fonts of a card's title and programme line, as HomeScreenCard sets them.
    FontMetrics {
        id: titleMetrics
        font: OrvellaTheme.font(13, Font.DemiBold)
    }
    FontMetrics {
        id: programMetrics
        font: OrvellaTheme.font(11)
    }

    Text {
        text: rail.title
        textFormat: Text.PlainText
        color: OrvellaTheme.goldLight
        font: OrvellaTheme.font(18, Font.DemiBold)
        elide: Text.ElideRight
        width: Math.min(implicitWidth, rail.width)
    }

    // The tallest card's texts, measured by the model (again whenever the cards change).
    readonly property real cardTextHeight: rail.items.cardsRevision,
        rail.items.textHeight(titleMetrics.font, programMetrics.font, 210, 8)

    ListView {
        objectName: "homeRailRow"
        width: rail.width
        // The tallest card: its picture and its texts.
        height: count === 0 ? 0 : 118 + 8 + rail.cardTextHeight
        orientation: ListView.Horizontal
        spacing: 14
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: rail.items
        delegate: HomeScreenCard {
            required property int index
            pixelSize: rail.pixelSize
            onClicked: rail.opened(index)
        }
    }
}

import QtQuick
import QtQuick.Controls
import Orvella

// The testimonies programme: its banner and its episodes in a grid of four columns whose cards
// are built as they scroll into view (the programme may hold hundreds). Behaviour lives in
// TestimoniesLibraryModel.
Item {
    id: page

    TestimoniesLibraryModel {
        id: library
        objectName: "testimoniesLibraryModel"
        app: AppModel
    }

    Component.onCompleted: library.appear()
    Component.onDestruction: library.disappear()

    // An empty card, never shown, gives the height of every card at the column's width.
    EpisodeListingCard {
        id: cardShape
        visible: false
        width: grid.cardWidth
    }

    GridView {
        id: grid
        objectName: "testimoniesGrid"

        readonly property real columnGap: 16
        readonly property real cardWidth: cellWidth - columnGap

        // The last column's gap lies in the right margin, so four cells fill the width.
        anchors.fill: parent
        anchors.leftMargin: 24
        anchors.rightMargin: 24 - columnGap
        topMargin: 24
        bottomMargin: 24
        visible: library.showsList
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        reuseItems: true
        cellWidth: Math.floor(width / 4)
        cellHeight: cardShape.implicitHeight + 18
        model: library.episodes

        // A header that grows or shrinks (the error line) moves the content's start; a view
        // the viewer has not scrolled keeps showing the top.
        property bool keepsTop: true
        onMovementEnded: keepsTop = contentY <= originY - topMargin + 1
        onOriginYChanged: if (keepsTop) contentY = originY - topMargin

        header: Item {
            width: grid.width - grid.columnGap
            height: libraryHeader.height + 18

            LibraryHeader {
                id: libraryHeader
                width: parent.width
                title: library.programTitle
                image: library.bannerImage
                errorText: library.errorText
            }
        }

        delegate: Item {
            id: cell
            required property int index
            required property string episodeId
            required property string displayTitle
            required property string image
            required property string badgeText
            required property string programTitle

            width: grid.cellWidth
            height: grid.cellHeight

            EpisodeListingCard {
                width: grid.cardWidth
                episodeId: cell.episodeId
                displayTitle: cell.displayTitle
                image: cell.image
                badgeText: cell.badgeText
                programTitle: cell.programTitle
                onClicked: library.openEpisode(cell.index)
            }
        }

        // At the page's edge, beyond the right margin.
        ScrollBar.vertical: ScrollBar {
            parent: grid.parent
            anchors.top: grid.top
            anchors.bottom: grid.bottom
            anchors.right: grid.right
            anchors.rightMargin: -grid.anchors.rightMargin
            policy: ScrollBar.AsNeeded
        }
    }

    Flickable {
        objectName: "testimoniesStates"
        anchors.fill: parent
        visible: !library.showsList
        contentHeight: states.height + 48
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Item {
            id: states
            x: 24
            y: 24
            width: page.width - 48
            height: 420

            Column {
                objectName: "testimoniesLoading"
                anchors.centerIn: parent
                visible: library.showsLoading
                spacing: 14

                BusySpinner {
                    anchors.horizontalCenter: parent.horizontalCenter
                    running: library.showsLoading
                    color: OrvellaTheme.gold
                    diameter: 24
                }
                Text {
                    text: "Opening Orvella Testimonies Live…"
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textSecondary
                }
            }

            LibraryUnavailable {
                objectName: "testimoniesUnavailable"
                anchors.fill: parent
                visible: library.showsError
                symbol: "play.rectangle"
                title: "Orvella Testimonies unavailable"
                message: library.unavailableText
            }
        }
    }
}

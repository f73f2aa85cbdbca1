import QtQuick
import QtQuick.Controls
import Orvella

// The kids' programme: its banner and number of videos at the head of the shared episode
// grid, placeholder cards while it loads, and "Open Quillory" and Retry when it cannot be
// shown. Behaviour lives in KidsZoneLibraryModel.
Item {
    id: page

    KidsZoneLibraryModel {
        id: library
        objectName: "kidsZoneLibraryModel"
        app: AppModel
    }

    Component.onCompleted: library.appear()
    Component.onDestruction: library.disappear()

    UniformEpisodeGrid {
        id: grid
        objectName: "kidsZoneGrid"
        anchors.fill: parent
        leftMargin: 28
        rightMargin: 28
        topMargin: 24
        bottomMargin: 24
        visible: library.showsList
        episodes: library.episodes
        columns: 4
        spacing: 16
        onSelected: row => library.openEpisode(row)

        // A header that grows or shrinks (the error line) moves the content's start; a view
        // the viewer has not scrolled keeps showing the top.
        property bool keepsTop: true
        onMovementEnded: keepsTop = contentY <= originY - topMargin + 1
        onOriginYChanged: if (keepsTop) contentY = originY - topMargin

        header: Column {
            width: grid.width - grid.leftMargin - grid.rightMargin
            spacing: 18
            bottomPadding: 18

            LibraryHeader {
                width: parent.width
                title: library.programTitle
                image: library.bannerImage
                countText: library.videosText
                errorText: library.errorText
            }
            EpisodeGridSkeleton {
                objectName: "kidsZoneSkeleton"
                width: parent.width
                visible: library.showsSkeleton
                columns: 4
                spacing: 16
            }
        }
    }

    Flickable {
        objectName: "kidsZoneStates"
        anchors.fill: parent
        visible: !library.showsList
        contentHeight: states.height + 48
        boundsBehavior: Flickable.StopAtBounds
        clip: true

        Item {
            id: states
            x: 28
            y: 24
            width: page.width - 56
            height: library.showsLoading ? loading.height : unavailable.implicitHeight

            Column {
                id: loading
                objectName: "kidsZoneLoading"
                width: parent.width
                visible: library.showsLoading
                spacing: 14

                BusySpinner {
                    anchors.horizontalCenter: parent.horizontalCenter
                    running: library.showsLoading
                    color: OrvellaTheme.gold
                    diameter: 24
                }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Opening Quillory…"
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textSecondary
                }
                EpisodeGridSkeleton {
                    width: parent.width
                    columns: 4
                    spacing: 16
                }
            }

            LibraryUnavailable {
                id: unavailable
                objectName: "kidsZoneUnavailable"
                anchors.fill: parent
                visible: library.showsError
                symbol: "person.2.fill"
                title: "Kids Zone unavailable"
                message: library.unavailableText

                GoldButtonStyle {
                    objectName: "openQuillory"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Open Quillory"
                    onClicked: library.openProgram()
                }
                BorderedButton {
                    objectName: "kidsZoneRetry"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "Retry"
                    onClicked: library.retry()
                }
            }
        }
    }
}

import QtQuick
import QtQuick.Layouts
import Orvella

// One programme: Back and Refresh over a scrolling column of the banner, the description, the
// error line, the episodes row and the episode grid (its placeholder while the first page
// loads). The banner and the rows scroll together. Behaviour lives in ProgramDetailModel.
Item {
    id: root

    property string programId

    ProgramDetailModel {
        id: screen
        objectName: "programDetailModel"
        app: AppModel
        programId: root.programId
    }

    Component.onCompleted: screen.appear()
    Component.onDestruction: screen.disappear()

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 28
            Layout.rightMargin: 28
            Layout.topMargin: 10
            Layout.bottomMargin: 6
            spacing: 12

            BorderedButton {
                objectName: "programBack"
                text: "Back"
                symbol: "chevron.left"
                onClicked: screen.goBack()
            }
            Item {
                Layout.fillWidth: true
            }
            BorderedButton {
                objectName: "programRefresh"
                text: "Refresh"
                symbol: "arrow.clockwise"
                enabled: !screen.loading
                onClicked: screen.refresh()
            }
        }

        UniformEpisodeGrid {
            id: grid
            objectName: "programEpisodes"
            Layout.fillWidth: true
            Layout.fillHeight: true
            episodes: screen.episodes
            columns: 4
            spacing: 16
            leftMargin: 28
            rightMargin: 28
            topMargin: 8
            bottomMargin: 28
            onSelected: row => screen.openEpisode(row)

            header: Column {
                width: grid.width - grid.leftMargin - grid.rightMargin
                spacing: 18
                bottomPadding: 18

                ProgramBanner {
                    width: parent.width
                    title: screen.bannerTitle
                    image: screen.bannerImage
                    countText: screen.episodeCountText
                }

                Text {
                    objectName: "programDescription"
                    x: 2
                    width: parent.width - 4
                    visible: screen.description !== ""
                    text: screen.description
                    textFormat: Text.PlainText
                    font: OrvellaTheme.font(13)
                    color: OrvellaTheme.textSecondary
                    wrapMode: Text.Wrap
                    maximumLineCount: 3
                    elide: Text.ElideRight
                }

                Text {
                    objectName: "programError"
                    width: parent.width
                    visible: screen.errorText !== ""
                    text: screen.errorText
                    textFormat: Text.PlainText
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.liveRed
                    wrapMode: Text.Wrap
                }

                RowLayout {
                    width: parent.width
                    spacing: 8

                    Text {
                        text: "Episodes"
                        font: OrvellaTheme.font(19, Font.DemiBold)
                        color: OrvellaTheme.goldLight
                    }
                    Item {
                        Layout.fillWidth: true
                    }
                    BusySpinner {
                        objectName: "programLoadingMore"
                        visible: screen.loadingMore
                        diameter: 14
                        color: OrvellaTheme.gold
                    }
                    Text {
                        objectName: "programVideos"
                        text: screen.videosText
                        font: OrvellaTheme.font(12, Font.Medium)
                        color: OrvellaTheme.textMuted
                    }
                }

                EpisodeGridSkeleton {
                    objectName: "programSkeleton"
                    width: parent.width
                    visible: screen.showsSkeleton
                    columns: 4
                    spacing: 16
                }
            }
        }
    }
}

import QtQuick
import Orvella

// "More from …": the video dimmed, and along the bottom a panel with a close button and a
// row of episode cards. A click on the dimmed video or the close button closes it; the panel
// itself eats clicks.
Item {
    id: overlay

    property string title
    property EpisodeListModel episodes
    signal select(int row)
    signal close

    Rectangle {
        objectName: "relatedBackdrop"
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.28)
        PictureTapLayer {
            anchors.fill: parent
            onTapped: overlay.close()
        }
    }

    Rectangle {
        objectName: "relatedPanel"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: column.implicitHeight + 28 + 22
        gradient: Gradient {
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 0.5; color: Qt.rgba(0, 0, 0, 0.55) }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.82) }
        }

        ClickShield {
            anchors.fill: parent
        }

        Column {
            id: column
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.leftMargin: 28
            anchors.rightMargin: 28
            anchors.topMargin: 28
            spacing: 12

            Item {
                width: parent.width
                height: Math.max(heading.implicitHeight, closeButton.implicitHeight)

                Text {
                    id: heading
                    objectName: "relatedHeading"
                    anchors.left: parent.left
                    anchors.right: closeButton.left
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: overlay.title
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    color: OrvellaTheme.goldLight
                    font: OrvellaTheme.font(18, Font.Bold)
                }
                PlainButton {
                    id: closeButton
                    objectName: "relatedClose"
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    focusPolicy: Qt.NoFocus
                    contentItem: SymbolIcon {
                        symbol: "xmark.circle.fill"
                        size: OrvellaTheme.bodySize
                        color: Qt.rgba(1, 1, 1, 0.85)
                    }
                    onClicked: overlay.close()
                }
            }

            ListView {
                objectName: "relatedRow"
                width: parent.width
                height: 118 + 7 + 32
                orientation: ListView.Horizontal
                spacing: 14
                clip: true
                boundsBehavior: Flickable.StopAtBounds
                model: overlay.episodes
                delegate: PlainButton {
                    id: card
                    required property int index
                    required property string displayTitle
                    required property string image
                    focusPolicy: Qt.NoFocus
                    HoverHandler {
                        cursorShape: Qt.PointingHandCursor
                    }
                    contentItem: Column {
                        spacing: 7
                        RemoteImage {
                            width: 210
                            height: 118
                            clip: true
                            url: card.image
                            cornerRadius: 9
                            targetPixelSize: 440
                        }
                        Text {
                            width: 210
                            height: Math.max(32, implicitHeight)
                            text: card.displayTitle
                            textFormat: Text.PlainText
                            color: "white"
                            font: OrvellaTheme.font(12, Font.DemiBold)
                            wrapMode: Text.Wrap
                            maximumLineCount: 2
                            elide: Text.ElideRight
                            verticalAlignment: Text.AlignTop
                        }
                    }
                    onClicked: overlay.select(index)
                }
            }
        }
    }
}

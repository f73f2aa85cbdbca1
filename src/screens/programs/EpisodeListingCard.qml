import QtQuick
import Orvella

// One episode card: the 16:9 thumbnail with its duration badge, a two-line title box of fixed
// height and the programme line, which keeps its height when empty, so all cards of a row line
// up. The whole rectangle takes clicks.
PlainButton {
    id: card

    property string episodeId
    property string displayTitle
    property string image
    property string badgeText
    property string programTitle

    readonly property real thumbnailHeight: width * 9 / 16

    implicitWidth: 240
    implicitHeight: thumbnailHeight + 8 + 36 + 8 + 14

    contentItem: Column {
        spacing: 8

        Item {
            width: card.width
            height: card.thumbnailHeight

            RemoteImage {
                anchors.fill: parent
                url: card.image
                cornerRadius: 10
                targetPixelSize: 200
            }

            Rectangle {
                objectName: "durationBadge"
                visible: card.badgeText !== ""
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 7
                width: badge.implicitWidth + 12
                height: badge.implicitHeight + 8
                radius: 5
                color: Qt.rgba(0, 0, 0, 0.78)

                Text {
                    id: badge
                    anchors.centerIn: parent
                    text: card.badgeText
                    textFormat: Text.PlainText
                    color: "white"
                    font.family: OrvellaTheme.monoFamily
                    font.pixelSize: 10
                    font.weight: Font.DemiBold
                }
            }
        }

        Text {
            width: card.width
            height: 36
            text: card.displayTitle
            textFormat: Text.PlainText
            color: "white"
            font.pixelSize: 13
            font.weight: Font.DemiBold
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignTop
        }

        Text {
            width: card.width
            height: 14
            text: card.programTitle === "" ? " " : card.programTitle
            textFormat: Text.PlainText
            opacity: card.programTitle === "" ? 0 : 1
            color: OrvellaTheme.textMuted
            font.pixelSize: 11
            maximumLineCount: 1
            elide: Text.ElideRight
        }
    }
}

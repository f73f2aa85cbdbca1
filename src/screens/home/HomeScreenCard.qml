import QtQuick
import Orvella

// One card of a home rail: the picture with the progress bar of a started episode, the title
// on up to two lines and, when there is one, the programme's title.
PlainButton {
    id: card

    required property string title
    required property string image
    required property string programTitle
    required property bool hasProgress
    required property real progress
    property int pixelSize: 200

    readonly property real cardWidth: 210

    contentItem: Column {
        spacing: 8

        Item {
            width: card.cardWidth
            height: 118

            RemoteImage {
                objectName: "homeCardPicture"
                anchors.fill: parent
                url: card.image
                cornerRadius: 10
                targetPixelSize: card.pixelSize
            }
            Rectangle {
                objectName: "homeCardProgress"
                anchors.left: parent.left
                anchors.bottom: parent.bottom
                visible: card.hasProgress
                width: parent.width * card.progress
                height: 3
                radius: 1.5
                color: OrvellaTheme.gold
            }
        }
        Text {
            width: card.cardWidth
            text: card.title
            textFormat: Text.PlainText
            color: "white"
            font: OrvellaTheme.font(13, Font.DemiBold)
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }
        Text {
            width: card.cardWidth
            visible: card.programTitle !== ""
            text: card.programTitle
            textFormat: Text.PlainText
            color: OrvellaTheme.textMuted
            font: OrvellaTheme.font(11)
            elide: Text.ElideRight
        }
    }
}

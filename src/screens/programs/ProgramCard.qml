import QtQuick
import Orvella

// One programme card: the 16:9 picture with the documentary capsule over its top-left corner,
// a title of at least two lines' height and the episode count. The whole rectangle takes
// clicks.
PlainButton {
    id: card

    property string title
    property string image
    property bool documentary
    property string countText

    implicitWidth: 240

    contentItem: Column {
        spacing: 9

        Item {
            width: card.width
            height: width * 9 / 16

            RemoteImage {
                anchors.fill: parent
                url: card.image
                cornerRadius: 11
                targetPixelSize: 420
            }

            Rectangle {
                objectName: "documentaryBadge"
                visible: card.documentary
                x: 8
                y: 8
                width: badge.implicitWidth + 14
                height: badge.implicitHeight + 8
                radius: height / 2
                color: OrvellaTheme.gold

                Text {
                    id: badge
                    anchors.centerIn: parent
                    text: "DOCUMENTARY"
                    font: OrvellaTheme.font(9, Font.Bold)
                    color: "black"
                }
            }
        }

        Text {
            width: card.width
            height: Math.max(34, implicitHeight)
            text: card.title
            textFormat: Text.PlainText
            color: "white"
            font: OrvellaTheme.font(14, Font.DemiBold)
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
            verticalAlignment: Text.AlignTop
        }

        Text {
            visible: card.countText !== ""
            text: card.countText
            textFormat: Text.PlainText
            font: OrvellaTheme.font(OrvellaTheme.captionSize)
            color: OrvellaTheme.textMuted
        }
    }
}

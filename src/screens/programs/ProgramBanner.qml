import QtQuick
import Orvella

// A programme's banner: its picture under a darkening gradient, the title and the episode count
// at the bottom-left, all within rounded corners.
Item {
    id: banner

    property string title
    property string image
    property string countText

    height: 168

    RemoteImage {
        anchors.fill: parent
        url: banner.image
        cornerRadius: 12
        targetPixelSize: 900
    }

    // Smooth rounded corners on every scene graph.
    RoundedFill {
        anchors.fill: parent
        radius: 12
        fromColor: "transparent"
        toColor: Qt.rgba(0, 0, 0, 0.88)
    }

    Column {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 18
        spacing: 4

        Text {
            objectName: "bannerTitle"
            width: parent.width
            text: banner.title
            textFormat: Text.PlainText
            font: OrvellaTheme.serifFont(27, Font.Bold)
            color: "white"
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }
        Text {
            visible: banner.countText !== ""
            text: banner.countText
            textFormat: Text.PlainText
            font: OrvellaTheme.font(12, Font.Medium)
            color: OrvellaTheme.goldLight
        }
    }
}

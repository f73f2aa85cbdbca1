import QtQuick
import Orvella

// Shown while the episode's player is not ready: its picture faintly, a gold spinner and the
// player's status. It takes no clicks, so the layers beneath receive them.
Item {
    id: panel

    property string image
    property string status

    RemoteImage {
        anchors.fill: parent
        visible: panel.image !== ""
        url: panel.image
        targetPixelSize: 720
        opacity: 0.45
    }

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.35)
    }

    Column {
        anchors.centerIn: parent
        spacing: 14

        BusySpinner {
            anchors.horizontalCenter: parent.horizontalCenter
            diameter: 36
            color: OrvellaTheme.gold
        }
        Text {
            objectName: "episodeStatus"
            anchors.horizontalCenter: parent.horizontalCenter
            text: panel.status
            textFormat: Text.PlainText
            color: "white"
            font: OrvellaTheme.font(14, Font.DemiBold)
        }
    }
}

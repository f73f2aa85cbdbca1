import QtQuick
import Orvella

// Shown when the episode cannot start: its picture dimmed, the message in red, "Back" and
// "Refresh". It eats clicks.
Item {
    id: panel

    property string image
    property string message
    signal back
    signal refresh

    ClickShield {
        anchors.fill: parent
    }

    RemoteImage {
        anchors.fill: parent
        url: panel.image
        targetPixelSize: 900
    }

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.5)
    }

    Column {
        anchors.centerIn: parent
        width: Math.min(420, panel.width)
        spacing: 14

        Text {
            objectName: "episodeErrorText"
            width: parent.width
            text: panel.message === "" ? "Episode unavailable" : panel.message
            textFormat: Text.PlainText
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            color: OrvellaTheme.liveRed
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
        }
        Row {
            anchors.horizontalCenter: parent.horizontalCenter
            spacing: 12

            BorderedButton {
                objectName: "episodeErrorBack"
                anchors.verticalCenter: parent.verticalCenter
                text: "Back"
                onClicked: panel.back()
            }
            GoldButtonStyle {
                objectName: "episodeErrorRefresh"
                anchors.verticalCenter: parent.verticalCenter
                text: "Refresh"
                onClicked: panel.refresh()
            }
        }
    }
}

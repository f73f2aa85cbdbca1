import QtQuick
import Orvella

// The countdown to the next episode, 36 from the right and 72 above the bottom: its picture,
// "PLAYING NEXT", its title, the seconds left and "Stop".
Item {
    id: area

    property string title
    property string image
    property string countdownText
    signal stop

    Rectangle {
        objectName: "playingNextCard"
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: 36
        anchors.bottomMargin: 72
        width: Math.min(420, row.implicitWidth + 28)
        height: row.implicitHeight + 28
        radius: 14
        color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.96)
        border.width: 0.5
        border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)

        ClickShield {
            anchors.fill: parent
        }

        Row {
            id: row
            anchors.centerIn: parent
            spacing: 14

            RemoteImage {
                anchors.verticalCenter: parent.verticalCenter
                width: 148
                height: 83
                url: area.image
                cornerRadius: 10
                targetPixelSize: 360
            }

            Column {
                id: texts
                anchors.verticalCenter: parent.verticalCenter
                // Up to what the 420 card leaves beside the picture.
                width: Math.min(Math.max(titleText.implicitWidth, stopButton.implicitWidth,
                                         countdown.implicitWidth, heading.implicitWidth),
                                420 - 28 - 148 - 14)
                spacing: 5

                Text {
                    id: heading
                    text: "PLAYING NEXT"
                    color: OrvellaTheme.goldLight
                    font: OrvellaTheme.font(10, Font.Bold)
                }
                Text {
                    id: titleText
                    objectName: "playingNextTitle"
                    width: parent.width
                    text: area.title
                    textFormat: Text.PlainText
                    color: "white"
                    font: OrvellaTheme.font(14, Font.DemiBold)
                    wrapMode: Text.Wrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                }
                Text {
                    id: countdown
                    objectName: "playingNextCountdown"
                    text: area.countdownText
                    color: OrvellaTheme.textSecondary
                    font: OrvellaTheme.font(11)
                }
                BorderedButton {
                    id: stopButton
                    objectName: "playingNextStop"
                    text: "Stop"
                    focusPolicy: Qt.NoFocus
                    onClicked: area.stop()
                }
            }
        }
    }
}

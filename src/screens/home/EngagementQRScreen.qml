import QtQuick
import Orvella

// Placeholder until the screen is built: its title and subtitle.
Rectangle {
    id: screen

    property string title
    property string subtitle
    property url url

    color: OrvellaTheme.canvas

    Column {
        anchors.centerIn: parent
        spacing: 10
        Text {
            objectName: "placeholderTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            text: screen.title
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.displayFont
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: screen.subtitle
            color: OrvellaTheme.textSecondary
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
        }
    }
}

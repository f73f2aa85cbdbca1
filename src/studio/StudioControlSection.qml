import QtQuick
import Orvella

// One titled section of the studio controls panel.
Column {
    id: section

    required property string title
    required property string icon
    default property alias content: body.data

    spacing: 10

    Row {
        spacing: 6
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            symbol: section.icon
            size: 12
            color: OrvellaTheme.goldLight
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: section.title
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.font(12, Font.Bold)
        }
    }

    Column {
        id: body
        width: parent.width
        spacing: 10
    }
}

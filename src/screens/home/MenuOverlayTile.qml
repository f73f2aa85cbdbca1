import QtQuick
import Orvella

// One destination of the menu: the route's symbol above its title on a navy tile.
PlainButton {
    id: tile

    property string title
    property string symbol

    implicitHeight: Math.max(88, label.implicitHeight + 24)

    background: Rectangle {
        radius: 12
        color: Qt.rgba(OrvellaTheme.navyDeep.r, OrvellaTheme.navyDeep.g, OrvellaTheme.navyDeep.b, 0.95)
        border.width: 1
        border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)
    }

    contentItem: Item {
        Column {
            id: label
            anchors.centerIn: parent
            width: parent.width
            spacing: 10

            SymbolIcon {
                anchors.horizontalCenter: parent.horizontalCenter
                symbol: tile.symbol
                size: 22
                color: OrvellaTheme.gold
            }
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: tile.title
                textFormat: Text.PlainText
                color: "white"
                font: OrvellaTheme.font(12, Font.DemiBold)
                wrapMode: Text.Wrap
            }
        }
    }
}

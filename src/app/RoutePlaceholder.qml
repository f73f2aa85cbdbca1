import QtQuick
import Orvella

// The stand-in of a screen that is not built yet: the route's symbol and title, centred.
Rectangle {
    id: placeholder

    property int route: MacRoute.Home

    color: OrvellaTheme.canvas

    Column {
        anchors.centerIn: parent
        spacing: 12

        SymbolIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: RouteTable.systemImage(placeholder.route)
            size: 34
            color: OrvellaTheme.gold
        }
        Text {
            objectName: "placeholderTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            text: RouteTable.title(placeholder.route)
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.displayFont
        }
    }
}

import QtQuick
import Orvella

// Placeholder until the menu overlay is built: a dimmed cover with the title and a close
// button.
Rectangle {
    color: Qt.rgba(0, 0, 0, 0.82)

    MouseArea {
        anchors.fill: parent
    }

    RoutePlaceholder {
        anchors.centerIn: parent
        width: 360
        height: 200
        radius: 14
        color: OrvellaTheme.navyDeep
        route: MacRoute.Menu
    }

    PlainButton {
        objectName: "closeMenu"
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: 24
        onClicked: AppModel.menuPresented = false
        contentItem: SymbolIcon {
            symbol: "xmark.circle.fill"
            size: OrvellaTheme.title2Size
            color: OrvellaTheme.textSecondary
        }
    }
}

import QtQuick
import Orvella

// A round symbol button of the episode chrome: large and white for play and pause, else small
// on a faint circle that turns gold while its toggle is on.
PlainButton {
    id: button

    property string symbol
    property bool primary: false
    property bool active: false

    focusPolicy: Qt.NoFocus

    contentItem: Rectangle {
        implicitWidth: button.primary ? 52 : 44
        implicitHeight: implicitWidth
        radius: width / 2
        color: button.primary ? "white"
                              : button.active ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)
                                              : Qt.rgba(1, 1, 1, 0.14)

        SymbolIcon {
            anchors.centerIn: parent
            symbol: button.symbol
            size: button.primary ? 21 : 17
            font.weight: Font.Bold
            color: button.primary ? "black" : "white"
        }
    }
}

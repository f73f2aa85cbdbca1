import QtQuick
import Orvella

// One square button of the live control row: a text glyph on a rounded tile, gold-tinted
// while active.
Rectangle {
    id: button

    property string label
    property bool active: false
    signal clicked

    readonly property bool isCaptions: label === "CC"

    implicitWidth: 32
    implicitHeight: 32
    radius: 8
    color: active ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.2)
                  : Qt.rgba(1, 1, 1, 0.08)
    border.width: 1
    border.color: active ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.45)
                         : Qt.rgba(1, 1, 1, 0.12)
    clip: true

    Text {
        anchors.centerIn: parent
        text: button.label
        color: button.active && button.isCaptions ? OrvellaTheme.gold : "white"
        font: OrvellaTheme.font(button.isCaptions ? 10 : 13, button.isCaptions ? Font.Black : Font.Bold)
    }

    TapHandler {
        onTapped: button.clicked()
    }
}

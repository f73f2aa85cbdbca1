import QtQuick
import QtQuick.Templates as T
import Orvella

// The secondary button: a faint fill with a thin border, an optional symbol before the title.
T.Button {
    id: control

    property string symbol

    implicitWidth: Math.max(implicitBackgroundWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight, implicitContentHeight + topPadding + bottomPadding)
    leftPadding: 11
    rightPadding: 11
    topPadding: 6
    bottomPadding: 6
    spacing: 5
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.4

    font: OrvellaTheme.font(12, Font.Medium)

    contentItem: Row {
        spacing: control.spacing

        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: control.symbol !== ""
            symbol: control.symbol
            size: control.font.pixelSize
            color: "white"
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: control.text
            font: control.font
            color: "white"
            elide: Text.ElideRight
        }
    }

    background: Rectangle {
        implicitHeight: 26
        radius: 6
        color: Qt.rgba(1, 1, 1, control.down ? 0.22 : (control.hovered ? 0.16 : 0.11))
        border.width: 1
        border.color: Qt.rgba(1, 1, 1, 0.18)
    }
}

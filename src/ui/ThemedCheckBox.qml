import QtQuick
import QtQuick.Templates as T
import Orvella

// A check box on the dark theme: a small rounded square, gold with a black tick when checked,
// and its text in white beside it.
T.CheckBox {
    id: control

    implicitWidth: Math.max(implicitBackgroundWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitContentHeight, implicitIndicatorHeight) + topPadding + bottomPadding
    padding: 4
    spacing: 8
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.4
    font: OrvellaTheme.font(12)

    indicator: Rectangle {
        x: control.leftPadding
        y: (control.height - height) / 2
        implicitWidth: 16
        implicitHeight: 16
        radius: 4
        color: control.checked ? OrvellaTheme.gold : Qt.rgba(0, 0, 0, 0.35)
        border.width: control.visualFocus ? 2 : 1
        border.color: control.visualFocus ? OrvellaTheme.goldLight
            : (control.checked ? OrvellaTheme.gold : Qt.rgba(1, 1, 1, 0.3))

        SymbolIcon {
            anchors.centerIn: parent
            visible: control.checked
            symbol: "checkmark"
            size: 10
            color: "black"
        }
    }

    contentItem: Text {
        leftPadding: control.indicator.width + control.spacing
        text: control.text
        font: control.font
        color: OrvellaTheme.textPrimary
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}

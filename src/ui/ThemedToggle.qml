import QtQuick
import QtQuick.Templates as T
import Orvella

// An on/off switch with its label before it, filling the width it is given: the label at the
// leading edge, the switch at the trailing edge, as a preference row.
T.Switch {
    id: control

    implicitWidth: Math.max(implicitBackgroundWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitContentHeight, implicitIndicatorHeight) + topPadding + bottomPadding
    padding: 2
    spacing: 12
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.45
    font: OrvellaTheme.font(13)

    indicator: Rectangle {
        x: control.width - width - control.rightPadding
        y: (control.height - height) / 2
        implicitWidth: 38
        implicitHeight: 22
        radius: height / 2
        color: control.checked ? OrvellaTheme.gold : Qt.rgba(1, 1, 1, 0.16)
        border.width: control.visualFocus ? 2 : 0
        border.color: OrvellaTheme.goldLight

        Rectangle {
            width: parent.height - 4
            height: width
            radius: width / 2
            y: 2
            x: control.checked ? parent.width - width - 2 : 2
            color: "white"
            Behavior on x {
                NumberAnimation { duration: 120 }
            }
        }
    }

    contentItem: Text {
        rightPadding: control.indicator.width + control.spacing
        text: control.text
        font: control.font
        color: OrvellaTheme.textPrimary
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        textFormat: Text.PlainText
    }
}

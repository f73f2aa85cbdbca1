import QtQuick
import QtQuick.Templates as T

// A button with no border, background or highlight of its own: its label is its look. The
// label dims while pressed.
T.AbstractButton {
    id: control

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    padding: 0
    hoverEnabled: true
    focusPolicy: Qt.TabFocus
    opacity: down ? 0.6 : 1
}

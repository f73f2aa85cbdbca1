import QtQuick
import QtQuick.Templates as T
import Orvella

// A text link: sky-blue text, underlined while hovered or focused. What it opens is the
// owner's business (`onClicked`).
T.AbstractButton {
    id: control

    implicitWidth: implicitContentWidth + leftPadding + rightPadding
    implicitHeight: implicitContentHeight + topPadding + bottomPadding
    padding: 2
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: !enabled ? 0.45 : (down ? 0.7 : 1)
    font: OrvellaTheme.font(13)

    contentItem: Text {
        text: control.text
        font.family: control.font.family
        font.pixelSize: control.font.pixelSize
        font.weight: control.font.weight
        font.underline: control.hovered || control.visualFocus
        color: OrvellaTheme.sky
        elide: Text.ElideRight
        textFormat: Text.PlainText
    }

    Keys.onReturnPressed: control.clicked()
    Keys.onEnterPressed: control.clicked()
}

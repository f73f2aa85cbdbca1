import QtQuick
import QtQuick.Templates as T
import Orvella

// A one-line text field on the dark theme. `roundedBorder` draws a framed field with rounded
// corners; without it the field is plain, a faint line under the text. Bind `text` to the model
// and write back from `onTextEdited`, so that only what the viewer types is written and a value
// the model changes meanwhile is shown as it is.
T.TextField {
    id: control

    property bool roundedBorder: true

    implicitWidth: Math.max(implicitBackgroundWidth + leftInset + rightInset, 160)
    implicitHeight: Math.max(implicitBackgroundHeight + topInset + bottomInset,
        contentHeight + topPadding + bottomPadding)
    leftPadding: roundedBorder ? 8 : 2
    rightPadding: roundedBorder ? 8 : 2
    topPadding: 6
    bottomPadding: 6
    hoverEnabled: true
    activeFocusOnTab: true
    opacity: enabled ? 1 : 0.45
    selectByMouse: true

    font: OrvellaTheme.font(13)
    color: OrvellaTheme.textPrimary
    placeholderTextColor: OrvellaTheme.textMuted
    selectionColor: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.45)
    selectedTextColor: "white"
    verticalAlignment: TextInput.AlignVCenter

    Text {
        x: control.leftPadding
        y: control.topPadding
        width: control.width - control.leftPadding - control.rightPadding
        height: control.height - control.topPadding - control.bottomPadding
        visible: control.text.length === 0 && control.preeditText.length === 0
        text: control.placeholderText
        font: control.font
        color: control.placeholderTextColor
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
        textFormat: Text.PlainText
    }

    background: Rectangle {
        implicitHeight: 28
        radius: control.roundedBorder ? 6 : 0
        color: control.roundedBorder ? Qt.rgba(1, 1, 1, 0.07) : "transparent"
        border.width: control.roundedBorder ? (control.activeFocus ? 2 : 1) : 0
        border.color: control.activeFocus ? OrvellaTheme.gold : OrvellaTheme.glassBorder

        Rectangle {
            visible: !control.roundedBorder
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            height: control.activeFocus ? 2 : 1
            color: control.activeFocus ? OrvellaTheme.gold : OrvellaTheme.glassBorder
        }
    }
}

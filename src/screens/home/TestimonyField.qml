import QtQuick
import Orvella

// One input of the testimony form: a gold symbol and a borderless one-line field, whose
// placeholder is the title, on a dark rounded panel. Only typing writes back (`edited`).
Rectangle {
    id: field

    property string title
    property string symbol
    property string value
    signal edited(string text)

    implicitHeight: 42
    implicitWidth: 200
    radius: 10
    color: Qt.rgba(0, 0, 0, 0.22)
    border.width: 1
    border.color: OrvellaTheme.glassBorder

    SymbolIcon {
        id: icon
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        symbol: field.symbol
        size: OrvellaTheme.bodySize
        color: OrvellaTheme.gold
    }
    ThemedTextField {
        objectName: "testimonyField-" + field.title
        anchors.left: icon.right
        anchors.leftMargin: 8
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        implicitWidth: 0
        roundedBorder: false
        background: null
        leftPadding: 0
        rightPadding: 0
        color: "white"
        placeholderText: field.title
        text: field.value
        onTextEdited: field.edited(text)
    }
}

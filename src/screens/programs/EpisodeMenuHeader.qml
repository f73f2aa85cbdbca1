import QtQuick
import Orvella

// The header of the episode chrome's menus: the title and a close button, in white.
Item {
    id: header

    property string title
    signal dismiss

    implicitHeight: Math.max(label.implicitHeight, close.implicitHeight) + 2

    Text {
        id: label
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        anchors.verticalCenterOffset: -1
        text: header.title
        color: "white"
        font: OrvellaTheme.font(11, Font.Bold)
    }

    PlainButton {
        id: close
        objectName: "menuClose"
        anchors.right: parent.right
        anchors.verticalCenter: label.verticalCenter
        focusPolicy: Qt.NoFocus
        contentItem: SymbolIcon {
            symbol: "xmark"
            size: 10
            font.weight: Font.Bold
            color: "white"
        }
        onClicked: header.dismiss()
    }
}

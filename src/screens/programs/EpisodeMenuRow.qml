import QtQuick
import Orvella

// One row of the episode chrome's menus: the chosen row carries "● ", bold gold text and a
// faint gold fill.
PlainButton {
    id: row

    property bool chosen: false

    focusPolicy: Qt.NoFocus

    contentItem: Rectangle {
        implicitWidth: label.implicitWidth + 16
        implicitHeight: label.implicitHeight + 12
        radius: 6
        color: row.chosen ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.18)
                          : "transparent"

        Text {
            id: label
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: 8
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            text: (row.chosen ? "● " : "") + row.text
            textFormat: Text.PlainText
            elide: Text.ElideRight
            color: row.chosen ? OrvellaTheme.gold : "white"
            font: OrvellaTheme.font(11, row.chosen ? Font.Bold : Font.Medium)
        }
    }
}

import QtQuick
import Orvella

// The repeat picker: the three modes, the current one chosen. It reports a row or a close and
// changes nothing itself.
Rectangle {
    id: menu

    property int selected
    property var rows: []
    signal select(int mode)
    signal dismiss

    width: 168
    height: column.implicitHeight + 12
    radius: 10
    color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.94)
    // The clip cuts the outer half of the stroke: a half-width line inside the edge.
    border.width: 0.5
    border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)

    ClickShield {
        anchors.fill: parent
    }

    Column {
        id: column
        anchors.fill: parent
        anchors.margins: 6
        spacing: 2

        EpisodeMenuHeader {
            width: parent.width
            title: "Repeat"
            onDismiss: menu.dismiss()
        }

        Repeater {
            model: menu.rows
            EpisodeMenuRow {
                required property var modelData
                width: column.width
                text: modelData.text
                chosen: modelData.value === menu.selected
                onClicked: menu.select(modelData.value)
            }
        }
    }
}

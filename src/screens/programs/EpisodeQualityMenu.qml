import QtQuick
import QtQuick.Controls
import Orvella

// The stream-quality picker: every quality by its id in a list that scrolls within a fixed
// 168 × 280 panel. It reports a row or a close and changes nothing itself.
Item {
    id: menu

    property string selected
    property var rows: []
    signal select(string id)
    signal dismiss

    width: 168
    height: 280

    ClickShield {
        anchors.fill: panel
    }

    // The shadow: black at 45 %, 14 soft, 6 down.
    Rectangle {
        anchors.fill: panel
        anchors.margins: -4
        anchors.topMargin: 2
        anchors.bottomMargin: -10
        radius: 14
        color: Qt.rgba(0, 0, 0, 0.22)
    }
    Rectangle {
        anchors.fill: panel
        anchors.topMargin: 6
        anchors.bottomMargin: -6
        radius: 10
        color: Qt.rgba(0, 0, 0, 0.3)
    }

    Rectangle {
        id: panel
        anchors.fill: parent
        radius: 10
        color: Qt.rgba(0.04, 0.07, 0.15, 0.96)
        border.width: 1
        border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.3)
        clip: true

        Column {
            anchors.fill: parent
            anchors.margins: 6
            spacing: 2

            EpisodeMenuHeader {
                id: header
                width: parent.width
                title: "Stream quality"
                onDismiss: menu.dismiss()
            }

            ListView {
                objectName: "qualityList"
                width: parent.width
                height: parent.height - header.height - parent.spacing
                clip: true
                spacing: 2
                boundsBehavior: Flickable.StopAtBounds
                model: menu.rows
                ScrollBar.vertical: ScrollBar { policy: ScrollBar.AlwaysOn }
                delegate: EpisodeMenuRow {
                    required property var modelData
                    width: ListView.view.width - 8
                    text: modelData.text
                    chosen: modelData.value === menu.selected
                    onClicked: menu.select(modelData.value)
                }
            }
        }
    }
}

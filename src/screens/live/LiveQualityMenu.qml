import QtQuick
import QtQuick.Controls
import Orvella

// The floating list of stream qualities; the chosen row carries "● ". It reports a choice or a
// close and changes nothing itself.
Item {
    id: menu

    property string selected
    signal select(string id)
    signal dismiss

    width: 168
    height: 280

    ClickShield {
        anchors.fill: panel
    }

    Rectangle {
        id: shadow
        anchors.fill: panel
        anchors.topMargin: 6
        anchors.bottomMargin: -6
        radius: 10
        color: Qt.rgba(0, 0, 0, 0.45)
        opacity: 0.6
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

            Item {
                width: parent.width
                height: Math.max(title.implicitHeight, 14) + 2
                Text {
                    id: title
                    text: "Stream quality"
                    color: "white"
                    font: OrvellaTheme.font(11, Font.Bold)
                }
                SymbolIcon {
                    objectName: "liveQualityClose"
                    anchors.right: parent.right
                    symbol: "xmark"
                    size: 10
                    color: "white"
                    TapHandler {
                        onTapped: menu.dismiss()
                    }
                }
            }

            ListView {
                objectName: "liveQualityList"
                width: parent.width
                height: parent.height - y
                clip: true
                spacing: 2
                model: AppModel.settings.qualityOptions
                ScrollBar.vertical: ScrollBar { policy: ScrollBar.AlwaysOn }
                delegate: Rectangle {
                    required property var modelData
                    readonly property bool chosen: modelData.id === menu.selected
                    width: ListView.view.width - 8
                    height: rowText.implicitHeight + 12
                    radius: 6
                    color: chosen ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.18)
                                  : "transparent"
                    Text {
                        id: rowText
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.leftMargin: 8
                        anchors.rightMargin: 8
                        anchors.verticalCenter: parent.verticalCenter
                        text: (parent.chosen ? "● " : "") + parent.modelData.label
                        color: parent.chosen ? OrvellaTheme.gold : "white"
                        font: OrvellaTheme.font(11, parent.chosen ? Font.Bold : Font.Medium)
                    }
                    TapHandler {
                        onTapped: menu.select(parent.modelData.id)
                    }
                }
            }
        }
    }
}

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Orvella

// The settings editor: the sections in a fixed sidebar, the selected section's rows as
// separate cards, the save message and "Save Changes". Behaviour lives in SettingsScreenModel;
// the rows edit the app model's settings directly.
Item {
    id: root

    SettingsScreenModel {
        id: screen
        objectName: "settingsScreenModel"
        app: AppModel
    }

    Component.onCompleted: screen.appear()
    Component.onDestruction: screen.disappear()

    RowLayout {
        anchors.fill: parent
        spacing: 0

        // Sidebar.
        Rectangle {
            Layout.fillHeight: true
            Layout.preferredWidth: 240
            color: OrvellaTheme.navy

            ColumnLayout {
                anchors.fill: parent
                spacing: 0

                Text {
                    Layout.leftMargin: 18
                    Layout.rightMargin: 18
                    Layout.topMargin: 20
                    Layout.bottomMargin: 12
                    text: "Settings"
                    font: OrvellaTheme.font(22, Font.Bold)
                    color: OrvellaTheme.goldLight
                }

                ScrollView {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    contentWidth: availableWidth

                    Column {
                        x: 12
                        width: parent.width - 24
                        spacing: 6

                        Repeater {
                            model: screen.sections

                            PlainButton {
                                id: row
                                required property var modelData
                                readonly property bool selected: modelData.id === screen.section

                                objectName: "settingsSection-" + modelData.id
                                width: parent.width
                                focusPolicy: Qt.StrongFocus
                                onClicked: screen.selectSection(modelData.id)

                                contentItem: RowLayout {
                                    spacing: 8
                                    SymbolIcon {
                                        Layout.preferredWidth: 18
                                        symbol: row.modelData.symbol
                                        size: 13
                                        color: row.selected ? OrvellaTheme.goldLight : OrvellaTheme.textPrimary
                                    }
                                    Text {
                                        Layout.fillWidth: true
                                        text: row.modelData.title
                                        font: OrvellaTheme.font(13, row.selected ? Font.DemiBold : Font.Normal)
                                        color: row.selected ? OrvellaTheme.goldLight : OrvellaTheme.textPrimary
                                    }
                                }
                                leftPadding: 14
                                rightPadding: 14
                                topPadding: 10
                                bottomPadding: 10
                                background: Rectangle {
                                    radius: 10
                                    color: row.selected
                                        ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.14)
                                        : "transparent"
                                    border.width: row.visualFocus ? 1 : 0
                                    border.color: OrvellaTheme.gold
                                }
                            }
                        }
                    }
                }
            }
        }

        // Detail.
        ScrollView {
            id: detail
            objectName: "settingsDetail"
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: availableWidth
            contentHeight: detailColumn.implicitHeight + 56

            ColumnLayout {
                id: detailColumn
                x: 28
                y: 28
                width: Math.min(760, detail.availableWidth) - 56
                spacing: 16

                Text {
                    objectName: "settingsSectionTitle"
                    text: screen.sectionTitle
                    font: OrvellaTheme.serifFont(24, Font.Bold)
                    color: OrvellaTheme.goldLight
                }

                SettingsSectionRows {
                    Layout.fillWidth: true
                    screen: screen
                }

                Text {
                    objectName: "settingsSaveMessage"
                    visible: screen.hasSaveMessage
                    text: screen.saveMessage
                    textFormat: Text.PlainText
                    font: OrvellaTheme.font(12, Font.Medium)
                    color: screen.saveFailed ? OrvellaTheme.liveRed : OrvellaTheme.goldLight
                }

                GoldButtonStyle {
                    objectName: "settingsSave"
                    text: "Save Changes"
                    onClicked: screen.save()
                }
            }
        }
    }
}

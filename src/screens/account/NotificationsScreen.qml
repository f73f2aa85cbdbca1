import QtQuick
import QtQuick.Layouts
import Orvella

// The notes with their filter and buttons, and the calendar card of an active event.
// Behaviour lives in NotificationsScreenModel.
Item {
    id: root

    NotificationsScreenModel {
        id: screen
        objectName: "notificationsScreenModel"
        app: AppModel
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        Text {
            text: "Notifications & Calendar"
            font: OrvellaTheme.font(OrvellaTheme.title2Size, Font.Bold)
            color: OrvellaTheme.goldLight
        }

        SegmentedControl {
            objectName: "notificationsFilter"
            Layout.preferredWidth: Math.max(360, implicitWidth)
            Layout.maximumWidth: 360
            segments: screen.filters
            current: screen.filter
            onPicked: value => screen.filter = value
        }

        Repeater {
            model: screen.noteRows

            GlassCard {
                id: note
                required property var modelData

                objectName: "note-" + modelData.type
                Layout.fillWidth: true
                implicitHeight: Math.max(texts.implicitHeight, action.visible ? action.implicitHeight : 0) + 2 * padding

                RowLayout {
                    width: parent.width
                    height: parent.height
                    spacing: 12

                    ColumnLayout {
                        id: texts
                        Layout.fillWidth: true
                        spacing: 6
                        Text {
                            Layout.fillWidth: true
                            text: note.modelData.title
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(OrvellaTheme.headlineSize, Font.DemiBold)
                            color: "white"
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.fillWidth: true
                            text: note.modelData.body
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(OrvellaTheme.bodySize)
                            color: OrvellaTheme.textSecondary
                            wrapMode: Text.Wrap
                            maximumLineCount: 3
                            elide: Text.ElideRight
                        }
                    }
                    GoldButtonStyle {
                        id: action
                        objectName: "noteAction-" + note.modelData.type
                        visible: note.modelData.action !== ""
                        text: note.modelData.action
                        onClicked: screen.act(note.modelData.type)
                    }
                }
            }
        }

        GlassCard {
            objectName: "calendarCard"
            visible: screen.showsCalendar
            Layout.fillWidth: true

            Column {
                width: parent.width
                spacing: 4
                Text {
                    text: "Calendar"
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.gold
                }
                Text {
                    width: parent.width
                    text: screen.calendarTitle
                    textFormat: Text.PlainText
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: "white"
                    elide: Text.ElideRight
                }
            }
        }

        Item {
            Layout.fillHeight: true
        }
    }
}

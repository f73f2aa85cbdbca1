import QtQuick
import QtQuick.Layouts
import Orvella

// The row under the stage: the clock, the controls of the current state and Reset.
Rectangle {
    id: bar

    required property RecordingTransport transport
    required property bool uploading

    implicitHeight: row.implicitHeight + 24
    radius: 13
    color: Qt.rgba(0, 0, 0, 0.42)
    border.width: 1
    border.color: OrvellaTheme.glassBorder

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 12
        spacing: 12

        Text {
            Layout.preferredWidth: 82
            horizontalAlignment: Text.AlignHCenter
            text: bar.transport.clockText
            color: bar.transport.recording ? OrvellaTheme.liveRed : "white"
            font: OrvellaTheme.monoFont(16, Font.Bold)
        }

        Item { Layout.fillWidth: true }

        Repeater {
            model: bar.transport.items

            delegate: Loader {
                id: slot
                required property var modelData
                Layout.alignment: Qt.AlignVCenter
                sourceComponent: {
                    switch (modelData.style) {
                    case "gold": return goldItem
                    case "progress": return progressItem
                    case "upload": return uploadItem
                    default: return borderedItem
                    }
                }

                Component {
                    id: goldItem
                    GoldButtonStyle {
                        text: slot.modelData.title
                        symbol: slot.modelData.symbol
                        enabled: slot.modelData.enabled
                        onClicked: bar.transport.trigger(slot.modelData.action)
                    }
                }
                Component {
                    id: borderedItem
                    BorderedButton {
                        text: slot.modelData.title
                        symbol: slot.modelData.symbol
                        enabled: slot.modelData.enabled
                        onClicked: bar.transport.trigger(slot.modelData.action)
                    }
                }
                Component {
                    id: uploadItem
                    StudioUploadButton {
                        uploading: bar.uploading
                        onClicked: bar.transport.trigger(slot.modelData.action)
                    }
                }
                Component {
                    id: progressItem
                    Row {
                        spacing: 8
                        BusySpinner {
                            anchors.verticalCenter: parent.verticalCenter
                            color: OrvellaTheme.gold
                        }
                        Text {
                            anchors.verticalCenter: parent.verticalCenter
                            text: slot.modelData.title
                            color: OrvellaTheme.textSecondary
                            font: OrvellaTheme.font(13)
                        }
                    }
                }
            }
        }

        BorderedButton {
            text: "Reset"
            enabled: bar.transport.resetEnabled
            onClicked: bar.transport.trigger("reset")
        }
    }
}

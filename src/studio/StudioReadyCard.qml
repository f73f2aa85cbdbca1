import QtQuick
import QtQuick.Layouts
import QtQuick.Window
import Orvella

// What the viewer can do with a finished recording.
Rectangle {
    id: card

    required property RecordingDelivery delivery
    required property bool uploading

    readonly property color systemGreen: Qt.rgba(0.188, 0.82, 0.345, 1)

    implicitHeight: column.implicitHeight + 24
    radius: 12
    color: Qt.rgba(systemGreen.r, systemGreen.g, systemGreen.b, 0.09)
    border.width: 1
    border.color: Qt.rgba(systemGreen.r, systemGreen.g, systemGreen.b, 0.25)
    clip: true

    ColumnLayout {
        id: column
        anchors.fill: parent
        anchors.margins: 12
        spacing: 10

        RowLayout {
            spacing: 8
            SymbolIcon {
                symbol: "checkmark.seal.fill"
                color: card.systemGreen
                size: 16
            }
            ColumnLayout {
                spacing: 2
                Text {
                    text: "Your testimony recording is ready"
                    color: "white"
                    font: OrvellaTheme.font(13, Font.Bold)
                }
                Text {
                    Layout.fillWidth: true
                    text: card.delivery.recordingFileName
                    textFormat: Text.PlainText
                    color: OrvellaTheme.textMuted
                    font: OrvellaTheme.monoFont(10)
                    elide: Text.ElideMiddle
                }
            }
            Item { Layout.fillWidth: true }
        }

        RowLayout {
            spacing: 10
            BorderedButton {
                symbol: "play.circle"
                text: "Preview"
                onClicked: card.delivery.openPreview()
            }
            BorderedButton {
                symbol: "square.and.arrow.down"
                objectName: "saveToComputer"
                text: "Save to Computer"
                onClicked: card.delivery.requestSave(card.Window.window)
            }
            BorderedButton {
                text: "Show File"
                onClicked: card.delivery.reveal()
            }
            Item { Layout.fillWidth: true }
            StudioUploadButton {
                uploading: card.uploading
                onClicked: card.delivery.upload()
            }
        }
    }
}

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Orvella

// The testimony studio: the stage with the camera picture, the transport, the actions for a
// finished recording and the controls panel. Everything shown is the capture controller's
// state; the camera starts when the screen is shown and is suspended when it goes.
Item {
    id: screen

    required property StudioCaptureController capture

    // The standard controls of the panel (pop-ups, check box, sliders, editor) on the dark card.
    palette.window: OrvellaTheme.navy
    palette.windowText: OrvellaTheme.textPrimary
    palette.base: "#0b1322"
    palette.alternateBase: OrvellaTheme.navyDeep
    palette.text: OrvellaTheme.textPrimary
    palette.button: "#1c2a40"
    palette.buttonText: OrvellaTheme.textPrimary
    palette.highlight: OrvellaTheme.gold
    palette.highlightedText: "black"
    palette.light: "#2a3a52"
    palette.midlight: "#223249"
    palette.mid: "#34465f"
    palette.dark: "#3d506b"
    palette.shadow: "black"
    palette.placeholderText: OrvellaTheme.textMuted

    StudioScreenModel {
        id: studio
        objectName: "studioModel"
        capture: screen.capture
    }

    Component.onCompleted: studio.shown()
    Component.onDestruction: studio.hidden()

    RoundedFill {
        anchors.fill: parent
        diagonal: true
        fromColor: OrvellaTheme.canvas
        toColor: OrvellaTheme.navyDeep
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 18
        spacing: 14

        RowLayout {
            Layout.fillWidth: true
            ColumnLayout {
                spacing: 3
                Text {
                    text: "TESTIMONY CREATOR"
                    color: OrvellaTheme.sky
                    font.family: OrvellaTheme.sansFamily
                    font.pixelSize: 9
                    font.weight: Font.Bold
                    font.letterSpacing: 3
                }
                Text {
                    text: "Your Story. Beautifully Told."
                    color: OrvellaTheme.goldLight
                    font: OrvellaTheme.serifFont(25, Font.Bold)
                }
            }
            Item { Layout.fillWidth: true }
            Text {
                text: screen.capture.statusMessage
                textFormat: Text.PlainText
                color: OrvellaTheme.textSecondary
                font: OrvellaTheme.font(11, Font.Medium)
            }
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 14

            Item {
                id: leftColumn
                Layout.fillWidth: true
                Layout.fillHeight: true

                // What the column holds besides the stage, so the stage can take the rest.
                readonly property real othersHeight: transportBar.height + column.spacing
                    + (readyCard.visible ? readyCard.height + column.spacing : 0)
                    + (uploadMessage.visible ? uploadMessage.height + column.spacing : 0)

                Column {
                    id: column
                    width: parent.width
                    spacing: 12

                    // 16:9, as wide as the column unless that would push the rest off screen.
                    StudioStage {
                        objectName: "stage"
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: Math.max(0, Math.min(column.width,
                            (leftColumn.height - leftColumn.othersHeight) * 16 / 9))
                        height: width * 9 / 16
                        model: studio
                    }

                    RecordingTransportBar {
                        id: transportBar
                        width: column.width
                        transport: studio.transport
                        uploading: screen.capture.isUploading
                    }

                    StudioReadyCard {
                        id: readyCard
                        width: column.width
                        visible: studio.delivery.readyCardVisible
                        delivery: studio.delivery
                        uploading: screen.capture.isUploading
                    }

                    Text {
                        id: uploadMessage
                        width: column.width
                        visible: screen.capture.uploadMessage !== ""
                        text: screen.capture.uploadMessage
                        textFormat: Text.PlainText
                        color: OrvellaTheme.goldLight
                        font: OrvellaTheme.font(11)
                        wrapMode: Text.WordWrap
                    }
                }
            }

            // The panel slides in from the trailing edge and fades; the stage takes the room.
            Item {
                id: panelSlot
                readonly property bool shown: studio.showControlsPanel
                Layout.fillHeight: true
                Layout.preferredWidth: shown ? 330 : 0
                Layout.leftMargin: shown ? 0 : -14
                visible: Layout.preferredWidth > 0
                clip: true

                Behavior on Layout.preferredWidth {
                    NumberAnimation { duration: 220; easing.type: Easing.OutCubic }
                }
                Behavior on Layout.leftMargin {
                    NumberAnimation { duration: 220; easing.type: Easing.OutCubic }
                }

                StudioControlsPanel {
                    anchors.left: parent.left
                    anchors.top: parent.top
                    anchors.bottom: parent.bottom
                    width: 330
                    opacity: panelSlot.shown ? 1 : 0
                    model: studio

                    Behavior on opacity {
                        NumberAnimation { duration: 220 }
                    }
                }
            }
        }
    }

    // Made when first opened, so the screen's first frame does not wait for it, then kept, so it
    // opens again at once.
    Loader {
        id: saveDialogLoader
        objectName: "saveDialog"
        active: false
        sourceComponent: SaveFileDialog {
            model: studio.delivery.saveDialog
        }
    }

    Connections {
        target: studio.delivery.saveDialog
        function onOpenedChanged() {
            if (studio.delivery.saveDialog.opened)
                saveDialogLoader.active = true
        }
    }
}

import QtQuick
import QtQuick.Controls
import Orvella

// The studio's settings column: devices, virtual background, picture and teleprompter.
Rectangle {
    id: panel

    required property StudioScreenModel model
    readonly property StudioCaptureController capture: model.capture

    implicitWidth: 330
    radius: 16
    color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.96)
    border.width: 1
    border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.28)
    clip: true

    ScrollView {
        id: scroller
        anchors.fill: parent
        anchors.margins: 1
        contentWidth: availableWidth
        ScrollBar.vertical.policy: ScrollBar.AlwaysOn
        ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

        Column {
            x: 14
            y: 14
            width: scroller.availableWidth - 28
            spacing: 16
            bottomPadding: 28

            StudioControlSection {
                width: parent.width
                title: "Camera & Audio"
                icon: "video.fill"

                Text {
                    width: parent.width
                    visible: panel.capture.cameras.length === 0
                    text: "No camera detected. Connect a camera, then Reset."
                    wrapMode: Text.WordWrap
                    color: OrvellaTheme.liveRed
                    font: OrvellaTheme.font(10)
                }
                StudioDevicePicker {
                    width: parent.width
                    title: "Camera"
                    devices: panel.capture.cameras
                    selectedID: panel.capture.selectedCameraID
                    onPicked: id => panel.capture.selectCamera(id)
                }
                StudioDevicePicker {
                    width: parent.width
                    title: "Microphone"
                    devices: panel.capture.microphones
                    selectedID: panel.capture.selectedMicrophoneID
                    onPicked: id => panel.capture.selectMicrophone(id)
                }
                ThemedCheckBox {
                    text: "Mirror preview"
                    checked: panel.capture.mirrorPreview
                    onToggled: panel.capture.mirrorPreview = checked
                }
            }

            StudioControlSection {
                width: parent.width
                title: "Virtual Background"
                icon: "person.fill.viewfinder"

                BackgroundPicker {
                    width: parent.width
                    model: panel.model.picker
                }
            }

            StudioControlSection {
                width: parent.width
                title: "Picture"
                icon: "sun.max.fill"

                StudioLabeledSlider {
                    width: parent.width
                    title: "Brightness"
                    value: panel.capture.brightness
                    from: -0.5
                    to: 0.5
                    onMoved: v => panel.capture.brightness = v
                }
                StudioLabeledSlider {
                    width: parent.width
                    title: "Contrast"
                    value: panel.capture.contrast
                    from: 0.6
                    to: 1.8
                    onMoved: v => panel.capture.contrast = v
                }
                StudioLabeledSlider {
                    width: parent.width
                    title: "Noise remover"
                    value: panel.capture.noiseReduction
                    from: 0
                    to: 1
                    onMoved: v => panel.capture.noiseReduction = v
                }
            }

            StudioControlSection {
                width: parent.width
                title: "Teleprompter"
                icon: "text.alignleft"

                Rectangle {
                    width: parent.width
                    height: 126
                    radius: 9
                    color: Qt.rgba(0, 0, 0, 0.2)
                    clip: true

                    ScrollView {
                        anchors.fill: parent
                        anchors.margins: 6

                        TextArea {
                            text: panel.model.teleprompter
                            wrapMode: TextEdit.Wrap
                            color: OrvellaTheme.textPrimary
                            font: OrvellaTheme.font(13)
                            background: null
                            padding: 0
                            onTextChanged: panel.model.teleprompter = text
                        }
                    }
                }
            }
        }
    }
}

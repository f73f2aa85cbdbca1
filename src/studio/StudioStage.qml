import QtQuick
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects
import Orvella

// The 16:9 stage: the processed camera picture (or the recording while it is previewed), the
// state pill, the panel toggle and the teleprompter, framed by a border that turns red while
// recording.
Item {
    id: stage

    required property StudioScreenModel model
    readonly property StudioCaptureController capture: model.capture
    readonly property bool recording: model.transport.recording
    readonly property real cornerRadius: 18

    Item {
        id: picture
        anchors.fill: parent
        // Every part of the picture keeps to the corners by itself, but for a recording drawn
        // into an OpenGL framebuffer (hardware graphics only), which a mask rounds.
        layer.enabled: previewPlayer.visible && previewPlayer.drawsThroughFramebuffer
        layer.effect: OpacityMask {
            maskSource: Rectangle {
                width: picture.width
                height: picture.height
                radius: stage.cornerRadius
            }
        }

        ProcessedCameraPreview {
            anchors.fill: parent
            cornerRadius: stage.cornerRadius
            visible: !stage.model.previewing
            image: stage.capture.previewImage
            hasImage: stage.capture.hasPreviewImage
        }

        StudioPreviewPlayer {
            id: previewPlayer
            anchors.fill: parent
            cornerRadius: stage.cornerRadius
            visible: stage.model.previewing
            player: stage.capture.previewPlayer
        }

        // Scrim that keeps the top bar and the teleprompter readable.
        Rectangle {
            anchors.fill: parent
            radius: stage.cornerRadius
            gradient: Gradient {
                GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.5) }
                GradientStop { position: 0.5; color: "transparent" }
                GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.36) }
            }
        }
    }

    RowLayout {
        id: topBar
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 14
        spacing: 8

        StudioStatusPill {
            label: stage.model.transport.stateLabel
            recording: stage.recording
        }
        Item { Layout.fillWidth: true }
        BorderedButton {
            visible: stage.model.previewing
            text: "Close Preview"
            onClicked: stage.model.delivery.closePreview()
        }
        BorderedButton {
            symbol: "slider.horizontal.3"
            text: "Studio Controls"
            onClicked: stage.model.toggleControlsPanel()
        }
    }

    Text {
        id: teleprompter
        objectName: "teleprompter"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: 56
        anchors.rightMargin: 56
        anchors.bottomMargin: 70
        visible: stage.model.teleprompterVisible
        text: stage.model.teleprompter
        color: "white"
        font: OrvellaTheme.font(18, Font.DemiBold)
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.WordWrap
        maximumLineCount: 4
        elide: Text.ElideRight
        textFormat: Text.PlainText

        TextShadow {
            objectName: "teleprompterShadow"
            z: -1
            anchors.fill: parent
            anchors.margins: -radius
            radius: 8
            color: "black"
            text: teleprompter.text
            font: teleprompter.font
            horizontalAlignment: teleprompter.horizontalAlignment
            maximumLineCount: teleprompter.maximumLineCount
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: stage.cornerRadius
        color: "transparent"
        border.width: stage.recording ? 2 : 1
        border.color: stage.recording
                      ? OrvellaTheme.liveRed
                      : Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.45)
    }
}

import QtQuick
import QtQuick.Controls
import Orvella

// The seek bar: the buffered track behind a red slider. The model holds the drag: the knob
// follows the hand while dragged, and one seek goes out on release.
Item {
    id: scrubber

    required property EpisodeScrubberModel model

    implicitHeight: 26

    // Buffered track: the full capsule and, over it, the buffered part.
    Rectangle {
        anchors.verticalCenter: parent.verticalCenter
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.leftMargin: slider.leftPadding
        anchors.rightMargin: slider.rightPadding
        height: 7
        radius: 3.5
        color: Qt.rgba(1, 1, 1, 0.2)

        Rectangle {
            objectName: "bufferedBar"
            width: parent.width * scrubber.model.bufferedFraction
            height: parent.height
            radius: 3.5
            color: Qt.rgba(1, 1, 1, 0.38)
        }
    }

    Slider {
        id: slider
        objectName: "seekSlider"
        anchors.fill: parent
        focusPolicy: Qt.NoFocus
        from: 0
        to: scrubber.model.maximum
        value: scrubber.model.value
        leftPadding: 7
        rightPadding: 7
        onMoved: scrubber.model.moved(value)
        onPressedChanged: if (!pressed) scrubber.model.released()

        background: Item {
            x: slider.leftPadding
            y: slider.topPadding + (slider.availableHeight - height) / 2
            width: slider.availableWidth
            height: 4
            Rectangle {
                width: slider.visualPosition * parent.width
                height: parent.height
                radius: 2
                color: OrvellaTheme.liveRed
            }
        }
        handle: Rectangle {
            x: slider.leftPadding + slider.visualPosition * slider.availableWidth - width / 2
            y: slider.topPadding + (slider.availableHeight - height) / 2
            implicitWidth: 14
            implicitHeight: 14
            radius: 7
            color: "white"
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.25)
        }
    }
}

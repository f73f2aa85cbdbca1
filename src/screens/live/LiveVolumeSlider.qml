import QtQuick
import Orvella

// A small gold volume slider over 0…1.
Item {
    id: slider

    property real value: 1
    signal moved(real value)

    implicitWidth: 56
    implicitHeight: 16

    Rectangle {
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: 3
        radius: 1.5
        color: Qt.rgba(1, 1, 1, 0.2)
        Rectangle {
            width: parent.width * Math.max(0, Math.min(1, slider.value))
            height: parent.height
            radius: 1.5
            color: OrvellaTheme.gold
        }
    }
    Rectangle {
        x: (slider.width - width) * Math.max(0, Math.min(1, slider.value))
        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 5
        color: "white"
    }
    MouseArea {
        anchors.fill: parent
        function report(x) { slider.moved(Math.max(0, Math.min(1, x / Math.max(slider.width, 1)))) }
        onPressed: (mouse) => report(mouse.x)
        onPositionChanged: (mouse) => { if (pressed) report(mouse.x) }
    }
}

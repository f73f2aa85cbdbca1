import QtQuick
import Orvella

// A small indeterminate spinner: eight dots of falling opacity turning around the centre.
// It turns only while running and visible.
Item {
    id: spinner

    property bool running: true
    property color color: OrvellaTheme.gold
    property real diameter: 16

    implicitWidth: diameter
    implicitHeight: diameter

    Item {
        id: wheel
        anchors.fill: parent

        Repeater {
            model: 8
            Rectangle {
                required property int index
                readonly property real angle: index * Math.PI / 4
                width: spinner.diameter * 0.2
                height: width
                radius: width / 2
                color: spinner.color
                opacity: 1 - index * 0.11
                x: spinner.diameter / 2 + Math.sin(angle) * (spinner.diameter / 2 - width / 2) - width / 2
                y: spinner.diameter / 2 - Math.cos(angle) * (spinner.diameter / 2 - width / 2) - width / 2
            }
        }

        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 900
            loops: Animation.Infinite
            running: spinner.running && spinner.visible
        }
    }
}

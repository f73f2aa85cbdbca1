import QtQuick
import Orvella

// Three gold dots pulsing between 60 % and 100 % of their size, each 0.55 rad behind the last.
// Sized rather than scaled, as filled shapes, they stay round on every scene-graph back end.
Row {
    id: dots
    spacing: 8

    AnimationTimeline {
        id: timeline
        interval: 0.15
    }

    Repeater {
        model: 3
        Item {
            required property int index
            width: 8
            height: 8

            RoundedFill {
                readonly property real diameter: parent.width * Pulse.dotScale(timeline.time, parent.index)
                anchors.centerIn: parent
                anchors.alignWhenCentered: false
                width: diameter
                height: diameter
                radius: diameter / 2
                fromColor: OrvellaTheme.gold
                toColor: OrvellaTheme.gold
            }
        }
    }
}

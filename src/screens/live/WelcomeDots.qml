import QtQuick
import Orvella

// Three gold dots pulsing between 60 % and 100 % of their size, each 0.55 rad behind the last.
Row {
    spacing: 8

    AnimationTimeline {
        id: timeline
        interval: 0.15
    }

    Repeater {
        model: 3
        Rectangle {
            required property int index
            width: 8
            height: 8
            radius: 4
            color: OrvellaTheme.gold
            scale: Pulse.dotScale(timeline.time, index)
        }
    }
}

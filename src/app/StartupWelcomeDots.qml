import QtQuick
import Orvella

// Three gold dots pulsing between 60 % and 100 % of their size, each 0.55 rad behind the last.
// Painted dots keep their round shape at every size on every scene-graph back end.
Row {
    id: dots
    spacing: 8

    AnimationTimeline {
        id: timeline
        interval: 0.15
    }

    Repeater {
        model: 3
        RoundDot {
            required property int index
            width: 8
            height: 8
            color: OrvellaTheme.gold
            diameter: width * Pulse.dotScale(timeline.time, index)
        }
    }
}

import QtQuick
import Orvella

// The placeholder of a picture still on its way: a diagonal band of light sweeping to and fro
// across a navy rounded rectangle, with a small gold spinner. It animates at up to 30 frames
// per second and only while it is shown.
Item {
    id: shimmer

    property real cornerRadius: 0

    AnimationTimeline {
        id: timeline
        interval: 1 / 30
    }

    ShimmerBand {
        anchors.fill: parent
        cornerRadius: shimmer.cornerRadius
        phase: Pulse.shimmerPhase(timeline.time)
        baseColor: OrvellaTheme.navyDeep
        bandColor: OrvellaTheme.navy
    }

    BusySpinner {
        anchors.centerIn: parent
        diameter: 14
        color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.85)
        running: timeline.ticking
    }
}

import QtQuick
import QtQuick.Shapes
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

    readonly property real phase: Pulse.shimmerPhase(timeline.time)
    readonly property real radius: Math.max(0, Math.min(cornerRadius, width / 2, height / 2))

    Shape {
        anchors.fill: parent
        ShapePath {
            strokeWidth: -1
            strokeColor: "transparent"
            fillGradient: LinearGradient {
                x1: (shimmer.phase - 0.2) * shimmer.width
                y1: 0
                x2: (shimmer.phase + 0.6) * shimmer.width
                y2: shimmer.height
                GradientStop { position: 0; color: OrvellaTheme.navyDeep }
                GradientStop { position: 1 / 3; color: Qt.rgba(1, 1, 1, 0.08 + 0.1 * shimmer.phase) }
                GradientStop {
                    position: 2 / 3
                    color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.9)
                }
                GradientStop { position: 1; color: OrvellaTheme.navyDeep }
            }
            PathSvg {
                path: {
                    const w = shimmer.width, h = shimmer.height, r = shimmer.radius
                    return "M " + r + " 0 L " + (w - r) + " 0 A " + r + " " + r + " 0 0 1 " + w + " " + r
                        + " L " + w + " " + (h - r) + " A " + r + " " + r + " 0 0 1 " + (w - r) + " " + h
                        + " L " + r + " " + h + " A " + r + " " + r + " 0 0 1 0 " + (h - r)
                        + " L 0 " + r + " A " + r + " " + r + " 0 0 1 " + r + " 0 Z"
                }
            }
        }
    }

    BusySpinner {
        anchors.centerIn: parent
        diameter: 14
        color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.85)
        running: timeline.ticking
    }
}

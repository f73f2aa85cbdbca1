import QtQuick
import Orvella

// The placeholder of a picture still on its way: a diagonal band of light sweeping to and fro
// across a navy rounded rectangle, with a small gold spinner. It animates at up to 30 frames
// per second and only while it is shown.
ShimmerBand {
    interval: 1 / 30
    baseColor: OrvellaTheme.navyDeep
    bandColor: OrvellaTheme.navy
    spinnerColor: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.85)
}

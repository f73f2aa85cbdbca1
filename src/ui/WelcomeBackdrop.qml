import QtQuick
import Orvella

// The navy backdrop of the splash and the live welcome: a diagonal gradient with a soft gold
// glow in the middle (a picture of the glow, so it needs no shader of its own).
Item {
    DiagonalGradient {
        anchors.fill: parent
        GradientStop { position: 0; color: Qt.rgba(0.024, 0.051, 0.102, 1) }
        GradientStop { position: 0.5; color: OrvellaTheme.navy }
        GradientStop { position: 1; color: OrvellaTheme.navyDeep }
    }

    // Gold at 20 % in the middle fading out linearly between 20 and 280 pixels from it.
    BundledImage {
        anchors.centerIn: parent
        width: 560
        height: 560
        source: Qt.resolvedUrl("gold-glow.png")
    }
}

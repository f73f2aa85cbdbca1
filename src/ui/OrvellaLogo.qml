import QtQuick
import Orvella

// The service's logo (the picture "Orvella-logo-crop"), scaled to fit its height with the width
// its proportions take. Without the picture it draws nothing and takes no room.
BundledImage {
    source: Qt.resolvedUrl("Orvella-logo-crop.png")
    height: 72
    width: implicitHeight > 0 ? height * implicitWidth / implicitHeight : 0
    visible: implicitHeight > 0
}

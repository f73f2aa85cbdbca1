import QtQuick
import Orvella

// The finished recording playing in the stage with its playback controls, fitted whole.
PlayerView {
    required property var player

    controller: player
    showsControls: true
    fillMode: VideoSurface.AspectFit
}

import QtQuick
import Orvella

// The finished recording playing in the stage, with its playback controls.
Rectangle {
    id: view

    required property var player

    color: "black"
}

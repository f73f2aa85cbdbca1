import QtQuick
import Orvella

// A player controller's picture with, when asked, simple inline controls (play and pause, and a
// scrubber over the item's length), with rounded corners when asked. Picture-in-picture has no
// counterpart on this desktop.
Item {
    id: root

    property PlayerController controller
    property bool showsControls: false
    property int fillMode: VideoSurface.AspectFill
    property real cornerRadius: 0
    // Software frames keep to the corners themselves; an OpenGL framebuffer's stay square.
    readonly property bool drawsThroughFramebuffer: surface.drawsThroughFramebuffer

    clip: true

    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: "black"
    }

    VideoSurface {
        id: surface
        objectName: "videoSurface"
        anchors.fill: parent
        player: root.controller ? root.controller.player : null
        fillMode: root.fillMode
        cornerRadius: root.cornerRadius
        captionInset: controls.visible ? controls.height : 0
    }

    Item {
        id: controls
        objectName: "inlineControls"
        visible: root.showsControls && root.controller !== null
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 40

        // The strip's lower corners follow the picture's.
        Item {
            anchors.fill: parent
            clip: true
            Rectangle {
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                height: parent.height + root.cornerRadius
                radius: root.cornerRadius
                color: Qt.rgba(0, 0, 0, 0.55)
            }
        }

        Row {
            anchors.fill: parent
            anchors.leftMargin: 10
            anchors.rightMargin: 10
            spacing: 10

            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: root.controller && root.controller.isPlaying ? "pause.fill" : "play.fill"
                size: 16
                color: "white"
                TapHandler {
                    onTapped: root.controller.togglePlay()
                }
            }

            Item {
                id: scrubber
                readonly property real span: root.controller ? Math.max(root.controller.duration, 1) : 1
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - x
                height: 20

                Rectangle {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width
                    height: 4
                    radius: 2
                    color: Qt.rgba(1, 1, 1, 0.2)
                    Rectangle {
                        width: root.controller
                               ? parent.width * Math.min(1, Math.max(0, root.controller.currentTime / scrubber.span))
                               : 0
                        height: parent.height
                        radius: 2
                        color: OrvellaTheme.gold
                    }
                }
                TapHandler {
                    onTapped: (point) => root.controller.seekTo(
                        Math.min(1, Math.max(0, point.position.x / Math.max(scrubber.width, 1))) * scrubber.span)
                }
            }
        }
    }
}

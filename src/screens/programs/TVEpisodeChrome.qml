import QtQuick
import Orvella

// The episode chrome over the video: Back, the title and programme on top; the times and seek
// bar above a centred row of controls at the bottom, with the repeat and quality menus floating
// above their buttons. Every action goes to the screen's model. The space between the bars, the
// title and the sides of the control row take no clicks, so they reach the tap layer beneath.
Item {
    id: chrome

    required property EpisodePlayerModel screen
    readonly property EpisodeChromeModel model: screen.chrome
    readonly property PlayerController player: screen.player
    // Height of the bottom block (seek bar and controls) from the chrome's bottom edge.
    readonly property real controlsInset: height - bottom.y

    // Scrim.
    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.55) }
            GradientStop { position: 1 / 3; color: "transparent" }
            GradientStop { position: 2 / 3; color: "transparent" }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.88) }
        }
    }

    // Top bar.
    Row {
        objectName: "episodeTopBar"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.leftMargin: 36
        anchors.rightMargin: 36
        anchors.topMargin: 28
        spacing: 8

        PlainButton {
            objectName: "episodeBack"
            focusPolicy: Qt.NoFocus
            contentItem: Rectangle {
                implicitWidth: 42
                implicitHeight: 42
                radius: 21
                color: Qt.rgba(1, 1, 1, 0.14)
                SymbolIcon {
                    anchors.centerIn: parent
                    symbol: "chevron.left"
                    size: 18
                    font.weight: Font.Bold
                    color: "white"
                }
            }
            onClicked: chrome.screen.back()
        }

        Column {
            width: parent.width - 42 - parent.spacing
            spacing: 3

            Text {
                objectName: "episodeTitle"
                width: parent.width
                text: chrome.screen.title
                textFormat: Text.PlainText
                color: "white"
                font: OrvellaTheme.serifFont(22, Font.Bold)
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
            }
            Text {
                objectName: "episodeSubtitle"
                width: parent.width
                visible: text !== ""
                text: chrome.screen.subtitle
                textFormat: Text.PlainText
                color: OrvellaTheme.goldLight
                font: OrvellaTheme.font(12, Font.DemiBold)
                wrapMode: Text.Wrap
            }
        }
    }

    // Bottom block.
    Column {
        id: bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.leftMargin: 36
        anchors.rightMargin: 36
        anchors.bottomMargin: 28
        spacing: 12

        // The times and the seek bar, on a shield of their own.
        Item {
            width: parent.width
            height: timeRow.height

            ClickShield {
                anchors.fill: parent
            }

            Row {
                id: timeRow
                width: parent.width
                spacing: 10

                Text {
                    id: elapsed
                    objectName: "episodeElapsed"
                    anchors.verticalCenter: parent.verticalCenter
                    text: chrome.screen.scrubber.elapsedText
                    color: "white"
                    font: OrvellaTheme.monoFont(12)
                }
                TVScrubber {
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - elapsed.width - total.width - 2 * parent.spacing
                    model: chrome.screen.scrubber
                }
                Text {
                    id: total
                    anchors.verticalCenter: parent.verticalCenter
                    text: chrome.screen.scrubber.totalText
                    color: "white"
                    font: OrvellaTheme.monoFont(12)
                }
            }
        }

        // The controls, on a shield as wide as they are: beside them lies the picture.
        Item {
            anchors.horizontalCenter: parent.horizontalCenter
            width: controls.width
            height: controls.height

            ClickShield {
                anchors.fill: parent
            }

            Row {
                id: controls
                objectName: "episodeControls"
                spacing: 12

                PlayerCircleButton {
                    objectName: "episodeSkipBack"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "gobackward.10"
                    onClicked: chrome.model.skip(-10)
                }
                PlayerCircleButton {
                    objectName: "episodePlayPause"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: chrome.player && chrome.player.isPlaying ? "pause.fill" : "play.fill"
                    primary: true
                    onClicked: chrome.model.togglePlay()
                }
                PlayerCircleButton {
                    objectName: "episodeSkipForward"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "goforward.10"
                    onClicked: chrome.model.skip(10)
                }
                PlayerCircleButton {
                    objectName: "episodeCaptions"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "captions.bubble.fill"
                    active: chrome.model.captionsEnabled
                    onClicked: chrome.model.toggleCaptions()
                }
                PlayerCircleButton {
                    objectName: "episodeMute"
                    anchors.verticalCenter: parent.verticalCenter
                    readonly property bool muted: chrome.player !== null && chrome.player.isMuted
                    symbol: muted ? "speaker.slash.fill" : "speaker.wave.2.fill"
                    active: !muted
                    onClicked: chrome.model.toggleMute()
                }
                PlayerCircleButton {
                    objectName: "episodeAutoplay"
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "forward.end.fill"
                    active: chrome.model.autoplayNext
                    onClicked: chrome.model.toggleAutoplay()
                }
                PlayerCircleButton {
                    id: repeatButton
                    objectName: "episodeRepeat"
                    anchors.verticalCenter: parent.verticalCenter
                    z: chrome.model.repeatOpen ? 45 : 0
                    symbol: chrome.model.repeatSymbol
                    active: chrome.model.repeatMode !== EpisodeRepeatMode.Off
                    onClicked: chrome.model.toggleRepeatMenu()

                    EpisodeRepeatMenu {
                        objectName: "episodeRepeatMenu"
                        anchors.horizontalCenter: parent.horizontalCenter
                        y: -140
                        visible: opacity > 0
                        opacity: chrome.model.repeatOpen ? 1 : 0
                        Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.OutQuad } }
                        rows: chrome.model.repeatRows
                        selected: chrome.model.repeatMode
                        onSelect: (mode) => chrome.model.selectRepeatMode(mode)
                        onDismiss: chrome.model.dismissRepeat()
                    }
                }
                EpisodePill {
                    objectName: "episodeQuality"
                    anchors.verticalCenter: parent.verticalCenter
                    z: chrome.model.qualityOpen ? 40 : 0
                    text: chrome.model.quality
                    symbol: "gauge.with.dots.needle.33percent"
                    onClicked: chrome.model.toggleQualityMenu()

                    EpisodeQualityMenu {
                        objectName: "episodeQualityMenu"
                        anchors.horizontalCenter: parent.horizontalCenter
                        y: -288
                        visible: opacity > 0
                        opacity: chrome.model.qualityOpen ? 1 : 0
                        Behavior on opacity { NumberAnimation { duration: 150; easing.type: Easing.OutQuad } }
                        rows: chrome.model.qualityRows
                        selected: chrome.model.quality
                        onSelect: (id) => chrome.model.selectQuality(id)
                        onDismiss: chrome.model.dismissQuality()
                    }
                }
                EpisodePill {
                    objectName: "episodeMore"
                    anchors.verticalCenter: parent.verticalCenter
                    text: "More"
                    symbol: "rectangle.stack.fill"
                    onClicked: chrome.model.more()
                }
            }
        }
    }
}

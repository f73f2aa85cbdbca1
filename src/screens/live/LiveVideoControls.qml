import QtQuick
import QtQuick.Layouts
import Orvella

// The live control row: play/pause, position, seek bar, window length or LIVE, captions, mute,
// volume, quality, data rate and full screen. Every control reports viewer activity.
Item {
    id: controls

    property PlayerController player
    property bool captionsEnabled
    property string quality
    property string dataRate
    signal interact
    signal toggleCaptions
    signal toggleQuality
    signal fullscreen

    implicitHeight: row.implicitHeight + 16

    LiveVideoControlsModel {
        id: model
        player: controls.player
    }

    ClickShield {
        anchors.fill: parent
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.72) }
        }
    }
    Rectangle {
        anchors.top: parent.top
        width: parent.width
        height: 1
        color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.15)
    }

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        anchors.topMargin: 8
        anchors.bottomMargin: 8
        spacing: 8

        LiveControlButton {
            objectName: "livePlayButton"
            label: model.playGlyph
            onClicked: { model.togglePlay(); controls.interact() }
        }

        Text {
            objectName: "livePositionText"
            Layout.minimumWidth: 32
            text: model.positionText
            color: OrvellaTheme.textMuted
            font: OrvellaTheme.monoFont(10)
        }

        Item {
            id: bar
            objectName: "liveSeekBar"
            Layout.fillWidth: true
            Layout.minimumWidth: 60
            implicitHeight: 6
            Rectangle {
                anchors.fill: parent
                radius: 3
                color: Qt.rgba(1, 1, 1, 0.12)
            }
            Rectangle {
                width: Math.max(0, bar.width * model.progress)
                height: parent.height
                radius: 3
                gradient: Gradient {
                    orientation: Gradient.Horizontal
                    GradientStop { position: 0; color: OrvellaTheme.gold }
                    GradientStop { position: 1; color: OrvellaTheme.sky }
                }
            }
            // Only the end of a click or drag seeks; nothing follows the pointer meanwhile.
            MouseArea {
                anchors.fill: parent
                anchors.topMargin: -8
                anchors.bottomMargin: -8
                onReleased: (mouse) => { model.seekAt(mouse.x, bar.width); controls.interact() }
            }
        }

        Text {
            objectName: "liveEndText"
            Layout.minimumWidth: 32
            horizontalAlignment: Text.AlignRight
            text: model.endLabel
            color: model.endIsLive ? OrvellaTheme.liveRed : OrvellaTheme.textMuted
            font: OrvellaTheme.monoFont(10, model.endIsLive ? Font.Bold : Font.Normal)
        }

        LiveControlButton {
            objectName: "liveCaptionsButton"
            label: "CC"
            active: controls.captionsEnabled
            onClicked: { controls.toggleCaptions(); controls.interact() }
        }

        LiveControlButton {
            objectName: "liveMuteButton"
            label: model.muteGlyph
            active: model.muteActive
            onClicked: { model.toggleMute(); controls.interact() }
        }

        LiveVolumeSlider {
            Layout.preferredWidth: 56
            value: model.volume
            onMoved: (value) => { model.setVolume(value); controls.interact() }
        }

        Rectangle {
            objectName: "liveQualityButton"
            implicitWidth: qualityRow.implicitWidth + 12
            implicitHeight: 32
            radius: 8
            color: Qt.rgba(1, 1, 1, 0.08)
            border.width: 1
            border.color: Qt.rgba(1, 1, 1, 0.12)
            Row {
                id: qualityRow
                anchors.centerIn: parent
                spacing: 3
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "HD"
                    color: Qt.rgba(1, 1, 1, 0.85)
                    font: OrvellaTheme.font(11, Font.DemiBold)
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: model.qualityText(controls.quality)
                    color: "white"
                    font: OrvellaTheme.font(9, Font.Bold)
                }
            }
            TapHandler {
                onTapped: { controls.toggleQuality(); controls.interact() }
            }
        }

        Text {
            objectName: "liveDataRateText"
            Layout.minimumWidth: 48
            horizontalAlignment: Text.AlignHCenter
            text: controls.dataRate
            color: OrvellaTheme.textMuted
            font: OrvellaTheme.monoFont(9)
            maximumLineCount: 1
        }

        LiveControlButton {
            objectName: "liveFullScreenButton"
            label: "⛶"
            onClicked: { controls.fullscreen(); controls.interact() }
        }
    }
}

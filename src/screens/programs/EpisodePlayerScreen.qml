import QtQuick
import Orvella

// One on-demand episode full-window: the picture filling the window, a tap layer, the loading
// or error panel until the player is ready, the chrome, the related episodes and the
// playing-next card. Behaviour lives in EpisodePlayerModel; a new episode id builds a new
// screen.
Item {
    id: root

    property string episodeId
    readonly property PlayerController player: model.player

    clip: true

    EpisodePlayerModel {
        id: model
        objectName: "episodePlayerModel"
        app: AppModel
        episodeId: root.episodeId
    }

    Component.onCompleted: model.appear()
    Component.onDestruction: model.leave()

    Rectangle {
        anchors.fill: parent
        color: "black"
    }

    VideoSurface {
        objectName: "episodeVideo"
        anchors.fill: parent
        player: root.player ? root.player.player : null
        fillMode: VideoSurface.AspectFill
        // Captions stand above the controls while they show.
        captionInset: episodeChrome.visible ? episodeChrome.controlsInset : 0
    }

    // Clicks on the picture, and on the chrome's text that lies on it: reveal the chrome, or
    // pause and resume while it shows.
    PictureTapLayer {
        objectName: "episodeTapLayer"
        anchors.fill: parent
        visible: !model.chrome.relatedOpen
        onTapped: model.chrome.tap()
    }

    EpisodeErrorPanel {
        objectName: "episodeErrorPanel"
        anchors.fill: parent
        visible: model.showsErrorPanel
        image: model.image
        message: model.errorText
        onBack: model.back()
        onRefresh: model.refresh()
    }

    EpisodeLoadingPanel {
        objectName: "episodeLoadingPanel"
        anchors.fill: parent
        visible: model.showsLoadingPanel
        image: model.image
        status: model.statusLine
    }

    TVEpisodeChrome {
        id: episodeChrome
        objectName: "episodeChrome"
        anchors.fill: parent
        visible: model.showsChrome
        screen: model
    }

    Loader {
        objectName: "relatedOverlay"
        anchors.fill: parent
        active: model.chrome.relatedOpen
        sourceComponent: RelatedEpisodesOverlay {
            title: model.relatedTitle
            episodes: model.related
            onSelect: (row) => model.selectRelated(row)
            onClose: model.chrome.closeRelated()
        }
    }

    Loader {
        objectName: "playingNext"
        anchors.fill: parent
        active: model.playNext.showsCard
        sourceComponent: PlayingNextCard {
            title: model.playNext.title
            image: model.playNext.image
            countdownText: model.playNext.countdownText
            onStop: model.playNext.stop()
        }
    }

    // Pointer activity anywhere shows the chrome (or keeps the related row open); clicks,
    // drags and scrolls reach the layers below.
    PointerActivityView {
        anchors.fill: parent
        z: 100
        onMoved: (x, y) => model.chrome.pointerAt(x, y)
        onEntered: model.chrome.hover(true)
    }
}

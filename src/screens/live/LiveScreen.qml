import QtQuick
import QtQuick.Window
import Orvella

// The live channel: the poster until the picture is ready, the picture fitted to the window,
// and the chrome (identity row, controls, action bar), quality menu, schedule panel, loading
// card and first-run welcome over it. Behaviour lives in LiveScreenModel.
Item {
    id: root

    property PlayerController player: AppModel.livePlayer
    readonly property real w: width <= 1 ? 1 : width
    readonly property real h: height <= 1 ? 1 : height
    readonly property bool ready: root.player !== null && root.player.isReady

    clip: true

    LiveScreenModel {
        id: liveModel
        objectName: "liveScreenModel"
        app: AppModel
    }

    // Set once the model appeared, so nothing is built before the welcome is known.
    property bool appeared: false
    Component.onCompleted: {
        liveModel.appear()
        appeared = true
    }
    Component.onDestruction: liveModel.disappear()

    Connections {
        target: liveModel
        function onFullScreenToggleRequested() {
            liveModel.toggleWindowFullScreen(root.Window.window)
        }
    }

    Rectangle {
        anchors.fill: parent
        color: "black"
    }

    // The poster stands in for the picture until the player is ready.
    Item {
        id: posterPlane
        objectName: "livePosterPlane"
        width: root.w
        height: root.h
        clip: true
        opacity: root.ready ? 0 : 1
        // Under the opaque welcome or the picture its placeholder shimmer would only cost
        // frames and timer wake-ups.
        visible: !root.covered && !root.ready

        RemoteImage {
            anchors.fill: parent
            visible: liveModel.hasPoster
            url: liveModel.posterUrl
            targetPixelSize: 1280
        }
        DiagonalGradient {
            anchors.fill: parent
            visible: !liveModel.hasPoster
            GradientStop { position: 0; color: OrvellaTheme.canvas }
            GradientStop { position: 1; color: OrvellaTheme.navyDeep }
        }
    }

    VideoSurface {
        objectName: "liveVideo"
        width: root.w
        height: root.h
        player: root.player ? root.player.player : null
        fillMode: VideoSurface.AspectFit
        opacity: root.ready ? 1 : 0
        // Captions stand above the footer while it shows.
        captionInset: chromeColumn.visible && chromeColumn.item ? chromeColumn.item.footerHeight : 0
    }

    // 1. Tap catcher, behind the chrome, whose controls take their own clicks.
    PictureTapLayer {
        objectName: "liveTapCatcher"
        anchors.fill: parent
        visible: !liveModel.showSchedule && !liveModel.menuPresented
        onTapped: liveModel.tapVideo()
    }

    // 2. Shade.
    Rectangle {
        anchors.fill: parent
        visible: liveModel.showControls
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.12) }
            GradientStop { position: 0.33; color: "transparent" }
            GradientStop { position: 0.66; color: Qt.rgba(0, 0, 0, 0.2) }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.82) }
        }
    }

    // What the opaque welcome covers is built once it starts to fade, so the first frames
    // neither lay it out nor draw it. The welcome shows once, right as the screen appears.
    readonly property bool covered: liveModel.showWelcome && liveModel.welcomeOpacity >= 1

    // 3. Chrome column: identity row on top, footer at the bottom.
    Loader {
        id: chromeColumn
        objectName: "liveChromeColumn"
        anchors.fill: parent
        active: root.appeared && !root.covered
        visible: liveModel.showControls && !liveModel.showSchedule && !liveModel.menuPresented
        clip: true
        sourceComponent: Item {
            readonly property real footerHeight: footer.height

            // The identity row takes its own clicks, as the footer does.
            ClickShield {
                anchors.fill: identity
            }

            LiveIdentityRow {
                id: identity
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.top: parent.top
                anchors.leftMargin: 16
                anchors.rightMargin: 16 + 8
                anchors.topMargin: 36
                screen: liveModel
            }

            LiveChromeFooter {
                id: footer
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                player: root.player
                screen: liveModel
            }
        }
    }

    // 4. Quality menu, built while it is open.
    Loader {
        objectName: "liveQualityMenu"
        active: visible
        visible: liveModel.qualityOpen && liveModel.showControls && !liveModel.showSchedule
                 && !liveModel.menuPresented
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: 24
        anchors.bottomMargin: 130
        sourceComponent: LiveQualityMenu {
            selected: liveModel.selectedQuality
            onSelect: (id) => liveModel.selectQuality(id)
            onDismiss: liveModel.dismissQuality()
        }
    }

    // 5. Schedule panel.
    Loader {
        objectName: "liveSchedulePanel"
        active: liveModel.showSchedule
        z: 5
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: Math.min(Math.max(0.38 * root.w, 320), 420)
        sourceComponent: LiveSchedulePanel {
            isOpen: liveModel.showSchedule
            onClose: liveModel.closeSchedule()
        }
    }

    // 6. Loading card (not before the model has said whether the welcome covers it).
    Rectangle {
        objectName: "liveLoadingCard"
        visible: root.appeared && !root.ready && !liveModel.showWelcome
        anchors.centerIn: parent
        width: loading.implicitWidth + 36
        height: loading.implicitHeight + 36
        radius: 14
        color: Qt.rgba(0, 0, 0, 0.72)

        Loader {
            id: loading
            anchors.centerIn: parent
            active: parent.visible
            sourceComponent: LiveLoadingStatus {
                screen: liveModel
                player: root.player
            }
        }
    }

    // 7. Welcome.
    Loader {
        anchors.fill: parent
        active: liveModel.showWelcome
        z: 6
        sourceComponent: LiveWelcomeOverlay {
            opacity: liveModel.welcomeOpacity
            clip: true
            Behavior on opacity {
                NumberAnimation { duration: 350; easing.type: Easing.Linear }
            }
            FirstFrameWatch {
                onShown: liveModel.welcomeOnScreen()
            }
        }
    }

    // Pointer activity anywhere reveals the chrome; clicks, drags and scrolls reach the layers
    // below.
    PointerActivityView {
        anchors.fill: parent
        z: 100
        onMoved: (x, y) => liveModel.pointerAt(x, y)
        onEntered: liveModel.hover(true)
    }
}

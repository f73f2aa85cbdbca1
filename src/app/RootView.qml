import QtQuick
import Orvella

// The whole content of the window: the canvas, the main area with the warm live layer under
// the route layer, the header over the top band, and the menu overlay over everything. The
// root item clips to the window, so no layer ever draws outside it.
Item {
    id: root
    objectName: "rootView"
    clip: true

    RootViewModel {
        id: shell
        objectName: "rootViewModel"
        app: AppModel
    }

    Rectangle {
        anchors.fill: parent
        color: OrvellaTheme.canvas
    }

    Item {
        id: content
        objectName: "content"
        anchors.fill: parent
        anchors.topMargin: shell.contentTopInset

        // The live screen, kept alive while a signed-in viewer is outside the start-up routes;
        // shown and interactive only on live.
        Loader {
            id: liveLayer
            objectName: "liveLayer"
            anchors.fill: parent
            active: shell.keepsLivePlayerWarm
            opacity: shell.liveLayerShown ? 1 : 0
            enabled: shell.liveLayerShown
            clip: true
            onActiveChanged: load()
            Component.onCompleted: load()
            function load() {
                if (active && !item)
                    setSource(shell.liveScreenUrl, { player: AppModel.livePlayer })
            }
        }

        Rectangle {
            id: routeLayer
            objectName: "routeLayer"
            anchors.fill: parent
            visible: shell.routeLayerPresent
            color: OrvellaTheme.canvas

            Loader {
                id: screen
                objectName: "screen"
                anchors.fill: parent
                // A new screen takes the keyboard, so its field that asks for focus gets the typing
                // whichever way the screen was opened (shortcut, header button, menu).
                focus: true
                onLoaded: forceActiveFocus()
                Component.onCompleted: load()
                function load() {
                    if (shell.screenUrl.toString() === "")
                        source = ""
                    else
                        setSource(shell.screenUrl, shell.screenProperties)
                }
                Connections {
                    target: shell
                    function onScreenChanged() { screen.load() }
                }
            }
        }
    }

    // Made the first time a route shows it: the start-up routes have none, and its texts and
    // symbols would make the first frame wait for their fonts.
    Loader {
        objectName: "appHeader"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        visible: shell.showsHeader
        active: false
        onVisibleChanged: if (visible) active = true
        Component.onCompleted: if (visible) active = true
        sourceComponent: AppHeader {
            model: shell
        }
    }

    Loader {
        objectName: "menuOverlay"
        anchors.fill: parent
        active: shell.menuOverlayPresent
        source: "qrc:/Orvella/screens/home/MenuOverlay.qml"
    }
}

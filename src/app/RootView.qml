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
        id: model
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
        anchors.topMargin: model.contentTopInset

        // The live screen, kept alive while a signed-in viewer is outside the start-up routes;
        // shown and interactive only on live.
        Loader {
            id: liveLayer
            objectName: "liveLayer"
            anchors.fill: parent
            active: model.keepsLivePlayerWarm
            opacity: model.liveLayerShown ? 1 : 0
            enabled: model.liveLayerShown
            clip: true
            onActiveChanged: load()
            Component.onCompleted: load()
            function load() {
                if (active && !item)
                    setSource(model.liveScreenUrl, { player: AppModel.livePlayer })
            }
        }

        Rectangle {
            id: routeLayer
            objectName: "routeLayer"
            anchors.fill: parent
            visible: model.routeLayerPresent
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
                    if (model.screenUrl.toString() === "")
                        source = ""
                    else
                        setSource(model.screenUrl, model.screenProperties)
                }
                Connections {
                    target: model
                    function onScreenChanged() { screen.load() }
                }
            }
        }
    }

    AppHeader {
        objectName: "appHeader"
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        visible: model.showsHeader
        model: model
    }

    Loader {
        objectName: "menuOverlay"
        anchors.fill: parent
        active: model.menuOverlayPresent
        source: "qrc:/Orvella/screens/home/MenuOverlay.qml"
    }
}

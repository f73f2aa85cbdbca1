import QtQuick
import QtQuick.Controls
import Orvella

// The home page: hero, quick links and the continue-watching rail scroll as the header of the
// list of the service's rails. Rails and cards are built as they come into view, and a
// refresh keeps those of rails and items still listed. Behaviour lives in HomeScreenModel.
Rectangle {
    id: screen

    color: OrvellaTheme.canvas

    HomeScreenModel {
        id: home
        objectName: "homeScreenModel"
        app: AppModel
    }

    Component.onCompleted: home.appear()
    Component.onDestruction: home.disappear()

    ListView {
        id: list
        objectName: "homeRails"
        anchors.fill: parent
        topMargin: 24
        bottomMargin: 24
        spacing: 24
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
        model: home.rails

        // A list keeps its rows in place when the header above them grows (the continue-watching
        // rail arriving): until the viewer scrolls, the page stays at its top.
        property bool scrolled: false
        onMovementStarted: scrolled = true

        // Lists place their header and rows at x 0: each is a full-width item with its content
        // inset by the page's padding.
        header: Item {
            width: list.width
            height: headerColumn.height
            onHeightChanged: {
                if (!list.scrolled)
                    list.contentY = list.originY - list.topMargin
            }

            Column {
                id: headerColumn
                x: 24
                width: parent.width - 48
                spacing: 24
                bottomPadding: list.count > 0 ? 24 : 0

                HomeScreenHero {
                    width: parent.width
                    title: home.heroTitle
                    subtitle: home.heroSubtitle
                    hasSubtitle: home.hasHeroSubtitle
                    image: home.heroImage
                    pixelSize: home.heroPixelSize
                    onWatchLive: home.navigate(MacRoute.Live)
                    onBrowsePrograms: home.navigate(MacRoute.Programs)
                }

                HomeScreenQuickLinks {
                    width: parent.width
                    links: home.quickLinks
                    onChosen: route => home.navigate(route)
                }

                HomeScreenRail {
                    objectName: "continueWatchingRail"
                    width: parent.width
                    visible: home.continueWatching.count > 0
                    title: "Continue Watching"
                    items: home.continueWatching
                    pixelSize: home.cardPixelSize
                    onOpened: row => home.open(home.continueWatching, row)
                }
            }
        }

        delegate: Item {
            id: railDelegate

            required property string title
            required property HomeScreenRailItems items

            width: list.width
            height: rail.height

            HomeScreenRail {
                id: rail
                x: 24
                width: parent.width - 48
                title: railDelegate.title
                items: railDelegate.items
                pixelSize: home.cardPixelSize
                onOpened: row => home.open(railDelegate.items, row)
            }
        }
    }
}

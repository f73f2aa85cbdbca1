import QtQuick
import Orvella

// The menu over every route: a dimmed backdrop that closes it, and a centred panel with a tile
// per destination and, while an event is announced, a card leading to the countdown. A window
// too low for the whole panel scrolls it. Escape closes it. Behaviour lives in MenuOverlayModel.
Item {
    id: overlay

    MenuOverlayModel {
        id: menu
        objectName: "menuOverlayModel"
        app: AppModel
    }

    // Escape closes it as the close button does, whatever has the keyboard.
    Shortcut {
        objectName: "menuEscape"
        sequences: [StandardKey.Cancel]
        onActivated: menu.close()
    }

    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.55)
    }

    Flickable {
        id: flick
        objectName: "menuScroll"
        anchors.fill: parent
        contentWidth: width
        contentHeight: Math.max(height, panel.height + 2 * margin)
        interactive: contentHeight > height
        boundsBehavior: Flickable.StopAtBounds

        readonly property real margin: 24

        // The backdrop: a click beside the panel closes the menu.
        MouseArea {
            objectName: "menuBackdrop"
            width: flick.contentWidth
            height: flick.contentHeight
            onClicked: menu.close()
        }

        Rectangle {
            id: panel
            objectName: "menuPanel"
            width: Math.min(820, flick.width - 2 * flick.margin)
            height: content.implicitHeight + 56
            x: (flick.width - width) / 2
            y: Math.max(flick.margin, (flick.height - height) / 2)
            radius: 18
            color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.97)
            border.width: 1
            border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.4)

            // Clicks on the panel stay on it.
            MouseArea {
                anchors.fill: parent
            }

            Column {
                id: content
                anchors.fill: parent
                anchors.margins: 28
                spacing: 18

                Item {
                    width: parent.width
                    height: Math.max(menuTitle.implicitHeight, closeButton.implicitHeight)

                    Text {
                        id: menuTitle
                        anchors.left: parent.left
                        anchors.verticalCenter: parent.verticalCenter
                        text: "Menu"
                        color: OrvellaTheme.goldLight
                        font: OrvellaTheme.serifFont(28, Font.Bold)
                    }
                    PlainButton {
                        id: closeButton
                        objectName: "closeMenu"
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        onClicked: menu.close()
                        contentItem: SymbolIcon {
                            symbol: "xmark.circle.fill"
                            size: OrvellaTheme.title2Size
                            color: OrvellaTheme.textSecondary
                        }
                    }
                }

                Grid {
                    id: grid
                    objectName: "menuTiles"
                    width: parent.width
                    columns: 3
                    columnSpacing: 12
                    rowSpacing: 12

                    readonly property real cellWidth: Math.max(10, (width - 2 * columnSpacing) / 3)

                    Repeater {
                        model: menu.tiles
                        MenuOverlayTile {
                            required property var modelData
                            width: grid.cellWidth
                            title: modelData.title
                            symbol: modelData.symbol
                            onClicked: menu.choose(modelData.route)
                        }
                    }
                }

                GlassCard {
                    objectName: "menuEventCard"
                    width: parent.width
                    visible: menu.showsEvent

                    Item {
                        width: parent.width
                        height: Math.max(eventText.implicitHeight, countdownButton.implicitHeight)

                        Column {
                            id: eventText
                            anchors.left: parent.left
                            anchors.right: countdownButton.left
                            anchors.rightMargin: 12
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: 2

                            Text {
                                text: "Upcoming Event"
                                color: OrvellaTheme.textMuted
                                font: OrvellaTheme.font(OrvellaTheme.captionSize)
                            }
                            Text {
                                objectName: "menuEventTitle"
                                width: parent.width
                                text: menu.eventTitle
                                textFormat: Text.PlainText
                                color: OrvellaTheme.goldLight
                                font: OrvellaTheme.font(OrvellaTheme.headlineSize, Font.DemiBold)
                                elide: Text.ElideRight
                            }
                        }
                        GoldButtonStyle {
                            id: countdownButton
                            anchors.right: parent.right
                            anchors.verticalCenter: parent.verticalCenter
                            text: "Countdown"
                            onClicked: menu.choose(MacRoute.Countdown)
                        }
                    }
                }
            }
        }
    }
}

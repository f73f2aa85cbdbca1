import QtQuick
import QtQuick.Controls
import Orvella

// The bar across the top of every route with a header: back (while there is somewhere to go
// back to), the LIVE pill, home, the route's title, and on the right search and menu.
Item {
    id: header

    required property RootViewModel model

    implicitHeight: row.implicitHeight + 24

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: Qt.rgba(0, 0, 0, 0.88) }
            GradientStop { position: 0.5; color: Qt.rgba(0, 0, 0, 0.45) }
            GradientStop { position: 1; color: "transparent" }
        }
    }

    Row {
        id: row
        anchors.left: parent.left
        anchors.leftMargin: 22
        anchors.verticalCenter: parent.verticalCenter
        spacing: 14

        PlainButton {
            objectName: "backButton"
            anchors.verticalCenter: parent.verticalCenter
            visible: AppModel.canGoBack
            onClicked: AppModel.goBack()
            ToolTip.visible: hovered
            ToolTip.delay: 600
            ToolTip.text: header.model.backTooltip
            contentItem: Rectangle {
                implicitWidth: 30
                implicitHeight: 30
                radius: 15
                color: Qt.rgba(1, 1, 1, 0.12)
                SymbolIcon {
                    anchors.centerIn: parent
                    symbol: "chevron.left"
                    size: 14
                }
            }
        }

        PlainButton {
            objectName: "liveButton"
            anchors.verticalCenter: parent.verticalCenter
            onClicked: AppModel.navigate(MacRoute.Live)
            contentItem: Rectangle {
                implicitWidth: liveLabel.implicitWidth + 24
                implicitHeight: liveLabel.implicitHeight + 16
                radius: height / 2
                color: OrvellaTheme.liveRed
                Row {
                    id: liveLabel
                    anchors.centerIn: parent
                    spacing: 6
                    SymbolIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        symbol: "dot.radiowaves.left.and.right"
                        size: 15
                        color: "white"
                    }
                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        text: header.model.liveLabel
                        color: "white"
                        font: OrvellaTheme.monoFont(12, Font.Bold)
                    }
                }
            }
        }

        PlainButton {
            objectName: "homeButton"
            anchors.verticalCenter: parent.verticalCenter
            onClicked: AppModel.navigate(MacRoute.Home)
            contentItem: SymbolIcon {
                symbol: "house.fill"
                size: OrvellaTheme.bodySize
                color: OrvellaTheme.gold
            }
        }

        Text {
            objectName: "routeTitle"
            anchors.verticalCenter: parent.verticalCenter
            text: RouteTable.title(AppModel.route)
            color: "white"
            font: OrvellaTheme.font(14, Font.DemiBold)
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 22
        anchors.verticalCenter: parent.verticalCenter
        spacing: 14

        PlainButton {
            objectName: "searchButton"
            anchors.verticalCenter: parent.verticalCenter
            onClicked: AppModel.navigate(MacRoute.Search)
            contentItem: SymbolIcon {
                symbol: "magnifyingglass"
                size: OrvellaTheme.bodySize
            }
        }

        PlainButton {
            objectName: "menuButton"
            anchors.verticalCenter: parent.verticalCenter
            onClicked: header.model.presentMenuSoon()
            contentItem: Row {
                spacing: 5
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "square.grid.2x2"
                    size: 12
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: header.model.menuLabel
                    color: OrvellaTheme.textPrimary
                    font: OrvellaTheme.font(12, Font.DemiBold)
                }
            }
        }
    }
}

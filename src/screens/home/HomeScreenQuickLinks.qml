import QtQuick
import Orvella

// The row of quick links, scrolling sideways when the window is narrow: each a capsule with
// the route's symbol and the link's label.
ListView {
    id: links

    property var links: []

    signal chosen(int route)

    height: contentItem.childrenRect.height
    orientation: ListView.Horizontal
    spacing: 10
    clip: true
    boundsBehavior: Flickable.StopAtBounds
    model: links.links

    delegate: PlainButton {
        id: link

        required property var modelData

        leftPadding: 12
        rightPadding: 12
        topPadding: 8
        bottomPadding: 8
        onClicked: links.chosen(modelData.route)

        background: Rectangle {
            radius: height / 2
            color: OrvellaTheme.glass
            border.width: 1
            border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)
        }
        contentItem: Row {
            spacing: 6
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: link.modelData.symbol
                color: OrvellaTheme.textPrimary
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: link.modelData.label
                color: OrvellaTheme.textPrimary
                font: OrvellaTheme.font(OrvellaTheme.bodySize)
            }
        }
    }
}

import QtQuick
import QtQuick.Controls
import Orvella

// The three free magazines built into the client: the list beside the selected one's details,
// and "Back to Live". Nothing is fetched, opened or downloaded; the selection lives only as long
// as the page.
Rectangle {
    id: page

    readonly property var magazines: [
        { id: 1, title: "Velmorin", issue: "July 2026",
          description: "Daily devotionals to build your faith.", color: Qt.rgba(0.55, 0.22, 0.18, 1) },
        { id: 2, title: "Sarelle Magazine", issue: "March 2026",
          description: "Articles and testimonies of healing.", color: Qt.rgba(0.18, 0.32, 0.55, 1) },
        { id: 3, title: "Orvella Digest", issue: "Special Edition",
          description: "Highlights from Orvella Live.", color: Qt.rgba(0.45, 0.32, 0.12, 1) }
    ]
    property int selectedId: 1
    // The entry with the selected id, else the first.
    readonly property var selected: magazines.find(m => m.id === selectedId) || magazines[0]

    color: OrvellaTheme.canvas

    Column {
        id: column
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        PlainButton {
            objectName: "backToLive"
            focusPolicy: Qt.StrongFocus
            onClicked: AppModel.navigate(MacRoute.Live)
            contentItem: Row {
                spacing: 6
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    symbol: "chevron.left"
                    size: OrvellaTheme.bodySize
                    color: OrvellaTheme.sky
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "Back to Live"
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.sky
                }
            }
        }

        Text {
            text: "Free Magazine"
            font: OrvellaTheme.serifFont(28, Font.Bold)
            color: OrvellaTheme.goldLight
        }
        Text {
            width: parent.width
            wrapMode: Text.Wrap
            text: "Read and download faith-building magazines — free for everyone."
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.textSecondary
        }

        Row {
            id: content
            width: parent.width
            height: column.height - y
            spacing: 20

            ScrollView {
                id: list
                width: Math.min(340, content.width / 2)
                height: parent.height
                contentWidth: availableWidth

                Column {
                    width: list.availableWidth
                    spacing: 10

                    Repeater {
                        model: page.magazines

                        PlainButton {
                            id: row
                            required property var modelData
                            readonly property bool isSelected: modelData.id === page.selectedId

                            objectName: "magazine-" + modelData.id
                            width: parent.width
                            focusPolicy: Qt.StrongFocus
                            padding: 10
                            onClicked: page.selectedId = modelData.id

                            background: Rectangle {
                                radius: 10
                                color: row.isSelected
                                    ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.14)
                                    : OrvellaTheme.glass
                            }
                            contentItem: Row {
                                spacing: 12
                                Rectangle {
                                    width: 44
                                    height: 64
                                    radius: 6
                                    color: row.modelData.color
                                }
                                Column {
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: row.availableWidth - 44 - 12 - (check.visible ? check.width + 12 : 0)
                                    spacing: 4
                                    Text {
                                        width: parent.width
                                        elide: Text.ElideRight
                                        text: row.modelData.title
                                        font: OrvellaTheme.font(14, Font.DemiBold)
                                        color: "white"
                                    }
                                    Text {
                                        width: parent.width
                                        elide: Text.ElideRight
                                        text: row.modelData.issue
                                        font: OrvellaTheme.font(11)
                                        color: OrvellaTheme.textMuted
                                    }
                                }
                                SymbolIcon {
                                    id: check
                                    objectName: "magazineCheck"
                                    anchors.verticalCenter: parent.verticalCenter
                                    visible: row.isSelected
                                    symbol: "checkmark.circle.fill"
                                    size: OrvellaTheme.bodySize
                                    color: OrvellaTheme.gold
                                }
                            }
                        }
                    }
                }
            }

            Column {
                id: detail
                objectName: "magazineDetail"
                width: content.width - list.width - content.spacing
                spacing: 14

                Rectangle {
                    objectName: "magazineCover"
                    width: parent.width
                    height: 220
                    radius: 12
                    color: page.selected.color
                }
                Text {
                    objectName: "magazineTitle"
                    width: parent.width
                    wrapMode: Text.Wrap
                    text: page.selected.title
                    font: OrvellaTheme.font(OrvellaTheme.title2Size, Font.Bold)
                    color: OrvellaTheme.goldLight
                }
                Text {
                    objectName: "magazineIssue"
                    text: page.selected.issue
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textMuted
                }
                Text {
                    objectName: "magazineDescription"
                    width: parent.width
                    wrapMode: Text.Wrap
                    text: page.selected.description
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textSecondary
                }
                Text {
                    text: "PDF · Free for everyone"
                    font: OrvellaTheme.font(OrvellaTheme.captionSize)
                    color: OrvellaTheme.sky
                }
            }
        }
    }
}

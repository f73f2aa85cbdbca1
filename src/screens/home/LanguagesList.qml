import QtQuick
import QtQuick.Controls
import Orvella

// One titled list of language rows: the label, the code in capitals and, on the chosen row, a
// gold check mark on a gold tint. A row click reports its code (`chosen`).
Column {
    id: list

    property string title
    property var rows: []
    property string selected
    signal chosen(string code)

    spacing: 10

    Text {
        id: heading
        text: list.title
        font: OrvellaTheme.font(OrvellaTheme.headlineSize, Font.DemiBold)
        color: OrvellaTheme.gold
    }

    ScrollView {
        id: scroller
        width: list.width
        height: list.height - heading.height - list.spacing
        contentWidth: availableWidth

        Column {
            width: scroller.availableWidth
            spacing: 6

            Repeater {
                model: list.rows

                PlainButton {
                    id: row
                    required property var modelData
                    // Exact and case-sensitive: a stored "EN" marks no "en" row.
                    readonly property bool isSelected: modelData.code === list.selected

                    objectName: "language-" + modelData.code
                    width: parent.width
                    padding: 10
                    focusPolicy: Qt.StrongFocus
                    onClicked: list.chosen(modelData.code)

                    background: Rectangle {
                        radius: 8
                        color: row.isSelected
                            ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.15)
                            : OrvellaTheme.glass
                    }
                    contentItem: Item {
                        implicitHeight: Math.max(label.implicitHeight, code.implicitHeight)

                        Text {
                            id: label
                            anchors.left: parent.left
                            anchors.right: code.left
                            anchors.rightMargin: 8
                            anchors.verticalCenter: parent.verticalCenter
                            text: row.modelData.label
                            textFormat: Text.PlainText
                            // Leading like every other label, whatever the script's direction.
                            horizontalAlignment: Text.AlignLeft
                            elide: Text.ElideRight
                            font: OrvellaTheme.font(OrvellaTheme.bodySize)
                            color: "white"
                        }
                        Text {
                            id: code
                            anchors.right: check.visible ? check.left : parent.right
                            anchors.rightMargin: check.visible ? 8 : 0
                            anchors.verticalCenter: parent.verticalCenter
                            text: row.modelData.codeText
                            textFormat: Text.PlainText
                            font: OrvellaTheme.monoFont(OrvellaTheme.captionSize)
                            color: OrvellaTheme.textMuted
                        }
                        SymbolIcon {
                            id: check
                            objectName: "languageCheck"
                            anchors.right: parent.right
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
}

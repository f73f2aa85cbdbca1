import QtQuick
import QtQuick.Controls
import Orvella

// One titled list of language rows: the label, the code in capitals and, on the chosen row, a
// gold check mark on a gold tint. A row click reports its code (`chosen`). Rows are built as they
// scroll into view, so a list of thousands opens at once.
Column {
    id: list

    property string title
    property LanguageRows rows
    property string selected
    signal chosen(string code)

    spacing: 10

    Text {
        id: heading
        text: list.title
        font: OrvellaTheme.font(OrvellaTheme.headlineSize, Font.DemiBold)
        color: OrvellaTheme.gold
    }

    ListView {
        id: rowList
        objectName: "languageRows"
        width: list.width
        height: list.height - heading.height - list.spacing
        clip: true
        spacing: 6
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
        model: list.rows

        delegate: PlainButton {
            id: row
            required property string code
            required property string label
            required property string codeText
            // Exact and case-sensitive: a stored "EN" marks no "en" row.
            readonly property bool isSelected: code === list.selected

            objectName: "language-" + code
            width: rowList.width - (rowList.ScrollBar.vertical.visible ? rowList.ScrollBar.vertical.width : 0)
            padding: 10
            focusPolicy: Qt.StrongFocus
            onClicked: list.chosen(code)

            background: Rectangle {
                radius: 8
                color: row.isSelected
                    ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.15)
                    : OrvellaTheme.glass
            }
            contentItem: Item {
                implicitHeight: Math.max(labelText.implicitHeight, codeLabel.implicitHeight)

                Text {
                    id: labelText
                    anchors.left: parent.left
                    anchors.right: codeLabel.left
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.label
                    textFormat: Text.PlainText
                    // Leading like every other label, whatever the script's direction.
                    horizontalAlignment: Text.AlignLeft
                    elide: Text.ElideRight
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: "white"
                }
                Text {
                    id: codeLabel
                    anchors.right: check.visible ? check.left : parent.right
                    anchors.rightMargin: check.visible ? 8 : 0
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.codeText
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

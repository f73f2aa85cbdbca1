import QtQuick
import QtQuick.Dialogs
import QtQuick.Window
import Orvella

// The "Virtual Background" section's body: a caption, the two-column grid of preset cells and
// the custom-file button.
Column {
    id: picker

    required property BackgroundPickerModel model

    spacing: 10

    Text {
        width: parent.width
        text: "Places in Jerusalem and Israel from the earthly ministry told in the Gospels, plus the Orvella branded sets."
        wrapMode: Text.WordWrap
        color: OrvellaTheme.textMuted
        font: OrvellaTheme.font(9)
    }

    Grid {
        id: grid
        width: parent.width
        columns: 2
        columnSpacing: 8
        rowSpacing: 8

        Repeater {
            model: picker.model

            delegate: Item {
                id: cell
                required property int index
                required property string title
                required property string fill
                required property color fromColor
                required property color toColor
                required property string imageSource
                required property string symbol
                required property color symbolColor
                required property int symbolSize
                required property bool selected

                width: (grid.width - grid.columnSpacing) / 2
                height: box.height + 4 + label.height

                Item {
                    id: box
                    width: parent.width
                    height: 48

                    PresetSwatchView {
                        anchors.fill: parent
                        fill: cell.fill
                        fromColor: cell.fromColor
                        toColor: cell.toColor
                        imageSource: cell.imageSource
                        symbol: cell.symbol
                        symbolColor: cell.symbolColor
                        symbolSize: cell.symbolSize
                    }
                    SymbolIcon {
                        anchors.centerIn: parent
                        visible: cell.selected
                        symbol: "checkmark.circle.fill"
                        color: OrvellaTheme.gold
                    }
                    Rectangle {
                        anchors.fill: parent
                        radius: 8
                        color: "transparent"
                        border.width: 1
                        border.color: cell.selected ? OrvellaTheme.gold : Qt.rgba(1, 1, 1, 0.15)
                    }
                }

                Text {
                    id: label
                    anchors.top: box.bottom
                    anchors.topMargin: 4
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    text: cell.title
                    color: "white"
                    font: OrvellaTheme.font(9, Font.DemiBold)
                    elide: Text.ElideRight
                    maximumLineCount: 1
                }

                MouseArea {
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    onClicked: picker.model.choose(cell.index)
                }
            }
        }
    }

    BorderedButton {
        width: Math.min(implicitWidth, parent.width)
        symbol: "plus.rectangle.on.rectangle"
        text: picker.model.customButtonText
        onClicked: {
            // Each opening starts where pictures are kept, or where the last file was chosen.
            backgroundDialog.currentFolder = picker.model.chooserFolder
            backgroundDialog.open()
        }
    }

    FileDialog {
        id: backgroundDialog
        objectName: "backgroundDialog"
        parentWindow: picker.Window.window
        title: "Choose a background"
        fileMode: FileDialog.OpenFile
        nameFilters: picker.model.fileNameFilters
        onAccepted: picker.model.chooseCustomFile(selectedFile)
    }
}

import QtQuick
import Orvella

// A library that cannot be shown: its symbol, what is unavailable and why, centred in at least
// 420 points of height, with any buttons the page adds below (centred by the page).
Item {
    id: pane

    property string symbol
    property string title
    property string message
    default property alias actions: stack.data

    implicitHeight: Math.max(420, stack.implicitHeight)

    Column {
        id: stack
        anchors.centerIn: parent
        width: Math.min(pane.width, 560)
        spacing: 12

        SymbolIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            symbol: pane.symbol
            size: 35 // drawn at 42
            color: OrvellaTheme.gold
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: pane.title
            font: OrvellaTheme.font(20, Font.Bold)
            color: "white"
        }
        Text {
            objectName: "libraryUnavailableText"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: pane.message
            textFormat: Text.PlainText
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.textSecondary
            wrapMode: Text.Wrap
            maximumLineCount: 6
            elide: Text.ElideRight
        }
    }
}

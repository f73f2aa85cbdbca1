import QtQuick
import Orvella

// A pill of the episode chrome (quality, "More"): a symbol and a short bold text on a faint
// rounded fill, 42 high.
PlainButton {
    id: pill

    property string symbol

    focusPolicy: Qt.NoFocus

    contentItem: Rectangle {
        implicitWidth: row.implicitWidth + 22
        implicitHeight: 42
        radius: 9
        color: Qt.rgba(1, 1, 1, 0.14)

        Row {
            id: row
            anchors.centerIn: parent
            spacing: 5
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                symbol: pill.symbol
                size: 11
                color: "white"
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: pill.text
                textFormat: Text.PlainText
                color: "white"
                font: OrvellaTheme.font(11, Font.Bold)
            }
        }
    }
}

import QtQuick
import QtQuick.Templates as T
import Orvella

// The primary button: a gold gradient with black label text, corners of radius 10, drawn at
// 85 % opacity while pressed and at 45 % while disabled. `symbol` puts a symbol before the
// text; `busy` shows a small spinner in place of the label.
T.Button {
    id: control

    property string symbol
    property bool busy: false

    implicitWidth: Math.max(implicitBackgroundWidth, implicitContentWidth + leftPadding + rightPadding)
    implicitHeight: Math.max(implicitBackgroundHeight, implicitContentHeight + topPadding + bottomPadding)
    leftPadding: 16
    rightPadding: 16
    topPadding: 10
    bottomPadding: 10
    spacing: 6
    hoverEnabled: true
    focusPolicy: Qt.StrongFocus
    opacity: !enabled ? 0.45 : (down ? 0.85 : 1)

    font.family: OrvellaTheme.sansFamily
    font.pixelSize: 14
    font.weight: Font.DemiBold

    contentItem: Item {
        implicitWidth: control.busy ? spinner.implicitWidth : label.implicitWidth
        implicitHeight: Math.max(label.implicitHeight, control.busy ? spinner.implicitHeight : 0)

        Row {
            id: label
            anchors.centerIn: parent
            spacing: control.spacing
            visible: !control.busy

            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                visible: control.symbol !== ""
                symbol: control.symbol
                size: control.font.pixelSize
                color: Qt.rgba(0, 0, 0, 0.85)
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: control.text
                textFormat: Text.PlainText
                font: control.font
                color: Qt.rgba(0, 0, 0, 0.85)
                elide: Text.ElideRight
            }
        }

        BusySpinner {
            id: spinner
            anchors.centerIn: parent
            visible: control.busy
            running: control.busy
            color: Qt.rgba(0, 0, 0, 0.85)
            diameter: 16
        }
    }

    background: RoundedFill {
        radius: 10
        fromColor: OrvellaTheme.goldLight
        toColor: OrvellaTheme.gold
    }
}

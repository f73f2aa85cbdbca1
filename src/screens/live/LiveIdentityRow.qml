import QtQuick
import QtQuick.Layouts
import Orvella

// The top row of the chrome: LIVE badge, station title, minister, viewers and Refresh.
RowLayout {
    id: row

    required property LiveScreenModel screen

    spacing: 12

    ColumnLayout {
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignTop
        spacing: 5

        RowLayout {
            spacing: 9
            Layout.fillWidth: true

            Rectangle {
                implicitWidth: badge.implicitWidth + 18
                implicitHeight: badge.implicitHeight + 10
                radius: height / 2
                color: OrvellaTheme.liveRed
                Text {
                    id: badge
                    anchors.centerIn: parent
                    text: "LIVE"
                    color: "white"
                    font: OrvellaTheme.monoFont(11, Font.Bold)
                }
            }

            Text {
                objectName: "liveTitle"
                Layout.fillWidth: true
                text: row.screen.liveDisplayTitle
                textFormat: Text.PlainText
                color: "white"
                font: OrvellaTheme.serifFont(18, Font.Bold)
                maximumLineCount: 1
                elide: Text.ElideRight
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: Math.round(18 * 0.7)
            }
        }

        Text {
            visible: row.screen.minister !== ""
            text: row.screen.minister
            textFormat: Text.PlainText
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.font(12, Font.Medium)
            maximumLineCount: 1
            elide: Text.ElideRight
            Layout.fillWidth: true
        }
    }

    RowLayout {
        spacing: 10
        Layout.alignment: Qt.AlignTop

        Row {
            visible: row.screen.viewersLabel !== ""
            spacing: 4
            SymbolIcon {
                symbol: "eye.fill"
                size: 11
                color: OrvellaTheme.textSecondary
            }
            Text {
                width: Math.min(implicitWidth, 220)
                text: row.screen.viewersLabel
                textFormat: Text.PlainText
                maximumLineCount: 1
                elide: Text.ElideRight
                color: OrvellaTheme.textSecondary
                font: OrvellaTheme.font(11, Font.Medium)
            }
        }

        Rectangle {
            objectName: "liveRefreshButton"
            implicitWidth: refreshLabel.implicitWidth + 20
            implicitHeight: 32
            radius: 16
            color: Qt.rgba(0, 0, 0, 0.56)
            Row {
                id: refreshLabel
                anchors.centerIn: parent
                spacing: 5
                SymbolIcon {
                    symbol: "arrow.clockwise"
                    size: 11
                    color: "white"
                }
                Text {
                    text: "Refresh"
                    color: "white"
                    font: OrvellaTheme.font(11, Font.DemiBold)
                }
            }
            TapHandler {
                onTapped: row.screen.refresh()
            }
        }
    }
}

import QtQuick
import Orvella

// The home layout of HomeScreen.qml with Qt's own Image for every picture (asynchronous,
// decoded at 200 pixels), over the same models: the baseline of home_bench.
Rectangle {
    id: screen

    color: OrvellaTheme.canvas

    HomeScreenModel {
        id: home
        app: AppModel
    }

    ListView {
        id: list
        anchors.fill: parent
        topMargin: 24
        bottomMargin: 24
        spacing: 24
        clip: true
        model: home.rails

        header: Column {
            x: 24
            width: list.width - 48
            spacing: 24
            bottomPadding: 24

            Image {
                width: parent.width
                height: 280
                asynchronous: true
                sourceSize: Qt.size(200, 200)
                fillMode: Image.PreserveAspectCrop
                source: home.heroImage
            }
            Row {
                spacing: 10
                Repeater {
                    model: home.quickLinks
                    Rectangle {
                        required property var modelData
                        width: label.implicitWidth + 24
                        height: label.implicitHeight + 16
                        radius: height / 2
                        color: OrvellaTheme.glass
                        Text {
                            id: label
                            anchors.centerIn: parent
                            text: modelData.label
                            color: OrvellaTheme.textPrimary
                        }
                    }
                }
            }
        }

        delegate: Column {
            id: rail
            required property string title
            required property HomeScreenRailItems items
            x: 24
            width: list.width - 48
            spacing: 12

            Text {
                text: rail.title
                color: OrvellaTheme.goldLight
                font: OrvellaTheme.font(18, Font.DemiBold)
            }
            ListView {
                width: rail.width
                height: 186
                orientation: ListView.Horizontal
                spacing: 14
                clip: true
                model: rail.items
                delegate: Column {
                    id: card
                    required property string title
                    required property string image
                    required property string programTitle
                    spacing: 8
                    Image {
                        objectName: "homeCardPicture"
                        width: 210
                        height: 118
                        asynchronous: true
                        sourceSize: Qt.size(200, 200)
                        fillMode: Image.PreserveAspectCrop
                        source: card.image
                    }
                    Text {
                        width: 210
                        text: card.title
                        color: "white"
                        font: OrvellaTheme.font(13, Font.DemiBold)
                        wrapMode: Text.Wrap
                        maximumLineCount: 2
                    }
                    Text {
                        width: 210
                        text: card.programTitle
                        color: OrvellaTheme.textMuted
                        font: OrvellaTheme.font(11)
                    }
                }
            }
        }
    }
}

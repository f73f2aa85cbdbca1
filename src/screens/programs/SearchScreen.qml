import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Orvella

// The search field, the error line of the last failed search and the hits, each with its
// thumbnail, title and kind line. Behaviour lives in SearchScreenModel.
Item {
    id: root

    SearchScreenModel {
        id: screen
        objectName: "searchScreenModel"
        app: AppModel
    }

    Component.onDestruction: screen.disappear()

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        Text {
            text: "Search"
            font: OrvellaTheme.font(OrvellaTheme.title2Size, Font.Bold)
            color: OrvellaTheme.goldLight
        }

        ThemedTextField {
            objectName: "searchField"
            Layout.fillWidth: true
            focus: true
            placeholderText: "Search episodes and programs"
            text: screen.query
            onTextEdited: screen.query = text
        }

        Text {
            objectName: "searchError"
            Layout.fillWidth: true
            visible: screen.errorText !== ""
            text: screen.errorText
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.liveRed
        }

        ListView {
            id: hits
            objectName: "searchResults"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            spacing: 1
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded }
            model: screen.results

            delegate: PlainButton {
                id: hit
                required property var modelData
                required property int index

                width: hits.width
                padding: 8
                leftPadding: 10
                rightPadding: 10
                onClicked: screen.open(index)

                background: Rectangle {
                    color: OrvellaTheme.navy
                }

                contentItem: RowLayout {
                    spacing: 12

                    RemoteImage {
                        Layout.preferredWidth: 96
                        Layout.preferredHeight: 54
                        url: hit.modelData.image
                        cornerRadius: 10
                        targetPixelSize: 200
                    }
                    ColumnLayout {
                        Layout.fillWidth: true
                        spacing: 3
                        Text {
                            Layout.fillWidth: true
                            text: hit.modelData.title
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(OrvellaTheme.bodySize)
                            color: "white"
                            elide: Text.ElideRight
                        }
                        Text {
                            Layout.fillWidth: true
                            text: hit.modelData.subtitle
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(OrvellaTheme.captionSize)
                            color: OrvellaTheme.textMuted
                            elide: Text.ElideRight
                        }
                    }
                }
            }
        }
    }
}

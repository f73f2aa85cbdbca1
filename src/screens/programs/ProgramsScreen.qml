import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Orvella

// The programmes grid under its title and Refresh button; a placeholder grid while nothing is
// there to show, one red line when nothing could be loaded. Behaviour lives in
// ProgramsScreenModel.
Item {
    id: root

    ProgramsScreenModel {
        id: screen
        objectName: "programsScreenModel"
        app: AppModel
    }

    Component.onCompleted: screen.appear()
    Component.onDestruction: screen.disappear()

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 28
            Layout.rightMargin: 28
            Layout.topMargin: 18
            Layout.bottomMargin: 18
            spacing: 8

            Column {
                spacing: 3
                Text {
                    text: "Programs"
                    font: OrvellaTheme.serifFont(28, Font.Bold)
                    color: OrvellaTheme.goldLight
                }
                Text {
                    text: "Watch teachings, documentaries and special broadcasts"
                    font: OrvellaTheme.font(12)
                    color: OrvellaTheme.textMuted
                }
            }
            Item {
                Layout.fillWidth: true
            }
            BorderedButton {
                objectName: "programsRefresh"
                text: "Refresh"
                symbol: "arrow.clockwise"
                enabled: !screen.loading
                onClicked: screen.refresh()
            }
        }

        Text {
            objectName: "programsError"
            Layout.fillWidth: true
            Layout.margins: 16
            visible: screen.showsError
            text: screen.errorText
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.liveRed
        }

        ProgramsGrid {
            objectName: "programsGrid"
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: !screen.showsSkeleton && !screen.showsError
            programs: screen.programs
            onSelected: row => screen.select(row)
        }

        ProgramsGrid {
            objectName: "programsSkeleton"
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: screen.showsSkeleton
            placeholders: 12
            bottomMargin: 0
        }

        Item {
            Layout.fillHeight: true
            visible: screen.showsError
        }
    }
}

import QtQuick
import QtQuick.Layouts
import Orvella

// The lower half of the live footer: eight cells of equal width, seven buttons and the
// "SHOWING NEXT" block. Each button calls its own callback and nothing else.
Item {
    id: bar

    property string showingNext
    signal languages
    signal give
    signal herald
    signal testimony
    signal magazine
    signal schedule
    signal menu

    implicitHeight: 52 + 16

    LiveVideoControlsModel {
        id: format
    }

    // The glyphs stand on the line of the text font, whichever font draws them.
    FontMetrics {
        id: glyphLine
        font: OrvellaTheme.font(14)
    }

    ClickShield {
        anchors.fill: parent
    }

    Rectangle {
        anchors.fill: parent
        gradient: Gradient {
            GradientStop { position: 0; color: "transparent" }
            GradientStop { position: 1; color: Qt.rgba(0, 0, 0, 0.85) }
        }
    }
    Rectangle {
        anchors.top: parent.top
        width: parent.width
        height: 1
        color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.2)
    }

    component Cell: Rectangle {
        id: cell
        property string glyph
        // Named, so that no fallback font is searched for the glyph.
        property string glyphFamily: OrvellaTheme.emojiFamily
        property string title
        property bool highlighted: false
        signal activated

        Layout.fillWidth: true
        Layout.preferredWidth: 1
        Layout.minimumWidth: 0
        implicitHeight: 52
        radius: 6
        clip: true
        color: highlighted ? "transparent" : Qt.rgba(1, 1, 1, 0.06)
        gradient: highlighted ? giveGradient : null
        border.width: 1
        border.color: highlighted ? Qt.rgba(OrvellaTheme.liveRed.r, OrvellaTheme.liveRed.g, OrvellaTheme.liveRed.b, 0.5)
                                  : Qt.rgba(1, 1, 1, 0.1)

        Gradient {
            id: giveGradient
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: Qt.rgba(OrvellaTheme.liveRed.r, OrvellaTheme.liveRed.g, OrvellaTheme.liveRed.b, 0.4) }
            GradientStop { position: 1; color: Qt.rgba(0.545, 0.227, 0.545, 0.4) }
        }

        Column {
            anchors.centerIn: parent
            width: parent.width - 4
            spacing: 3
            Item {
                width: parent.width
                height: glyphLine.height
                Text {
                    anchors.baseline: parent.top
                    anchors.baselineOffset: glyphLine.ascent
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    text: cell.glyph
                    color: "white"
                    font.family: cell.glyphFamily
                    font.pixelSize: 14
                }
            }
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: cell.title
                color: "white"
                font: OrvellaTheme.font(9, Font.DemiBold)
                maximumLineCount: 1
                elide: Text.ElideRight
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 5
            }
        }

        TapHandler {
            onTapped: cell.activated()
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 12
        anchors.rightMargin: 12
        anchors.topMargin: 8
        anchors.bottomMargin: 8
        spacing: 4

        Cell { objectName: "liveLanguagesButton"; glyph: "🌐"; title: "Languages"; onActivated: bar.languages() }
        Cell { objectName: "liveGiveButton"; glyph: "\u2764"; glyphFamily: OrvellaTheme.textSymbolFamily; title: "Give"; highlighted: true; onActivated: bar.give() }
        Cell { objectName: "liveHeraldButton"; glyph: "📣"; title: "Become Herald"; onActivated: bar.herald() }
        Cell { objectName: "liveTestimonyButton"; glyph: "✦"; glyphFamily: OrvellaTheme.textSymbolFamily; title: "Share Testimony"; onActivated: bar.testimony() }
        Cell { objectName: "liveProgramsButton"; glyph: "📖"; title: "Programs"; onActivated: bar.magazine() }
        Cell { objectName: "liveScheduleButton"; glyph: "📅"; title: "TV Schedule"; onActivated: bar.schedule() }

        Column {
            objectName: "liveShowingNext"
            Layout.fillWidth: true
            Layout.preferredWidth: 1
            Layout.minimumWidth: 0
            Layout.preferredHeight: 52
            spacing: 2
            Item { width: 1; height: (52 - 2 - 14 - 13) / 2 }
            Text {
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: "SHOWING NEXT"
                color: OrvellaTheme.gold
                font: OrvellaTheme.font(11, Font.Bold)
                maximumLineCount: 1
                elide: Text.ElideRight
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 8
            }
            Text {
                objectName: "liveNextTitle"
                width: parent.width
                horizontalAlignment: Text.AlignHCenter
                text: format.nextTitle(bar.showingNext)
                textFormat: Text.PlainText
                color: OrvellaTheme.textMuted
                font: OrvellaTheme.font(10)
                maximumLineCount: 1
                elide: Text.ElideRight
                fontSizeMode: Text.HorizontalFit
                minimumPixelSize: 7
            }
        }

        Cell { objectName: "liveMenuButton"; glyph: "☰"; glyphFamily: OrvellaTheme.textSymbolFamily; title: "MENU"; onActivated: bar.menu() }
    }
}

import QtQuick
import Orvella

// The home banner: the hero picture under a darkening gradient, the title, the subtitle and
// the two ways in (live, programmes).
Item {
    id: hero

    property string title
    property string subtitle
    property bool hasSubtitle
    property string image
    property int pixelSize: 900

    signal watchLive()
    signal browsePrograms()

    height: 280

    RemoteImage {
        objectName: "homeHeroPicture"
        anchors.fill: parent
        url: hero.image
        cornerRadius: 18
        targetPixelSize: hero.pixelSize
    }
    // Smooth rounded corners on every scene graph.
    RoundedFill {
        anchors.fill: parent
        radius: 18
        fromColor: "transparent"
        toColor: Qt.rgba(0, 0, 0, 0.85)
    }
    Column {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.margins: 24
        spacing: 10

        Text {
            objectName: "homeHeroTitle"
            width: parent.width
            text: hero.title
            textFormat: Text.PlainText
            color: "white"
            font: OrvellaTheme.serifFont(32, Font.Bold)
            elide: Text.ElideRight
        }
        Text {
            width: parent.width
            visible: hero.hasSubtitle
            text: hero.subtitle
            textFormat: Text.PlainText
            color: OrvellaTheme.textSecondary
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            elide: Text.ElideRight
        }
        Row {
            spacing: 12
            GoldButtonStyle {
                anchors.verticalCenter: parent.verticalCenter
                text: "Watch Live"
                onClicked: hero.watchLive()
            }
            BorderedButton {
                anchors.verticalCenter: parent.verticalCenter
                text: "Browse Programs"
                onClicked: hero.browsePrograms()
            }
        }
    }
}

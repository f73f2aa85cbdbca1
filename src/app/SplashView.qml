import QtQuick
import QtQuick.Shapes
import Orvella

// Shown while start-up restores the sign-in and decides where to go.
Item {
    id: splash

    readonly property string fillPath: "M 0 0 L " + width + " 0 L " + width + " " + height + " L 0 "
                                       + height + " Z"

    StartupScreenModel {
        id: texts
    }

    Shape {
        anchors.fill: parent
        ShapePath {
            strokeWidth: -1
            strokeColor: "transparent"
            fillGradient: LinearGradient {
                x1: 0
                y1: 0
                x2: splash.width
                y2: splash.height
                GradientStop { position: 0; color: Qt.rgba(0.024, 0.051, 0.102, 1) }
                GradientStop { position: 0.5; color: OrvellaTheme.navy }
                GradientStop { position: 1; color: OrvellaTheme.navyDeep }
            }
            PathSvg { path: splash.fillPath }
        }
        ShapePath {
            strokeWidth: -1
            strokeColor: "transparent"
            fillGradient: RadialGradient {
                centerX: splash.width / 2
                centerY: splash.height / 2
                centerRadius: 280
                focalX: centerX
                focalY: centerY
                focalRadius: 20
                GradientStop {
                    position: 0
                    color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.2)
                }
                GradientStop { position: 1; color: "transparent" }
            }
            PathSvg { path: splash.fillPath }
        }
    }

    Column {
        id: stack
        anchors.centerIn: parent
        width: Math.min(splash.width - 56, Math.max(title.implicitWidth, message.implicitWidth, 560))
        spacing: 15

        Text {
            objectName: "tagline"
            anchors.horizontalCenter: parent.horizontalCenter
            text: texts.tagline
            color: OrvellaTheme.sky
            font.family: OrvellaTheme.sansFamily
            font.pixelSize: 11
            font.weight: Font.DemiBold
            font.letterSpacing: 4
        }
        Text {
            id: title
            objectName: "welcomeTitle"
            width: parent.width
            text: texts.welcomeTitle
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.serifFont(34, Font.DemiBold)
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
        Text {
            id: message
            objectName: "welcomeMessage"
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(parent.width, 560)
            text: texts.welcomeMessage
            color: OrvellaTheme.textSecondary
            font: OrvellaTheme.font(13)
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
        }
        // The dots stand 10 further down than the spacing alone.
        Item {
            anchors.horizontalCenter: parent.horizontalCenter
            width: dots.implicitWidth
            height: dots.implicitHeight + 10
            StartupWelcomeDots {
                id: dots
                anchors.bottom: parent.bottom
            }
        }
    }
}

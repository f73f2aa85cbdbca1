import QtQuick
import QtQuick.Shapes
import Orvella

// The first-run welcome over the live picture. Its fade is run by the live screen's model.
Item {
    id: overlay

    DiagonalGradient {
        anchors.fill: parent
        GradientStop { position: 0; color: Qt.rgba(0.024, 0.051, 0.102, 1) }
        GradientStop { position: 0.5; color: OrvellaTheme.navy }
        GradientStop { position: 1; color: OrvellaTheme.navyDeep }
    }

    Shape {
        anchors.fill: parent
        ShapePath {
            strokeWidth: -1
            strokeColor: "transparent"
            fillGradient: RadialGradient {
                centerX: overlay.width / 2
                centerY: overlay.height / 2
                focalX: centerX
                focalY: centerY
                centerRadius: 280
                focalRadius: 20
                GradientStop { position: 0; color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.2) }
                GradientStop { position: 1; color: "transparent" }
            }
            startX: 0
            startY: 0
            PathLine { x: overlay.width; y: 0 }
            PathLine { x: overlay.width; y: overlay.height }
            PathLine { x: 0; y: overlay.height }
            PathLine { x: 0; y: 0 }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 15

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "ORVELLA TV · LIVE CHANNEL"
            color: OrvellaTheme.sky
            font.family: OrvellaTheme.sansFamily
            font.pixelSize: 11
            font.weight: Font.DemiBold
            font.letterSpacing: 4
        }
        Text {
            objectName: "liveWelcomeTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Welcome to Orvella TV"
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.serifFont(36, Font.DemiBold)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(600, overlay.width - 48)
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "Join Pastor Arlend live for services of salvation and miracles, reaching hearts in every nation around the world."
            color: OrvellaTheme.textSecondary
            font: OrvellaTheme.font(14)
        }
        Item {
            anchors.horizontalCenter: parent.horizontalCenter
            width: dots.implicitWidth
            height: dots.implicitHeight + 8
            StartupWelcomeDots {
                id: dots
                y: 8
            }
        }
    }
}

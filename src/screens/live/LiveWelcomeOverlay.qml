import QtQuick
import Orvella

// The first-run welcome over the live picture. Its fade is run by the live screen's model.
Item {
    id: overlay

    WelcomeBackdrop {
        anchors.fill: parent
    }

    Column {
        anchors.centerIn: parent
        spacing: 15

        OrvellaLogo {
            objectName: "liveWelcomeLogo"
            anchors.horizontalCenter: parent.horizontalCenter
        }
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

import QtQuick
import Orvella

// Shown while start-up restores the sign-in and decides where to go.
Item {
    id: splash

    StartupScreenModel {
        id: texts
    }

    WelcomeBackdrop {
        anchors.fill: parent
    }

    Column {
        id: stack
        anchors.centerIn: parent
        width: Math.min(splash.width - 56, Math.max(title.implicitWidth, message.implicitWidth, 560))
        spacing: 15

        OrvellaLogo {
            objectName: "logo"
            anchors.horizontalCenter: parent.horizontalCenter
        }
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

import QtQuick
import Orvella

// Shown while the service is unavailable; Retry starts over from the splash.
Item {
    StartupScreenModel {
        id: texts
        app: AppModel
    }

    Column {
        anchors.centerIn: parent
        spacing: 16

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: texts.maintenanceTitle
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.displayFont
        }
        GoldButtonStyle {
            objectName: "retryButton"
            anchors.horizontalCenter: parent.horizontalCenter
            text: texts.retryLabel
            onClicked: texts.retry()
        }
    }
}

import QtQuick
import Orvella

// The loading card's content: a spinner with the player's status, or the failure text with
// a Retry button.
Column {
    id: status

    required property LiveScreenModel screen
    required property PlayerController player

    spacing: 12

    BusySpinner {
        anchors.horizontalCenter: parent.horizontalCenter
        visible: !status.screen.hasError
        running: visible
        diameter: 32
        color: OrvellaTheme.gold
    }

    Text {
        objectName: "liveLoadingText"
        anchors.horizontalCenter: parent.horizontalCenter
        text: status.screen.hasError ? status.screen.errorText
                                     : (status.player ? status.player.statusText : "")
        textFormat: Text.PlainText
        color: status.screen.hasError ? OrvellaTheme.liveRed : OrvellaTheme.textSecondary
        font: OrvellaTheme.font(13, Font.Medium)
    }

    GoldButtonStyle {
        objectName: "liveRetryButton"
        anchors.horizontalCenter: parent.horizontalCenter
        visible: status.screen.hasError
        text: "Retry"
        onClicked: status.screen.retry()
    }
}

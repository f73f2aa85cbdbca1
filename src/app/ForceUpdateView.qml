import QtQuick
import Orvella

// Shown when the configuration asks for a newer client. Nothing here leads away.
Item {
    StartupScreenModel {
        id: texts
        app: AppModel
    }

    Column {
        anchors.centerIn: parent
        width: Math.min(parent.width - 40, Math.max(title.implicitWidth, 420))
        spacing: 16

        Text {
            id: title
            anchors.horizontalCenter: parent.horizontalCenter
            text: texts.updateTitle
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.displayFont
        }
        Text {
            objectName: "updateMessage"
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.min(parent.width, implicitWidth, 420)
            text: texts.updateMessage
            color: OrvellaTheme.textSecondary
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
        }
    }
}

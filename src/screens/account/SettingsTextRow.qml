import QtQuick
import QtQuick.Layouts
import Orvella

// A labelled text row of the profile: the caption above a rounded-border field whose
// placeholder repeats it. Only typing writes the field back (`edited`).
ColumnLayout {
    id: row

    property string title
    property string value
    signal edited(string text)

    spacing: 6

    Text {
        text: row.title
        textFormat: Text.PlainText
        font: OrvellaTheme.font(OrvellaTheme.captionSize)
        color: OrvellaTheme.textMuted
    }
    ThemedTextField {
        objectName: "settingsField-" + row.title
        Layout.fillWidth: true
        placeholderText: row.title
        text: row.value
        onTextEdited: row.edited(text)
    }
}

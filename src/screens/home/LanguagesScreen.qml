import QtQuick
import QtQuick.Controls
import Orvella

// Stream and caption languages side by side, both narrowed by one search field. Behaviour
// lives in LanguagesScreenModel.
Item {
    id: root

    LanguagesScreenModel {
        id: screen
        objectName: "languagesScreenModel"
        app: AppModel
    }

    Column {
        id: column
        anchors.fill: parent
        anchors.margins: 24
        spacing: 16

        Text {
            text: "Languages & Captions"
            font: OrvellaTheme.font(OrvellaTheme.title2Size, Font.Bold)
            color: OrvellaTheme.goldLight
        }
        Text {
            width: parent.width
            wrapMode: Text.Wrap
            text: "Stream language changes the live feed. Caption language is preferred when tracks are available."
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.textSecondary
        }
        // Shown only after a choice that could not be stored.
        Text {
            objectName: "languagesSaveMessage"
            visible: screen.saveMessage !== ""
            width: parent.width
            wrapMode: Text.Wrap
            text: screen.saveMessage
            textFormat: Text.PlainText
            font: OrvellaTheme.font(12, Font.Medium)
            color: OrvellaTheme.liveRed
        }
        ThemedTextField {
            objectName: "languageFilter"
            width: parent.width
            placeholderText: "Search languages"
            text: screen.filter
            onTextEdited: screen.filter = text
        }

        Row {
            id: lists
            width: parent.width
            height: column.height - y
            spacing: 24

            LanguagesList {
                objectName: "streamLanguages"
                width: (lists.width - lists.spacing) / 2
                height: lists.height
                title: "Stream language"
                rows: screen.languageRows
                selected: screen.streamLanguage
                onChosen: code => screen.chooseStreamLanguage(code)
            }
            LanguagesList {
                objectName: "captionLanguages"
                width: (lists.width - lists.spacing) / 2
                height: lists.height
                title: "Caption language"
                rows: screen.languageRows
                selected: screen.captionLanguage
                onChosen: code => screen.chooseCaptionLanguage(code)
            }
        }
    }
}

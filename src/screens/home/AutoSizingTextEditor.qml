import QtQuick
import QtQuick.Controls
import Orvella

// A multi-line plain-text editor whose height follows its text at its current width, between
// `minimumHeight` and `maximumHeight`; at the maximum the vertical scroll bar shows and the text
// scrolls inside. `text` is the owner's value: typing reports `edited`, and a value set from
// outside replaces the contents only when it differs, so caret and selection survive an echo.
// No hint is drawn in the empty editor; `placeholder` reaches assistive tools only.
ScrollView {
    id: editor

    property string text
    property string placeholder
    signal edited(string text)

    readonly property real minimumHeight: 104
    readonly property real maximumHeight: 280
    // Room above and below the laid-out text.
    readonly property real allowance: 28
    readonly property real wantedHeight: Math.min(maximumHeight,
        Math.max(minimumHeight, area.contentHeight + allowance))
    readonly property bool scrolls: wantedHeight >= maximumHeight
    readonly property alias textArea: area

    implicitHeight: wantedHeight
    height: wantedHeight
    contentWidth: availableWidth
    ScrollBar.vertical.policy: scrolls ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

    Component.onCompleted: area.text = text
    onTextChanged: {
        if (area.text !== text)
            area.text = text
    }

    TextArea {
        id: area
        objectName: "storyEditor"

        textFormat: TextEdit.PlainText
        wrapMode: TextEdit.Wrap
        padding: 12
        color: "white"
        selectionColor: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.45)
        selectedTextColor: "white"
        font: OrvellaTheme.font(14)
        selectByMouse: true
        persistentSelection: true
        background: null
        Accessible.name: editor.placeholder

        onTextChanged: {
            if (text !== editor.text)
                editor.edited(text)
        }
    }
}

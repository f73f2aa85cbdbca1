import QtQuick
import QtQuick.Controls
import Orvella

// A multi-line plain-text editor whose height follows its text at its current width, between
// `minimumHeight` and `maximumHeight`; at the maximum the vertical scroll bar shows and the text
// scrolls inside. `text` is the owner's value: typing reports `edited`, and a value set from
// outside replaces the contents only when it differs, so caret and selection survive an echo.
// No hint is drawn in the empty editor; `placeholder` reaches assistive tools only. The owner
// may keep less than was typed (a bound on the text): the editor then shows what it kept. With
// `pasteFilter` set, pastes (keys, or a middle click from the selection) insert what it gives
// for the range they replace, so a huge clipboard never reaches the editor's layout.
ScrollView {
    id: editor

    property string text
    property string placeholder
    // function (start, end, fromSelection) returning the text to insert, or null.
    property var pasteFilter: null
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
            show(text)
    }

    // Replaces the contents; the caret stays where it was as far as the new text reaches.
    function show(value) {
        const at = area.cursorPosition
        area.text = value
        area.cursorPosition = Math.min(at, area.length)
    }

    function paste(fromSelection) {
        const start = area.selectionStart
        const end = area.selectionEnd
        const inserted = editor.pasteFilter(start, end, fromSelection)
        if (end > start)
            area.remove(start, end)
        area.insert(start, inserted)
        area.cursorPosition = start + inserted.length
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
            if (text === editor.text)
                return
            editor.edited(text)
            if (text !== editor.text)
                editor.show(editor.text)
        }

        Keys.onPressed: event => {
            if (editor.pasteFilter && event.matches(StandardKey.Paste)) {
                event.accepted = true
                editor.paste(false)
            }
        }

        MouseArea {
            anchors.fill: parent
            acceptedButtons: editor.pasteFilter ? Qt.MiddleButton : Qt.NoButton
            cursorShape: Qt.IBeamCursor
            onClicked: mouse => {
                area.forceActiveFocus()
                area.cursorPosition = area.positionAt(mouse.x, mouse.y)
                editor.paste(true)
            }
        }
    }
}

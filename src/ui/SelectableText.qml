import QtQuick
import Orvella

// Read-only plain text the viewer can select with the mouse or keyboard and copy, for
// addresses and codes. Nothing it shows is interpreted as markup. Once clicked it keeps only the
// keys it uses (copying, selecting), so the window's shortcuts still work.
TextEdit {
    id: control

    readOnly: true
    selectByMouse: true
    selectByKeyboard: true
    persistentSelection: false
    activeFocusOnPress: true
    activeFocusOnTab: true
    textFormat: TextEdit.PlainText
    wrapMode: TextEdit.WrapAnywhere
    color: OrvellaTheme.textPrimary
    selectionColor: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.45)
    selectedTextColor: "white"
    font: OrvellaTheme.font(OrvellaTheme.bodySize)

    ReadOnlyTextKeys {
        target: control
    }
}

import QtQuick
import Orvella

// A settings card holding one switch. The switch always shows `value`: a flip reports
// `toggled` and the owner writes the value, so a change from elsewhere shows as well.
SettingsCard {
    id: card

    property alias text: toggle.text
    property bool value
    signal toggled(bool on)

    ThemedToggle {
        id: toggle
        objectName: "settingsToggle-" + text
        width: parent.width
        checked: card.value
        onToggled: {
            card.toggled(checked)
            checked = Qt.binding(() => card.value)
        }
    }
}

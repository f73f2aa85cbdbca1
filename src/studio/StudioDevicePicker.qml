import QtQuick
import QtQuick.Controls
import Orvella

// A titled pop-up of capture devices ({id, name} maps). Its current row is always read back
// from the controller, so a refused choice shows the device still in use.
Row {
    id: picker

    required property string title
    required property var devices
    required property string selectedID
    signal picked(string id)

    spacing: 8

    function rowOf(id) {
        for (let i = 0; i < devices.length; ++i) {
            if (devices[i].id === id)
                return i
        }
        return -1
    }

    Text {
        anchors.verticalCenter: parent.verticalCenter
        text: picker.title
        color: OrvellaTheme.textPrimary
        font: OrvellaTheme.font(12)
    }

    ComboBox {
        id: combo
        width: picker.width - x
        model: picker.devices
        textRole: "name"
        valueRole: "id"
        currentIndex: picker.rowOf(picker.selectedID)
        font: OrvellaTheme.font(12)
        indicator: SymbolIcon {
            x: combo.width - width - 8
            y: (combo.height - height) / 2
            symbol: "chevron.up.chevron.down"
            size: 11
            color: OrvellaTheme.textSecondary
        }
        onActivated: index => {
            picker.picked(picker.devices[index].id)
            currentIndex = Qt.binding(() => picker.rowOf(picker.selectedID))
        }
    }
}

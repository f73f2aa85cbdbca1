import QtQuick
import QtQuick.Controls
import Orvella

// A menu item in the window's dark colours, with its keyboard shortcut shown at the right.
MenuItem {
    id: item

    property string shortcutText

    // Never checkable and never a submenu: the style's check mark and arrow pictures would only
    // be loaded and hidden.
    indicator: null
    arrow: null

    contentItem: Item {
        implicitWidth: label.implicitWidth + keys.implicitWidth + 32
        implicitHeight: label.implicitHeight
        Text {
            id: label
            anchors.left: parent.left
            anchors.verticalCenter: parent.verticalCenter
            text: item.text
            font: item.font
            color: item.highlighted ? "black" : OrvellaTheme.textPrimary
        }
        Text {
            id: keys
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            text: item.shortcutText
            font: item.font
            color: item.highlighted ? "black" : OrvellaTheme.textMuted
        }
    }
}

import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Orvella

// One column of the sign-in card, padded 28; it scrolls when the card is shorter than its
// content, so every control stays reachable in a small window, also from the keyboard.
Flickable {
    id: pane

    default property alias content: inner.data

    clip: true
    contentWidth: width
    contentHeight: inner.childrenRect.height + 56
    boundsBehavior: Flickable.StopAtBounds
    interactive: contentHeight > height

    ScrollBar.vertical: ScrollBar {
        policy: pane.contentHeight > pane.height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff
    }

    // Brings a control that Tab moved to into view.
    Connections {
        target: pane.Window.window
        function onActiveFocusItemChanged() {
            const item = pane.Window.activeFocusItem
            let ancestor = item
            while (ancestor && ancestor !== inner)
                ancestor = ancestor.parent
            if (!ancestor || pane.contentHeight <= pane.height)
                return
            const top = item.mapToItem(inner, 0, 0).y + inner.y - 8
            const bottom = top + item.height + 16
            if (top < pane.contentY)
                pane.contentY = Math.max(0, top)
            else if (bottom > pane.contentY + pane.height)
                pane.contentY = Math.min(pane.contentHeight - pane.height, bottom - pane.height)
        }
    }

    Item {
        id: inner
        x: 28
        y: 28
        width: pane.width - 56
    }
}

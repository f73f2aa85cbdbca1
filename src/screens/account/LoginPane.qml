import QtQuick
import QtQuick.Controls
import Orvella

// One column of the sign-in card, padded 28; it scrolls when the card is shorter than its
// content, so every control stays reachable in a small window.
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

    Item {
        id: inner
        x: 28
        y: 28
        width: pane.width - 56
    }
}

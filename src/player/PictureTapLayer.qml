import QtQuick

// Clicks on the picture, behind a player's chrome. An item, never a TapHandler: Qt Quick hands
// a press to the pointer handlers of every item under the pointer, even after a control above
// took it, while an item gets only the clicks that no item above it took. Groups of controls
// lie on a ClickShield, so that a click between them stays theirs.
MouseArea {
    signal tapped

    onClicked: tapped()
}

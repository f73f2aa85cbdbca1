import QtQuick

// Laid under a group of a player's controls (or a panel over the picture): it takes the clicks
// that fall between them, so that only a click on the picture reaches the PictureTapLayer.
MouseArea {
    acceptedButtons: Qt.AllButtons
}

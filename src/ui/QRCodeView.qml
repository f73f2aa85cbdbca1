import QtQuick
import Orvella

// Any text as a QR code filling a white `size` × `size` square, or "QR unavailable" when no
// code can be made.
Item {
    id: view

    property string text
    property real size: 180

    implicitWidth: size
    implicitHeight: size

    Rectangle {
        anchors.centerIn: parent
        width: view.size
        height: view.size
        color: "white"
        visible: code.available
    }

    QrCodeItem {
        id: code
        anchors.centerIn: parent
        width: view.size
        height: view.size
        text: view.text
    }

    Text {
        anchors.centerIn: parent
        width: view.size
        visible: !code.available
        text: code.unavailableText
        color: OrvellaTheme.textMuted
        font: OrvellaTheme.font(OrvellaTheme.bodySize)
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
    }
}

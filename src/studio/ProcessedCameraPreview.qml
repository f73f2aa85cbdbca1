import QtQuick
import QtQuick.Controls
import Orvella

// The studio's live picture: the latest processed frame, or a waiting indicator until the first
// one arrives. The picture fills the view (its overflow cut off) with corners of `cornerRadius`.
Item {
    id: root

    property var image
    property bool hasImage: false
    property real cornerRadius: 0

    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: "black"
    }

    StudioPreviewItem {
        anchors.fill: parent
        visible: root.hasImage
        image: root.image
        cornerRadius: root.cornerRadius
    }

    Column {
        anchors.centerIn: parent
        spacing: 10
        visible: !root.hasImage

        BusyIndicator {
            anchors.horizontalCenter: parent.horizontalCenter
            running: visible
            palette.dark: Qt.rgba(0.831, 0.659, 0.325, 1)
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: qsTr("Waiting for camera…")
            font.pixelSize: 12
            color: Qt.rgba(1, 1, 1, 0.68)
        }
    }
}

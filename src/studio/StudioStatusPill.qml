import QtQuick
import Orvella

// The recording state as a capsule: a dot (red while recording) and the state's label.
Rectangle {
    id: pill

    required property string label
    required property bool recording

    implicitWidth: row.implicitWidth + 20
    implicitHeight: row.implicitHeight + 14
    radius: height / 2
    color: Qt.rgba(0, 0, 0, 0.68)

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 7

        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 8
            height: 8
            radius: 4
            color: pill.recording ? OrvellaTheme.liveRed : OrvellaTheme.gold
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: pill.label
            color: "white"
            font: OrvellaTheme.monoFont(10, Font.Bold)
        }
    }
}

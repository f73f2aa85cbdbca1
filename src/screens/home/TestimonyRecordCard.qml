import QtQuick
import QtQuick.Layouts
import Orvella

// The testimony form's right-hand card: the way to the studio and, when the configuration names
// a testimony portal, its address as a QR code for a phone.
Rectangle {
    id: card

    property string portalAddress
    signal openStudio()

    implicitWidth: 320
    implicitHeight: content.implicitHeight + 44
    radius: 18
    color: Qt.rgba(OrvellaTheme.navyDeep.r, OrvellaTheme.navyDeep.g, OrvellaTheme.navyDeep.b, 0.72)
    border.width: 1
    border.color: Qt.rgba(OrvellaTheme.sky.r, OrvellaTheme.sky.g, OrvellaTheme.sky.b, 0.3)

    ColumnLayout {
        id: content
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.margins: 22
        spacing: 16

        Rectangle {
            Layout.alignment: Qt.AlignHCenter
            implicitWidth: 116
            implicitHeight: 116
            radius: 58
            color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.1)
            SymbolIcon {
                anchors.centerIn: parent
                symbol: "video.fill"
                size: 42
                color: OrvellaTheme.gold
            }
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            text: "Record it beautifully"
            font: OrvellaTheme.serifFont(19, Font.Bold)
            color: "white"
        }
        Text {
            Layout.fillWidth: true
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "Use the Testimony Studio for camera, microphone, teleprompter and recording tools."
            font: OrvellaTheme.font(12)
            color: OrvellaTheme.textSecondary
        }
        GoldButtonStyle {
            objectName: "openTestimonyStudio"
            Layout.alignment: Qt.AlignHCenter
            symbol: "sparkles"
            text: "Open Testimony Studio"
            onClicked: card.openStudio()
        }

        Rectangle {
            Layout.fillWidth: true
            visible: card.portalAddress !== ""
            implicitHeight: 1
            color: OrvellaTheme.glassBorder
        }
        QRCodeView {
            objectName: "portalCode"
            Layout.alignment: Qt.AlignHCenter
            visible: card.portalAddress !== ""
            size: 118
            text: card.portalAddress
        }
        Text {
            Layout.alignment: Qt.AlignHCenter
            visible: card.portalAddress !== ""
            text: "Or scan with your phone"
            font: OrvellaTheme.font(10)
            color: OrvellaTheme.textMuted
        }
    }
}

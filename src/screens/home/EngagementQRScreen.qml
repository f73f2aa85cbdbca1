import QtQuick
import Orvella

// One of the service's web pages for a phone or the browser: the title, the subtitle, the
// address as a QR code and as selectable text, and "Open in Browser"; one red line when there
// is no address. The root view builds it with a checked web link (or none) with its fully
// encoded text, which the QR code and the button use whole, and that text bounded for the line
// that shows it; it builds the page anew when the link changes.
Item {
    id: screen

    property string title
    property string subtitle
    property url url
    property string address
    property string addressText

    readonly property bool hasUrl: address !== ""

    Column {
        anchors.centerIn: parent
        width: Math.min(parent.width - 48, 720)
        spacing: 18

        Text {
            objectName: "engagementTitle"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: screen.title
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font: OrvellaTheme.serifFont(30, Font.Bold)
            color: OrvellaTheme.goldLight
        }
        Text {
            objectName: "engagementSubtitle"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            text: screen.subtitle
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.textSecondary
        }

        QRCodeView {
            objectName: "engagementCode"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: screen.hasUrl
            size: 220
            text: screen.address
        }
        SelectableText {
            objectName: "engagementAddress"
            width: parent.width
            visible: screen.hasUrl
            horizontalAlignment: TextEdit.AlignHCenter
            text: screen.addressText
            font: OrvellaTheme.monoFont(12)
            color: OrvellaTheme.sky
        }
        GoldButtonStyle {
            objectName: "openInBrowser"
            anchors.horizontalCenter: parent.horizontalCenter
            visible: screen.hasUrl
            text: "Open in Browser"
            onClicked: Qt.openUrlExternally(screen.url)
        }

        Text {
            objectName: "engagementUnavailable"
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            visible: !screen.hasUrl
            text: "URL unavailable from config"
            font: OrvellaTheme.font(OrvellaTheme.bodySize)
            color: OrvellaTheme.liveRed
        }
    }
}

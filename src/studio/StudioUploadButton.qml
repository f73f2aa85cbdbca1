import QtQuick
import Orvella

// The gold upload button of the ready card and the transport: a spinner and disabled while an
// upload runs.
GoldButtonStyle {
    required property bool uploading

    objectName: "uploadButton"

    symbol: "arrow.up.circle.fill"
    text: "Upload to Orvella"
    busy: uploading
    enabled: !uploading
}

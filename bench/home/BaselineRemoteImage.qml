import QtQuick

// Stands in for RemoteImage in the baseline run of home_bench: Qt's own Image, asynchronous,
// decoded at 200 pixels, with RemoteImage's properties.
Image {
    property string url
    property real cornerRadius
    property real targetPixelSize
    readonly property bool hasImage: status === Image.Ready

    source: url
    asynchronous: true
    sourceSize: Qt.size(200, 200)
    fillMode: Image.PreserveAspectCrop
    clip: true
}

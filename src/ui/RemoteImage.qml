import QtQuick
import Orvella

// A picture from the service: a navy rounded placeholder with a shimmer until the picture,
// decoded at `targetPixelSize` (the longest side in pixels), arrives. A picture already in the
// memory cache shows on the first frame. An empty `url` draws the placeholder alone.
Item {
    id: root

    property string url
    property real cornerRadius: 0
    property real targetPixelSize: 300
    readonly property bool hasImage: picture.hasImage

    // Under the shimmer (which takes the navy into its own colours) or a picture without
    // transparent pixels it would not show: it is drawn only where it does.
    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: OrvellaTheme.navyDeep
        visible: !shimmer.visible && !picture.opaque
    }

    ThumbnailShimmer {
        id: shimmer
        objectName: "shimmer"
        anchors.fill: parent
        cornerRadius: root.cornerRadius
        backgroundColor: OrvellaTheme.navyDeep
        visible: !picture.hasImage && root.url !== ""
    }

    RemoteImageItem {
        id: picture
        anchors.fill: parent
        url: root.url
        targetPixelSize: root.targetPixelSize
        cornerRadius: root.cornerRadius
    }
}

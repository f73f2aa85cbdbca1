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

    Rectangle {
        anchors.fill: parent
        radius: root.cornerRadius
        color: OrvellaTheme.navyDeep
    }

    ThumbnailShimmer {
        objectName: "shimmer"
        anchors.fill: parent
        cornerRadius: root.cornerRadius
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

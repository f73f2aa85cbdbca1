import QtQuick

// A gradient from the top-left to the bottom-right corner of the item. A plain rectangle's
// vertical gradient, turned to lie along the diagonal and clipped to the item, draws with the
// material every rectangle shares, so no shader of its own is built for the first frame.
Item {
    id: area

    default property alias stops: fill.stops
    readonly property real diagonal: Math.sqrt(width * width + height * height)

    clip: true

    Rectangle {
        // 0 at the top-left corner, 1 at the bottom-right, and wide enough across the diagonal
        // to cover the other two corners.
        width: area.diagonal > 0 ? 2 * area.width * area.height / area.diagonal : 0
        height: area.diagonal
        x: (area.width - width) / 2
        y: (area.height - height) / 2
        rotation: -Math.atan2(area.width, area.height) * 180 / Math.PI
        gradient: Gradient {
            id: fill
        }
    }
}

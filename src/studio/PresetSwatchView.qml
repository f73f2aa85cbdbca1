import QtQuick
import Orvella

// The static miniature of a background preset: a two-colour gradient, a plain colour or the
// preset's picture (black when it is not there), with its symbol centred on top, all inside
// corners of radius 8.
Item {
    id: swatch

    required property string fill
    required property color fromColor
    required property color toColor
    required property string imageSource
    required property string symbol
    required property color symbolColor
    required property int symbolSize

    RoundedFill {
        anchors.fill: parent
        visible: swatch.fill === "vertical" || swatch.fill === "diagonal"
        radius: 8
        diagonal: swatch.fill === "diagonal"
        fromColor: swatch.fromColor
        toColor: swatch.toColor
    }

    Rectangle {
        anchors.fill: parent
        radius: 8
        visible: swatch.fill === "solid" || swatch.fill === "picture"
        color: swatch.fromColor
    }

    // Decoded on a worker thread at the swatch's own size.
    SwatchPicture {
        anchors.fill: parent
        visible: swatch.fill === "picture"
        cornerRadius: 8
        source: swatch.imageSource
    }

    SymbolIcon {
        anchors.centerIn: parent
        visible: swatch.symbol !== ""
        symbol: swatch.symbol
        size: swatch.symbolSize > 0 ? swatch.symbolSize : OrvellaTheme.bodySize
        color: swatch.symbolColor.a > 0 ? swatch.symbolColor : "white"
    }
}

import QtQuick
import Qt5Compat.GraphicalEffects
import Orvella

// The static miniature of a background preset: a two-colour gradient, a plain colour or the
// preset's picture (black when it is not there), with its symbol centred on top. Rounded with
// corners of radius 8 by the cell around it.
Item {
    id: swatch

    required property string fill
    required property color fromColor
    required property color toColor
    required property string imageSource
    required property string symbol
    required property color symbolColor
    required property int symbolSize
    // The rounded picture needs a shader; the software scene graph shows it square-cornered.
    readonly property bool effects: GraphicsInfo.api !== GraphicsInfo.Software

    Rectangle {
        id: roundShape
        anchors.fill: parent
        radius: 8
        visible: false
    }

    StudioGradientRect {
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
        id: picture
        anchors.fill: parent
        visible: swatch.fill === "picture" && !swatch.effects
        source: swatch.imageSource
    }
    OpacityMask {
        anchors.fill: parent
        visible: swatch.fill === "picture" && swatch.effects && picture.ready
        source: picture
        maskSource: roundShape
    }

    SymbolIcon {
        anchors.centerIn: parent
        visible: swatch.symbol !== ""
        symbol: swatch.symbol
        size: swatch.symbolSize > 0 ? swatch.symbolSize : OrvellaTheme.bodySize
        color: swatch.symbolColor.a > 0 ? swatch.symbolColor : "white"
    }
}

pragma Singleton
import QtQuick
import Orvella

// The one dark palette, the font families and the fixed text-style sizes every screen uses.
// Sizes are in logical pixels, which stand for points throughout the client.
QtObject {
    readonly property color canvas: Qt.rgba(0.024, 0.051, 0.094, 1)
    readonly property color navy: Qt.rgba(0.039, 0.086, 0.157, 1)
    readonly property color navyDeep: Qt.rgba(0.051, 0.122, 0.235, 1)
    readonly property color gold: Qt.rgba(0.831, 0.659, 0.325, 1)
    readonly property color goldLight: Qt.rgba(0.941, 0.843, 0.549, 1)
    readonly property color sky: Qt.rgba(0.176, 0.49, 0.824, 1)
    readonly property color liveRed: Qt.rgba(0.902, 0.224, 0.275, 1)
    readonly property color textPrimary: Qt.rgba(1, 1, 1, 0.94)
    readonly property color textSecondary: Qt.rgba(1, 1, 1, 0.68)
    readonly property color textMuted: Qt.rgba(1, 1, 1, 0.45)
    readonly property color glass: Qt.rgba(1, 1, 1, 0.06)
    readonly property color glassBorder: Qt.rgba(1, 1, 1, 0.12)

    // "System font" and its serif and monospaced designs; all three come from tools/setup.
    readonly property string sansFamily: "Noto Sans"
    readonly property string serifFamily: "Noto Serif"
    readonly property string monoFamily: "Noto Sans Mono"
    readonly property string emojiFamily: "Noto Color Emoji"
    // Text symbols that are not emoji (✦, ☰, ❤ drawn as text).
    readonly property string textSymbolFamily: "Noto Sans Symbols2"
    readonly property string symbolFamily: SymbolGlyphs.fontFamily

    // Text styles, one fixed size each.
    readonly property real largeTitleSize: 26
    readonly property real title1Size: 22
    readonly property real title2Size: 17
    readonly property real title3Size: 15
    readonly property real headlineSize: 13
    readonly property real bodySize: 13
    readonly property real calloutSize: 12
    readonly property real subheadlineSize: 11
    readonly property real footnoteSize: 10
    readonly property real captionSize: 10
    readonly property real caption2Size: 10

    // The display font: serif design, large-title size, semibold.
    readonly property font displayFont: Qt.font({
        family: serifFamily,
        pixelSize: largeTitleSize,
        weight: Font.DemiBold
    })

    // A font of the sans family at a size and weight, for bindings such as
    // `font: OrvellaTheme.font(14, Font.DemiBold)`.
    function font(size, weight) {
        return Qt.font({ family: sansFamily, pixelSize: size, weight: weight === undefined ? Font.Normal : weight })
    }
    function serifFont(size, weight) {
        return Qt.font({ family: serifFamily, pixelSize: size, weight: weight === undefined ? Font.Normal : weight })
    }
    function monoFont(size, weight) {
        return Qt.font({ family: monoFamily, pixelSize: size, weight: weight === undefined ? Font.Normal : weight })
    }
}

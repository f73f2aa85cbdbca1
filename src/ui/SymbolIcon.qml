import QtQuick
import Orvella

// One named symbol ("house.fill", "chevron.left", …) drawn as a glyph of the icon font.
// `size` is the pixel size of the font the symbol stands beside; the glyph is drawn a little
// larger so that it matches the cap height of text of that size.
Text {
    id: icon

    property string symbol
    property real size: OrvellaTheme.bodySize

    text: SymbolGlyphs.glyph(symbol)
    color: OrvellaTheme.textPrimary
    font.family: SymbolGlyphs.fontFamily
    font.pixelSize: Math.round(size * 1.2)
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    textFormat: Text.PlainText
    renderType: Text.QtRendering
}

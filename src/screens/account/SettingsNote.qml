import QtQuick
import Orvella

// A note row of the settings: small muted text that wraps.
Text {
    font: OrvellaTheme.font(11)
    color: OrvellaTheme.textMuted
    wrapMode: Text.Wrap
    textFormat: Text.PlainText
}

import QtQuick
import QtQuick.Layouts
import Orvella

// The top of a library's list: the programme's banner, the "Episodes" heading with an optional
// count, and the load's error line under it.
Column {
    id: header

    property string title
    property string image
    property string countText
    property string errorText

    spacing: 18

    ProgramBanner {
        objectName: "libraryBanner"
        width: header.width
        height: 128
        title: header.title
        image: header.image
    }

    Column {
        width: header.width
        spacing: 6

        RowLayout {
            width: parent.width

            Text {
                text: "Episodes"
                font: OrvellaTheme.font(19, Font.DemiBold)
                color: OrvellaTheme.goldLight
            }
            Item { Layout.fillWidth: true }
            Text {
                objectName: "libraryCount"
                visible: header.countText !== ""
                text: header.countText
                textFormat: Text.PlainText
                font: OrvellaTheme.font(12, Font.Medium)
                color: OrvellaTheme.textMuted
            }
        }

        Text {
            objectName: "libraryErrorLine"
            width: parent.width
            visible: header.errorText !== ""
            text: header.errorText
            textFormat: Text.PlainText
            font: OrvellaTheme.font(OrvellaTheme.calloutSize)
            color: OrvellaTheme.textSecondary
            maximumLineCount: 1
            elide: Text.ElideRight
        }
    }
}

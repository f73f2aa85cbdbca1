import QtQuick
import Orvella

// A row of joined segments, one per text of `segments`, the one equal to `current` highlighted.
// A press (or Space, Return, Left and Right while focused) reports the segment through
// `picked(value)`; the owner sets `current`.
FocusScope {
    id: control

    property var segments: []
    property string current
    property real maximumWidth: Infinity
    signal picked(string value)

    readonly property int currentIndex: segments.indexOf(current)

    // Equal segments, each wide enough for the longest label.
    readonly property real segmentWidth: {
        let widest = 0
        for (let i = 0; i < measure.count; ++i)
            widest = Math.max(widest, measure.itemAt(i).implicitWidth)
        return widest + 28
    }

    implicitWidth: Math.min(maximumWidth, segments.length * segmentWidth + 4)
    implicitHeight: 28
    activeFocusOnTab: true

    function pick(index) {
        if (index >= 0 && index < segments.length)
            control.picked(segments[index])
    }

    Keys.onLeftPressed: pick(Math.max(0, currentIndex - 1))
    Keys.onRightPressed: pick(Math.min(segments.length - 1, currentIndex + 1))

    Rectangle {
        anchors.fill: parent
        radius: 7
        color: Qt.rgba(1, 1, 1, 0.07)
        border.width: control.activeFocus ? 2 : 1
        border.color: control.activeFocus ? OrvellaTheme.gold : OrvellaTheme.glassBorder
    }

    Repeater {
        id: measure
        model: control.segments
        Text {
            required property string modelData
            visible: false
            text: modelData
            font: OrvellaTheme.font(12, Font.DemiBold)
        }
    }

    Row {
        id: row
        anchors.fill: parent
        anchors.margins: 2

        Repeater {
            model: control.segments

            Rectangle {
                id: segment
                required property string modelData
                required property int index
                readonly property bool selected: index === control.currentIndex

                objectName: "segment-" + modelData
                width: row.width / Math.max(1, control.segments.length)
                height: row.height
                radius: 5
                color: selected ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.28)
                    : (tap.pressed ? Qt.rgba(1, 1, 1, 0.08) : "transparent")

                Text {
                    id: label
                    anchors.centerIn: parent
                    text: segment.modelData
                    font: OrvellaTheme.font(12, segment.selected ? Font.DemiBold : Font.Normal)
                    color: segment.selected ? OrvellaTheme.goldLight : OrvellaTheme.textPrimary
                    textFormat: Text.PlainText
                }

                TapHandler {
                    id: tap
                    onTapped: {
                        control.forceActiveFocus(Qt.MouseFocusReason)
                        control.pick(segment.index)
                    }
                }
            }
        }
    }
}

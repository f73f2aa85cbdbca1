import QtQuick
import QtQuick.Controls
import Orvella

// The schedule side panel: title, today's date and the time zone with Refresh and Close, then
// what is live now, up next and coming up. Opening it and Refresh force a schedule load.
Rectangle {
    id: panel

    property bool isOpen: false
    signal close

    color: Qt.rgba(8 / 255, 16 / 255, 35 / 255, 0.94)

    LiveScheduleModel {
        id: schedule
        objectName: "liveScheduleModel"
        app: AppModel
        isOpen: panel.isOpen
    }

    // Clicks on the panel stay on the panel.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => wheel.accepted = false
    }

    Rectangle {
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: 1
        color: Qt.rgba(1, 1, 1, 0.12)
    }

    component ToolButton: Item {
        id: tool
        property string title
        property alias label: glyph.text
        property bool busy: false
        signal activated
        width: 32
        height: 32
        Text {
            id: glyph
            anchors.centerIn: parent
            visible: !tool.busy
            color: OrvellaTheme.goldLight
            font: OrvellaTheme.font(15)
        }
        BusySpinner {
            anchors.centerIn: parent
            visible: tool.busy
            running: visible
            diameter: 14
            color: OrvellaTheme.goldLight
        }
        HoverHandler { id: hover }
        ToolTip.visible: hover.hovered
        ToolTip.text: tool.title
        TapHandler { onTapped: tool.activated() }
    }

    component ScheduleRow: Item {
        id: scheduleRow
        property var item
        width: parent ? parent.width : 0
        implicitHeight: Math.max(clock.implicitHeight, texts.implicitHeight) + 16
        Text {
            id: clock
            y: 8
            width: 44
            text: scheduleRow.item.clock ?? ""
            color: OrvellaTheme.gold
            font: OrvellaTheme.monoFont(11)
        }
        Column {
            id: texts
            x: 54
            y: 8
            width: parent.width - x
            Text {
                width: parent.width
                text: scheduleRow.item.title ?? ""
                color: scheduleRow.item.emphasize ? OrvellaTheme.goldLight : OrvellaTheme.textPrimary
                font: OrvellaTheme.font(12, Font.Bold)
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                textFormat: Text.PlainText
            }
            Item { width: 1; height: 2 }
            Text {
                width: parent.width
                text: scheduleRow.item.subtitle ?? ""
                color: OrvellaTheme.textMuted
                font: OrvellaTheme.font(12)
                wrapMode: Text.Wrap
                maximumLineCount: 2
                elide: Text.ElideRight
                textFormat: Text.PlainText
            }
        }
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: Qt.rgba(1, 1, 1, 0.06)
        }
    }

    component SectionLabel: Text {
        color: OrvellaTheme.gold
        font: OrvellaTheme.font(11, Font.Bold)
        topPadding: 8
        bottomPadding: 6
        textFormat: Text.PlainText
    }

    Column {
        anchors.fill: parent
        anchors.topMargin: 36
        anchors.rightMargin: 10
        anchors.bottomMargin: 8

        // Header.
        Item {
            width: parent.width
            height: header.implicitHeight + 14
            Column {
                id: header
                x: 16
                y: 14
                width: parent.width - 32 - tools.width - 10
                spacing: 3
                Text {
                    text: "TV Schedule"
                    color: OrvellaTheme.gold
                    font: OrvellaTheme.font(16, Font.DemiBold)
                }
                Text {
                    objectName: "liveHeaderDate"
                    text: schedule.headerDate
                    color: OrvellaTheme.textSecondary
                    font: OrvellaTheme.font(12)
                }
                Text {
                    objectName: "liveTimeZone"
                    text: schedule.timeZone
                    color: OrvellaTheme.textSecondary
                    font: OrvellaTheme.font(11, Font.Medium)
                }
            }
            Row {
                id: tools
                anchors.right: parent.right
                anchors.rightMargin: 16
                y: 14
                spacing: 4
                ToolButton {
                    objectName: "liveScheduleRefresh"
                    title: "Refresh"
                    label: "↻"
                    busy: schedule.isLoading
                    onActivated: schedule.refresh()
                }
                ToolButton {
                    objectName: "liveScheduleClose"
                    title: "Close"
                    label: "✕"
                    onActivated: panel.close()
                }
            }
        }

        ScrollView {
            width: parent.width
            height: parent.height - y
            contentWidth: availableWidth
            ScrollBar.vertical.policy: ScrollBar.AlwaysOn

            Column {
                x: 16
                y: 12
                width: parent.width - 32
                bottomPadding: 16

                Text {
                    objectName: "liveScheduleLoading"
                    visible: schedule.content === LiveScheduleModel.Loading
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    topPadding: 30
                    bottomPadding: 30
                    text: "Loading schedule…"
                    color: OrvellaTheme.textMuted
                    font: OrvellaTheme.font(12)
                }

                Text {
                    objectName: "liveScheduleEmpty"
                    visible: schedule.content === LiveScheduleModel.Empty
                    width: parent.width
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    topPadding: 30
                    bottomPadding: 30
                    text: "Schedule unavailable — retry later."
                    color: OrvellaTheme.textMuted
                    font: OrvellaTheme.font(12)
                }

                Column {
                    visible: schedule.content === LiveScheduleModel.Sections
                    width: parent.width

                    // Live now.
                    Item {
                        visible: schedule.liveNow.title !== undefined
                        width: parent.width
                        height: visible ? card.height + 10 : 0
                        Rectangle {
                            id: card
                            objectName: "liveNowCard"
                            width: parent.width
                            height: cardColumn.implicitHeight + 24
                            radius: 10
                            color: Qt.rgba(230 / 255, 57 / 255, 70 / 255, 0.12)
                            border.width: 1
                            border.color: Qt.rgba(230 / 255, 57 / 255, 70 / 255, 0.35)
                            clip: true
                            Column {
                                id: cardColumn
                                x: 12
                                y: 12
                                width: parent.width - 24
                                Row {
                                    spacing: 8
                                    bottomPadding: 6
                                    Rectangle {
                                        anchors.verticalCenter: parent.verticalCenter
                                        width: 8
                                        height: 8
                                        radius: 4
                                        color: OrvellaTheme.liveRed
                                    }
                                    Text {
                                        text: "Live Now"
                                        color: OrvellaTheme.liveRed
                                        font: OrvellaTheme.font(11, Font.Bold)
                                    }
                                }
                                Text {
                                    width: parent.width
                                    text: schedule.liveNow.title || ""
                                    color: OrvellaTheme.textPrimary
                                    font: OrvellaTheme.font(14, Font.Bold)
                                    wrapMode: Text.Wrap
                                    maximumLineCount: 3
                                    elide: Text.ElideRight
                                    bottomPadding: 4
                                    textFormat: Text.PlainText
                                }
                                Text {
                                    width: parent.width
                                    text: schedule.liveNow.timeLine || ""
                                    color: OrvellaTheme.textSecondary
                                    font: OrvellaTheme.font(12)
                                    bottomPadding: 8
                                    textFormat: Text.PlainText
                                }
                                Rectangle {
                                    width: parent.width
                                    height: 4
                                    radius: 2
                                    color: Qt.rgba(1, 1, 1, 0.12)
                                    Rectangle {
                                        // The fill is fixed at 35 %, never under 4 points.
                                        width: Math.max(parent.width * 0.35, 4)
                                        height: 4
                                        radius: 2
                                        color: OrvellaTheme.liveRed
                                    }
                                }
                            }
                        }
                    }

                    SectionLabel {
                        visible: schedule.upNext.title !== undefined
                        text: "Up Next"
                    }
                    ScheduleRow {
                        visible: schedule.upNext.title !== undefined
                        item: schedule.upNext
                    }

                    SectionLabel {
                        visible: schedule.comingUp.length > 0
                        text: schedule.comingUpHeading
                    }
                    Repeater {
                        model: schedule.comingUp
                        ScheduleRow {
                            required property var modelData
                            item: modelData
                        }
                    }
                }
            }
        }
    }
}

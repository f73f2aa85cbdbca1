import QtQuick
import QtQuick.Controls
import Orvella

// Upcoming events, each with a live countdown and a button to live. Behaviour lives in
// CountdownScreenModel.
Item {
    id: root

    // One number box with its label below.
    component CountdownUnit: Column {
        id: unit

        property string value
        property string label

        spacing: 6

        Rectangle {
            anchors.horizontalCenter: parent.horizontalCenter
            width: Math.max(72, number.implicitWidth + 16)
            height: Math.max(64, number.implicitHeight)
            radius: 12
            color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.85)
            border.width: 1
            border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)

            Text {
                id: number
                anchors.centerIn: parent
                text: unit.value
                font: OrvellaTheme.monoFont(34, Font.Bold)
                color: "white"
            }
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: unit.label
            font: OrvellaTheme.font(11, Font.Bold)
            color: OrvellaTheme.gold
        }
    }

    CountdownScreenModel {
        id: screen
        objectName: "countdownScreenModel"
        app: AppModel
    }

    DiagonalGradient {
        anchors.fill: parent
        GradientStop { position: 0; color: OrvellaTheme.canvas }
        GradientStop { position: 1; color: OrvellaTheme.navyDeep }
    }

    ScrollView {
        id: scroller
        anchors.fill: parent
        contentWidth: availableWidth
        contentHeight: column.implicitHeight + 56
        ScrollBar.vertical.policy: ScrollBar.AlwaysOn

        Column {
            id: column
            x: 28
            y: 28
            width: scroller.availableWidth - 56
            spacing: 24

            Text {
                text: "Upcoming Events"
                font: OrvellaTheme.serifFont(28, Font.Bold)
                color: OrvellaTheme.goldLight
            }

            Text {
                objectName: "countdownEmpty"
                visible: screen.isEmpty
                text: "No upcoming events are published in config yet."
                font: OrvellaTheme.font(OrvellaTheme.bodySize)
                color: OrvellaTheme.textSecondary
            }
            BorderedButton {
                objectName: "countdownRefresh"
                visible: screen.isEmpty
                text: "Refresh"
                onClicked: screen.refresh()
            }

            Repeater {
                model: screen.events

                Rectangle {
                    id: card

                    required property string eventId
                    required property string title
                    required property string subtitle
                    required property string badge
                    required property string cta
                    required property string days
                    required property string hours
                    required property string minutes
                    required property string seconds

                    objectName: "countdownCard-" + eventId
                    width: column.width
                    height: content.implicitHeight + 44
                    radius: 14
                    color: OrvellaTheme.glass
                    border.width: 1
                    border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.25)

                    Column {
                        id: content
                        x: 22
                        y: 22
                        width: card.width - 44
                        spacing: 14

                        Text {
                            width: parent.width
                            horizontalAlignment: Text.AlignHCenter
                            text: card.badge
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(11, Font.Bold)
                            color: OrvellaTheme.liveRed
                            elide: Text.ElideRight
                        }
                        Text {
                            width: parent.width
                            horizontalAlignment: Text.AlignHCenter
                            text: card.title
                            textFormat: Text.PlainText
                            font: OrvellaTheme.serifFont(24, Font.Bold)
                            color: OrvellaTheme.goldLight
                            wrapMode: Text.Wrap
                        }
                        Text {
                            width: parent.width
                            visible: card.subtitle !== ""
                            horizontalAlignment: Text.AlignHCenter
                            text: card.subtitle
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(13)
                            color: OrvellaTheme.textSecondary
                            wrapMode: Text.Wrap
                        }
                        Row {
                            anchors.horizontalCenter: parent.horizontalCenter
                            spacing: 14

                            CountdownUnit { value: card.days; label: "Days" }
                            CountdownUnit { value: card.hours; label: "Hours" }
                            CountdownUnit { value: card.minutes; label: "Min" }
                            CountdownUnit { value: card.seconds; label: "Sec" }
                        }
                        GoldButtonStyle {
                            objectName: "countdownWatch-" + card.eventId
                            anchors.horizontalCenter: parent.horizontalCenter
                            text: card.cta
                            onClicked: screen.watchLive()
                        }
                    }
                }
            }
        }
    }
}

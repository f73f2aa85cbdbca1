import QtQuick
import QtQuick.Controls
import Orvella

// The centres with their search, the join form and the host form. Behaviour lives in
// VirtualCenterScreenModel; the fields write what is typed and show what the model keeps.
Item {
    id: root

    VirtualCenterScreenModel {
        id: screen
        objectName: "virtualCenterScreenModel"
        app: AppModel
    }

    ScrollView {
        id: scroller
        anchors.fill: parent
        contentWidth: availableWidth
        contentHeight: column.implicitHeight + 48
        ScrollBar.vertical.policy: ScrollBar.AlwaysOn

        Column {
            id: column
            x: 24
            y: 24
            width: Math.min(900, scroller.availableWidth) - 48
            spacing: 14

            Text {
                text: "Virtual Healing Center"
                font: OrvellaTheme.serifFont(26, Font.Bold)
                color: OrvellaTheme.goldLight
            }

            // The list.
            ThemedTextField {
                objectName: "centerSearch"
                visible: screen.mode === VirtualCenterScreenModel.List
                width: column.width
                roundedBorder: false
                leftPadding: 12
                rightPadding: 12
                topPadding: 12
                bottomPadding: 12
                placeholderText: "Search centers by name, location, zone…"
                text: screen.query
                onTextEdited: screen.query = text
                background: Rectangle {
                    radius: 8
                    color: Qt.rgba(0, 0, 0, 0.35)
                    border.width: 1
                    border.color: OrvellaTheme.glassBorder
                }
            }
            Column {
                visible: screen.mode === VirtualCenterScreenModel.List
                width: column.width
                spacing: 10

                Repeater {
                    model: screen.centers

                    Rectangle {
                        id: card

                        required property int centerId
                        required property string name
                        required property string detail

                        objectName: "centerCard-" + centerId
                        width: column.width
                        height: Math.max(texts.implicitHeight, joinButton.implicitHeight) + 28
                        radius: 12
                        color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.76)
                        border.width: 1
                        border.color: OrvellaTheme.glassBorder

                        Column {
                            id: texts
                            anchors.left: parent.left
                            anchors.right: joinButton.left
                            anchors.margins: 14
                            anchors.verticalCenter: parent.verticalCenter
                            spacing: 5

                            Text {
                                width: parent.width
                                text: card.name
                                textFormat: Text.PlainText
                                font: OrvellaTheme.font(15, Font.DemiBold)
                                color: "white"
                                elide: Text.ElideRight
                            }
                            Text {
                                width: parent.width
                                text: card.detail
                                textFormat: Text.PlainText
                                font: OrvellaTheme.font(11)
                                color: OrvellaTheme.textSecondary
                                elide: Text.ElideRight
                            }
                        }
                        BorderedButton {
                            id: joinButton
                            objectName: "joinCenter-" + card.centerId
                            anchors.right: parent.right
                            anchors.rightMargin: 14
                            anchors.verticalCenter: parent.verticalCenter
                            text: "Join Center"
                            onClicked: screen.join(card.centerId)
                        }
                    }
                }
            }
            GoldButtonStyle {
                objectName: "hostCenter"
                visible: screen.mode === VirtualCenterScreenModel.List
                text: "Host Your Own Center"
                onClicked: screen.host()
            }

            // The join form.
            GlassCard {
                objectName: "joinForm"
                visible: screen.mode === VirtualCenterScreenModel.Join && screen.hasJoinCenter
                width: column.width

                Column {
                    width: parent.width
                    spacing: 12

                    Text {
                        width: parent.width
                        text: screen.joinTitle
                        textFormat: Text.PlainText
                        font: OrvellaTheme.font(19, Font.Bold)
                        color: OrvellaTheme.gold
                        elide: Text.ElideRight
                    }
                    ThemedTextField {
                        objectName: "joinParticipants"
                        width: parent.width
                        placeholderText: "Number of participants"
                        text: screen.participantCount
                        onTextEdited: screen.participantCount = text
                    }
                    Row {
                        spacing: 8
                        GoldButtonStyle {
                            objectName: "joinWatchLive"
                            text: "Join & Watch Live"
                            onClicked: screen.watchLive()
                        }
                        BorderedButton {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "Cancel"
                            onClicked: screen.cancel()
                        }
                    }
                }
            }

            // The host form.
            GlassCard {
                objectName: "hostForm"
                visible: screen.mode === VirtualCenterScreenModel.Host
                width: column.width

                Column {
                    width: parent.width
                    spacing: 12

                    Text {
                        text: "Host Your Own Center"
                        font: OrvellaTheme.font(19, Font.Bold)
                        color: OrvellaTheme.gold
                    }
                    ThemedTextField {
                        objectName: "hostName"
                        width: parent.width
                        placeholderText: "Center name"
                        text: screen.centerName
                        onTextEdited: screen.centerName = text
                    }
                    ThemedTextField {
                        objectName: "hostParticipants"
                        width: parent.width
                        placeholderText: "Participants"
                        text: screen.participantCount
                        onTextEdited: screen.participantCount = text
                    }
                    ThemedTextField {
                        objectName: "hostAddress"
                        width: parent.width
                        placeholderText: "Address / Zone"
                        text: screen.centerAddress
                        onTextEdited: screen.centerAddress = text
                    }
                    Row {
                        spacing: 8
                        GoldButtonStyle {
                            objectName: "hostWatchLive"
                            enabled: screen.canSubmitHost
                            text: "Submit & Watch Live"
                            onClicked: screen.watchLive()
                        }
                        BorderedButton {
                            anchors.verticalCenter: parent.verticalCenter
                            text: "Cancel"
                            onClicked: screen.cancel()
                        }
                    }
                }
            }
        }
    }
}

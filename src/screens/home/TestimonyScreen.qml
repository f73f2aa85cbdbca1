import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Orvella

// The written testimony: the form with its draft on this computer and the way on to the
// service's testimony portal, beside the card that leads to the studio. Behaviour lives in
// TestimonyScreenModel.
Item {
    id: root

    TestimonyScreenModel {
        id: screen
        objectName: "testimonyScreenModel"
        app: AppModel
    }

    Component.onCompleted: screen.restoreDraft()

    DiagonalGradient {
        anchors.fill: parent
        GradientStop { position: 0; color: OrvellaTheme.canvas }
        GradientStop { position: 0.5; color: OrvellaTheme.navy }
        GradientStop { position: 1; color: Qt.rgba(0.07, 0.04, 0.11, 1) }
    }

    ScrollView {
        id: scroller
        anchors.fill: parent
        contentWidth: availableWidth
        ScrollBar.vertical.policy: ScrollBar.AsNeeded

        ColumnLayout {
            id: column
            x: (scroller.availableWidth - width) / 2
            width: Math.min(scroller.availableWidth, 1180)
            spacing: 24

            ColumnLayout {
                Layout.fillWidth: true
                Layout.topMargin: 28
                Layout.leftMargin: 28
                Layout.rightMargin: 28
                spacing: 8

                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: "EVERY MIRACLE TELLS A STORY"
                    font.family: OrvellaTheme.sansFamily
                    font.pixelSize: 10
                    font.weight: Font.Bold
                    font.letterSpacing: 3
                    color: OrvellaTheme.sky
                }
                Text {
                    Layout.alignment: Qt.AlignHCenter
                    text: "Share Your Testimony"
                    font: OrvellaTheme.serifFont(34, Font.Bold)
                    color: OrvellaTheme.goldLight
                }
                Text {
                    Layout.fillWidth: true
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    text: "Your story can ignite faith and bring hope to someone around the world."
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textSecondary
                }
            }

            RowLayout {
                Layout.fillWidth: true
                Layout.leftMargin: 28
                Layout.rightMargin: 28
                Layout.bottomMargin: 28
                spacing: 22

                Rectangle {
                    id: writeCard
                    Layout.fillWidth: true
                    Layout.alignment: Qt.AlignTop
                    implicitHeight: form.implicitHeight + 44
                    radius: 18
                    color: Qt.rgba(1, 1, 1, 0.055)
                    border.width: 1
                    border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.3)

                    ColumnLayout {
                        id: form
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.top: parent.top
                        anchors.margins: 22
                        spacing: 14

                        Row {
                            spacing: 8
                            SymbolIcon {
                                anchors.verticalCenter: parent.verticalCenter
                                symbol: "square.and.pencil"
                                size: 18
                                color: OrvellaTheme.goldLight
                            }
                            Text {
                                anchors.verticalCenter: parent.verticalCenter
                                text: "Write your testimony"
                                font: OrvellaTheme.font(18, Font.Bold)
                                color: OrvellaTheme.goldLight
                            }
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 12
                            TestimonyField {
                                Layout.fillWidth: true
                                title: "Full name"
                                symbol: "person.fill"
                                value: screen.name
                                onEdited: text => screen.name = text
                            }
                            TestimonyField {
                                Layout.fillWidth: true
                                title: "Email"
                                symbol: "envelope.fill"
                                value: screen.email
                                onEdited: text => screen.email = text
                            }
                        }

                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 7
                            Text {
                                text: "What did God do for you?"
                                font: OrvellaTheme.font(11, Font.DemiBold)
                                color: OrvellaTheme.textMuted
                            }
                            Item {
                                Layout.fillWidth: true
                                implicitHeight: editor.wantedHeight

                                AutoSizingTextEditor {
                                    id: editor
                                    objectName: "storyEditorView"
                                    width: parent.width
                                    placeholder: "Tell us what happened, how you felt, and what changed…"
                                    text: screen.story
                                    pasteFilter: (start, end, fromSelection) => screen.storyPaste(start, end, fromSelection)
                                    onEdited: text => screen.story = text
                                }
                                Rectangle {
                                    anchors.fill: editor
                                    radius: 12
                                    color: "transparent"
                                    border.width: 1
                                    border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.28)
                                }
                            }
                        }

                        Text {
                            objectName: "storyNotice"
                            Layout.fillWidth: true
                            visible: screen.storyNotice !== ""
                            text: screen.storyNotice
                            font: OrvellaTheme.font(11)
                            color: OrvellaTheme.gold
                            elide: Text.ElideRight
                        }

                        RowLayout {
                            Layout.fillWidth: true
                            spacing: 8
                            Text {
                                objectName: "characterCount"
                                text: screen.characterCountText
                                font: OrvellaTheme.monoFont(10)
                                color: OrvellaTheme.textMuted
                            }
                            Item {
                                Layout.fillWidth: true
                            }
                            BorderedButton {
                                objectName: "saveDraft"
                                text: screen.saveLabel
                                onClicked: screen.saveDraft()
                            }
                            GoldButtonStyle {
                                objectName: "continueOnPortal"
                                text: "Continue on Secure Portal"
                                enabled: screen.canContinue
                                onClicked: screen.continueOnPortal()
                            }
                        }
                    }
                }

                TestimonyRecordCard {
                    objectName: "recordCard"
                    Layout.preferredWidth: 320
                    Layout.alignment: Qt.AlignTop
                    portalAddress: screen.portalAddress
                    onOpenStudio: screen.openStudio()
                }
            }
        }
    }
}

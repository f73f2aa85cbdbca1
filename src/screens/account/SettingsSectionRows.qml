import QtQuick
import QtQuick.Layouts
import Orvella

// The rows of the selected settings section, each its own card, 16 apart.
Loader {
    id: rows

    required property SettingsScreenModel screen
    readonly property SettingsModel settings: AppModel.settings

    sourceComponent: {
        switch (screen.section) {
        case "playback": return playback
        case "notifications": return notifications
        case "language": return language
        case "accessibility": return accessibility
        case "privacy": return privacy
        case "account": return account
        default: return profile
        }
    }

    Component {
        id: profile
        ColumnLayout {
            spacing: 16
            SettingsCard {
                Layout.fillWidth: true
                SettingsTextRow {
                    width: parent.width
                    title: "Full Name"
                    value: rows.settings.displayName
                    onEdited: text => rows.screen.editProfileField("displayName", text)
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsTextRow {
                    width: parent.width
                    title: "Email"
                    value: rows.settings.email
                    onEdited: text => rows.screen.editProfileField("email", text)
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsTextRow {
                    width: parent.width
                    title: "Phone"
                    value: rows.settings.phone
                    onEdited: text => rows.screen.editProfileField("phone", text)
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsTextRow {
                    width: parent.width
                    title: "Zone / Region"
                    value: rows.settings.zone
                    onEdited: text => rows.screen.editProfileField("zone", text)
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsNote {
                    width: parent.width
                    text: "Synced from your Orvella account after sign-in. Local edits are stored on this computer."
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                BorderedButton {
                    objectName: rows.screen.isGuest ? "settingsProfileSignIn" : "settingsProfileSignOut"
                    text: rows.screen.isGuest ? "Sign In" : "Sign Out"
                    onClicked: rows.screen.isGuest ? rows.screen.signIn() : rows.screen.signOut()
                }
            }
        }
    }

    Component {
        id: playback
        ColumnLayout {
            spacing: 16
            SettingsCard {
                Layout.fillWidth: true
                Text {
                    text: "Stream Quality"
                    font: OrvellaTheme.font(12, Font.DemiBold)
                    color: OrvellaTheme.textSecondary
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                Grid {
                    id: grid
                    readonly property int cellWidth: (width - (columns - 1) * columnSpacing) / columns
                    width: parent.width
                    columns: Math.max(1, Math.floor((width + 8) / (92 + 8)))
                    columnSpacing: 8
                    rowSpacing: 8

                    Repeater {
                        model: rows.screen.qualityIds

                        PlainButton {
                            id: cell
                            required property string modelData
                            readonly property bool selected: modelData === rows.settings.preferredQuality

                            objectName: "settingsQuality-" + modelData
                            width: grid.cellWidth
                            focusPolicy: Qt.StrongFocus
                            onClicked: rows.screen.pickQuality(modelData)
                            topPadding: 8
                            bottomPadding: 8
                            contentItem: Text {
                                text: cell.modelData
                                font: OrvellaTheme.font(11, Font.DemiBold)
                                color: "white"
                                horizontalAlignment: Text.AlignHCenter
                            }
                            background: Rectangle {
                                radius: 8
                                color: cell.selected
                                    ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.2)
                                    : Qt.rgba(1, 1, 1, 0.06)
                                border.width: cell.visualFocus ? 2 : 1
                                border.color: cell.selected || cell.visualFocus ? OrvellaTheme.gold : OrvellaTheme.glassBorder
                            }
                        }
                    }
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsNote {
                    width: parent.width
                    text: "Lower quality uses less data when multiple ABR renditions are available."
                }
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Auto-captions on live stream"
                value: rows.settings.captionsEnabled
                onToggled: on => rows.settings.captionsEnabled = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Play next video"
                value: rows.settings.autoplayNext
                onToggled: on => rows.settings.autoplayNext = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Autoplay live stream"
                value: rows.settings.autoplay
                onToggled: on => rows.settings.autoplay = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Hardware acceleration"
                value: rows.settings.hardwareAcceleration
                onToggled: on => rows.settings.hardwareAcceleration = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Picture-in-Picture"
                value: rows.settings.pipEnabled
                onToggled: on => rows.settings.pipEnabled = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Data saver mode"
                value: rows.settings.dataSaver
                onToggled: on => rows.screen.setDataSaver(on)
            }
        }
    }

    Component {
        id: notifications
        ColumnLayout {
            spacing: 16
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Push notifications"
                value: rows.settings.pushEnabled
                onToggled: on => rows.settings.pushEnabled = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Event reminders"
                value: rows.settings.eventAlerts
                onToggled: on => rows.settings.eventAlerts = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Live service alerts"
                value: rows.settings.liveReminders
                onToggled: on => rows.settings.liveReminders = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Ministry updates"
                value: rows.settings.marketing
                onToggled: on => rows.settings.marketing = on
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsNote {
                    width: parent.width
                    text: "Stored on this computer. A remote push registration API is not published for Linux yet."
                }
            }
        }
    }

    Component {
        id: language
        ColumnLayout {
            spacing: 16
            SettingsCard {
                Layout.fillWidth: true
                Text {
                    width: parent.width
                    text: rows.screen.captionLanguageLine
                    textFormat: Text.PlainText
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textPrimary
                    elide: Text.ElideRight
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsNote {
                    width: parent.width
                    text: "Used for caption preference on live and VOD when tracks are available."
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                GoldButtonStyle {
                    objectName: "settingsLanguageSelector"
                    text: "Open Language Selector"
                    onClicked: rows.screen.openLanguageSelector()
                }
            }
        }
    }

    Component {
        id: accessibility
        ColumnLayout {
            spacing: 16
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "High contrast mode"
                value: rows.settings.highContrast
                onToggled: on => rows.settings.highContrast = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Large text"
                value: rows.settings.largeText
                onToggled: on => rows.settings.largeText = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Reduce motion"
                value: rows.settings.reduceMotion
                onToggled: on => rows.settings.reduceMotion = on
            }
            SettingsCard {
                Layout.fillWidth: true
                SettingsNote {
                    width: parent.width
                    text: "These preferences are saved with your settings."
                }
            }
        }
    }

    Component {
        id: privacy
        ColumnLayout {
            spacing: 16
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Usage analytics"
                value: rows.settings.analytics
                onToggled: on => rows.settings.analytics = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Personalized recommendations"
                value: rows.settings.personalization
                onToggled: on => rows.settings.personalization = on
            }
            SettingsToggleRow {
                Layout.fillWidth: true
                text: "Share viewing activity"
                value: rows.settings.shareActivity
                onToggled: on => rows.settings.shareActivity = on
            }
            SettingsCard {
                Layout.fillWidth: true
                LinkButton {
                    objectName: "settingsPrivacyLink"
                    text: "Open Privacy Policy"
                    onClicked: rows.screen.openPrivacy()
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                visible: rows.screen.hasTerms
                LinkButton {
                    objectName: "settingsTermsLink"
                    text: "Terms of Use"
                    onClicked: rows.screen.openTerms()
                }
            }
        }
    }

    Component {
        id: account
        ColumnLayout {
            spacing: 16
            SettingsCard {
                Layout.fillWidth: true
                visible: !rows.screen.isGuest
                Column {
                    width: parent.width
                    spacing: 8
                    Text {
                        width: parent.width
                        text: rows.screen.identityName
                        textFormat: Text.PlainText
                        font: OrvellaTheme.font(16, Font.DemiBold)
                        color: "white"
                        elide: Text.ElideRight
                    }
                    Text {
                        width: parent.width
                        visible: text !== ""
                        text: rows.screen.identityEmail
                        textFormat: Text.PlainText
                        font: OrvellaTheme.font(OrvellaTheme.bodySize)
                        color: OrvellaTheme.textSecondary
                        elide: Text.ElideRight
                    }
                    Text {
                        width: parent.width
                        visible: text !== ""
                        text: rows.screen.identityPhone
                        textFormat: Text.PlainText
                        font: OrvellaTheme.font(OrvellaTheme.bodySize)
                        color: OrvellaTheme.textMuted
                        elide: Text.ElideRight
                    }
                    Text {
                        width: parent.width
                        visible: text !== ""
                        text: rows.screen.identityZone
                        textFormat: Text.PlainText
                        font: OrvellaTheme.font(12)
                        color: OrvellaTheme.textMuted
                        elide: Text.ElideRight
                    }
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                visible: !rows.screen.isGuest
                SettingsNote {
                    width: parent.width
                    text: "Account details sync from your Orvella sign-in. Manage Parlino linking and security on the activation portal."
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                visible: !rows.screen.isGuest
                BorderedButton {
                    objectName: "settingsOpenActivation"
                    text: "Open Activation"
                    onClicked: rows.screen.openActivation()
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                visible: !rows.screen.isGuest
                BorderedButton {
                    objectName: "settingsAccountSignOut"
                    text: "Sign Out"
                    onClicked: rows.screen.signOut()
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                visible: rows.screen.isGuest
                Text {
                    text: "You are signed out."
                    font: OrvellaTheme.font(OrvellaTheme.bodySize)
                    color: OrvellaTheme.textSecondary
                }
            }
            SettingsCard {
                Layout.fillWidth: true
                visible: rows.screen.isGuest
                GoldButtonStyle {
                    objectName: "settingsAccountSignIn"
                    text: "Sign In"
                    onClicked: rows.screen.signIn()
                }
            }
        }
    }
}

import QtQuick
import QtQuick.Layouts
import QtQuick.Shapes
import Orvella

// The sign-in screen: the phone-approval pane with its device code beside the e-mail pane, in
// one card under the welcome header. Behaviour lives in LoginScreenModel.
Item {
    id: root

    LoginScreenModel {
        id: login
        objectName: "loginScreenModel"
        app: AppModel
    }

    Component.onCompleted: login.appear()
    Component.onDestruction: login.disappear()

    DiagonalGradient {
        anchors.fill: parent
        GradientStop { position: 0; color: OrvellaTheme.canvas }
        GradientStop { position: 0.5; color: OrvellaTheme.navy }
        GradientStop { position: 1; color: Qt.rgba(0.04, 0.08, 0.17, 1) }
    }

    Shape {
        anchors.fill: parent
        ShapePath {
            strokeWidth: -1
            strokeColor: "transparent"
            fillGradient: RadialGradient {
                centerX: root.width / 2
                centerY: 0
                centerRadius: 420
                focalX: root.width / 2
                focalY: 0
                focalRadius: 40
                GradientStop { position: 0; color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.14) }
                GradientStop { position: 1; color: "transparent" }
            }
            startX: 0
            startY: 0
            PathLine { x: root.width; y: 0 }
            PathLine { x: root.width; y: root.height }
            PathLine { x: 0; y: root.height }
            PathLine { x: 0; y: 0 }
        }
    }

    ColumnLayout {
        id: column
        anchors.centerIn: parent
        width: Math.min(920, root.width - 56)
        height: Math.min(implicitHeight, root.height - 56)
        spacing: 18

        ColumnLayout {
            id: header
            Layout.alignment: Qt.AlignHCenter
            spacing: 6

            Text {
                Layout.alignment: Qt.AlignHCenter
                text: "WELCOME TO"
                font.family: OrvellaTheme.sansFamily
                font.pixelSize: 10
                font.bold: true
                font.letterSpacing: 3
                color: OrvellaTheme.sky
            }
            Text {
                Layout.alignment: Qt.AlignHCenter
                text: "Orvella TV"
                font: OrvellaTheme.serifFont(34, Font.Bold)
                color: OrvellaTheme.goldLight
            }
            Text {
                Layout.alignment: Qt.AlignHCenter
                text: "Sign in to continue — guest access is not available in this desktop app."
                font: OrvellaTheme.font(13)
                color: OrvellaTheme.textSecondary
            }
        }

        // The card.
        Rectangle {
            objectName: "loginCard"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.preferredHeight: 520
            Layout.maximumHeight: 520
            Layout.minimumHeight: 120
            radius: 18
            color: Qt.rgba(OrvellaTheme.navy.r, OrvellaTheme.navy.g, OrvellaTheme.navy.b, 0.92)
            border.width: 1
            border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.28)
            clip: true

            RowLayout {
                anchors.fill: parent
                anchors.margins: 1
                spacing: 0

                // Phone approval.
                LoginPane {
                    objectName: "parlinoPane"
                    Layout.fillWidth: true
                    Layout.fillHeight: true

                    ColumnLayout {
                        width: parent.width
                        spacing: 16

                        Text {
                            Layout.fillWidth: true
                            text: "Login with Parlino / Orvella Mobile"
                            font: OrvellaTheme.font(16, Font.Bold)
                            color: OrvellaTheme.goldLight
                            horizontalAlignment: Text.AlignHCenter
                            wrapMode: Text.Wrap
                        }
                        Text {
                            Layout.alignment: Qt.AlignHCenter
                            text: "Scan to approve sign-in on your phone"
                            font: OrvellaTheme.font(12)
                            color: OrvellaTheme.textSecondary
                        }

                        // The code, or its placeholder while there is none.
                        Rectangle {
                            objectName: "loginQrCode"
                            Layout.alignment: Qt.AlignHCenter
                            visible: login.hasCode
                            implicitWidth: 216
                            implicitHeight: 216
                            radius: 12
                            color: "white"
                            QRCodeView {
                                anchors.centerIn: parent
                                size: 196
                                text: login.qrText
                            }
                        }
                        Text {
                            objectName: "loginUserCode"
                            Layout.fillWidth: true
                            visible: login.hasCode
                            text: login.userCode
                            textFormat: Text.PlainText
                            horizontalAlignment: Text.AlignHCenter
                            elide: Text.ElideRight
                            maximumLineCount: 1
                            // Marks stacked on a letter stay inside the code's line.
                            clip: true
                            font.family: OrvellaTheme.monoFamily
                            font.pixelSize: 28
                            font.bold: true
                            font.letterSpacing: 2
                            color: "white"
                        }
                        Rectangle {
                            objectName: "loginCodePlaceholder"
                            Layout.alignment: Qt.AlignHCenter
                            visible: !login.hasCode
                            implicitWidth: 196
                            implicitHeight: 196
                            radius: 12
                            color: OrvellaTheme.navyDeep
                            BusySpinner {
                                anchors.centerIn: parent
                                running: parent.visible
                                color: OrvellaTheme.gold
                                diameter: 24
                            }
                        }

                        // The lines under the code (or its placeholder) belong together.
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 6

                            Text {
                                objectName: "loginPairingStatus"
                                Layout.fillWidth: true
                                text: login.pairingStatus
                                textFormat: Text.PlainText
                                font: OrvellaTheme.font(11)
                                color: OrvellaTheme.textMuted
                                horizontalAlignment: Text.AlignHCenter
                                wrapMode: Text.Wrap
                                maximumLineCount: 4
                                elide: Text.ElideRight
                            }
                            Text {
                                objectName: "loginLink"
                                Layout.fillWidth: true
                                visible: login.hasCode && login.linkText !== ""
                                text: login.linkText
                                textFormat: Text.PlainText
                                font: OrvellaTheme.monoFont(10)
                                color: OrvellaTheme.sky
                                horizontalAlignment: Text.AlignHCenter
                                elide: Text.ElideMiddle
                                maximumLineCount: 1
                                clip: true
                            }
                            Text {
                                objectName: "loginPairingError"
                                Layout.fillWidth: true
                                visible: login.hasPairingError
                                text: login.pairingError
                                textFormat: Text.PlainText
                                font: OrvellaTheme.font(11)
                                color: OrvellaTheme.liveRed
                                horizontalAlignment: Text.AlignHCenter
                                wrapMode: Text.Wrap
                                maximumLineCount: 4
                                elide: Text.ElideRight
                            }
                        }
                        BorderedButton {
                            objectName: "loginNewCode"
                            Layout.alignment: Qt.AlignHCenter
                            text: "Get New Code"
                            onClicked: login.requestNewCode()
                        }
                    }
                }

                Rectangle {
                    Layout.fillHeight: true
                    implicitWidth: 1
                    color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.22)
                }

                // E-mail.
                LoginPane {
                    objectName: "emailPane"
                    Layout.fillWidth: true
                    Layout.fillHeight: true

                    ColumnLayout {
                        width: parent.width
                        spacing: 16

                        Text {
                            text: "Or continue with email"
                            font: OrvellaTheme.font(16, Font.Bold)
                            color: OrvellaTheme.goldLight
                        }
                        Text {
                            Layout.fillWidth: true
                            text: "Enter your full name and email — the same passwordless sign-in used on Orvella."
                            font: OrvellaTheme.font(12)
                            color: OrvellaTheme.textSecondary
                            wrapMode: Text.Wrap
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 6
                            Text {
                                text: "Full Name"
                                font: OrvellaTheme.font(11, Font.DemiBold)
                                color: OrvellaTheme.textMuted
                            }
                            ThemedTextField {
                                id: nameField
                                objectName: "loginFullName"
                                Layout.fillWidth: true
                                placeholderText: "Enter your full name"
                                text: login.fullName
                                enabled: !login.isSubmittingEmail
                                onTextEdited: login.fullName = text
                                onAccepted: emailField.forceActiveFocus()
                            }
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 6
                            Text {
                                text: "Email Address"
                                font: OrvellaTheme.font(11, Font.DemiBold)
                                color: OrvellaTheme.textMuted
                            }
                            ThemedTextField {
                                id: emailField
                                objectName: "loginEmail"
                                Layout.fillWidth: true
                                placeholderText: "you@example.com"
                                text: login.email
                                enabled: !login.isSubmittingEmail
                                inputMethodHints: Qt.ImhEmailCharactersOnly | Qt.ImhNoAutoUppercase
                                onTextEdited: login.email = text
                                onAccepted: if (enter.enabled) enter.clicked()
                            }
                        }
                        Text {
                            objectName: "loginEmailError"
                            Layout.fillWidth: true
                            visible: login.hasEmailError
                            text: login.emailError
                            textFormat: Text.PlainText
                            font: OrvellaTheme.font(11)
                            color: OrvellaTheme.liveRed
                            wrapMode: Text.Wrap
                            maximumLineCount: 4
                            elide: Text.ElideRight
                        }
                        GoldButtonStyle {
                            id: enter
                            objectName: "loginEnter"
                            Layout.fillWidth: true
                            enabled: !login.isSubmittingEmail && login.canSubmitEmail
                            text: login.isSubmittingEmail ? "Signing in…" : "Enter"
                            font: OrvellaTheme.font(14, Font.Bold)
                            onClicked: login.submitEmail()
                            contentItem: Item {
                                implicitHeight: label.implicitHeight
                                implicitWidth: label.implicitWidth
                                Row {
                                    id: label
                                    anchors.centerIn: parent
                                    spacing: 8
                                    BusySpinner {
                                        anchors.verticalCenter: parent.verticalCenter
                                        visible: login.isSubmittingEmail
                                        running: visible
                                        color: Qt.rgba(0, 0, 0, 0.85)
                                        diameter: 14
                                    }
                                    Text {
                                        anchors.verticalCenter: parent.verticalCenter
                                        text: enter.text
                                        font: enter.font
                                        color: Qt.rgba(0, 0, 0, 0.85)
                                    }
                                }
                            }
                        }
                        Text {
                            Layout.fillWidth: true
                            text: "No password is required. After sign-in, your profile syncs to Settings automatically."
                            font: OrvellaTheme.font(10)
                            color: OrvellaTheme.textMuted
                            wrapMode: Text.Wrap
                        }
                    }
                }
            }
        }

        Text {
            id: footnote
            Layout.alignment: Qt.AlignHCenter
            text: "Your personal data supports your experience per our privacy policy."
            font: OrvellaTheme.font(10)
            color: OrvellaTheme.textMuted
        }
    }
}

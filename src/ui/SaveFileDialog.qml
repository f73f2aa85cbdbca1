import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Orvella

// The client's own save dialog, modal over the whole window: the name to save under, the folder
// shown with the usual folders beside it, a new folder prompt and the question before replacing
// a file. Everything it does is SaveFileDialogModel's; this is its layout. Names of files and
// folders are whatever is on the disk: they are shown as plain text, never as markup.
Item {
    id: host

    required property SaveFileDialogModel model
    readonly property FolderBrowserModel browser: model.browser

    Popup {
        id: dialog
        objectName: "saveFileDialog"
        parent: Overlay.overlay
        x: Math.round((parent.width - width) / 2)
        y: Math.round((parent.height - height) / 2)
        width: Math.min(780, parent.width - 48)
        height: Math.min(540, parent.height - 48)
        modal: true
        focus: true
        closePolicy: Popup.NoAutoClose
        visible: host.model.opened
        padding: 20

        Overlay.modal: Rectangle {
            color: Qt.rgba(0, 0, 0, 0.55)
        }

        background: Rectangle {
            radius: 16
            color: OrvellaTheme.navy
            border.width: 1
            border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)
        }

        onOpened: {
            nameField.forceActiveFocus()
            nameField.select(0, host.model.nameStemLength)
        }

        contentItem: FocusScope {
            Keys.onEscapePressed: host.model.escape()

            // The name takes the keys again once the new folder prompt has gone.
            Connections {
                target: host.model
                function onNewFolderChanged() {
                    if (host.model && !host.model.newFolderShown && host.model.opened)
                        nameField.forceActiveFocus()
                }
            }

            ColumnLayout {
                anchors.fill: parent
                spacing: 12

                Text {
                    text: host.model.title
                    color: OrvellaTheme.goldLight
                    font: OrvellaTheme.serifFont(20, Font.Bold)
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    Text {
                        text: "Save as:"
                        color: OrvellaTheme.textSecondary
                        font: OrvellaTheme.font(13)
                    }
                    ThemedTextField {
                        id: nameField
                        objectName: "saveFileName"
                        Layout.fillWidth: true
                        text: host.model.fileName
                        onTextEdited: host.model.fileName = text
                        onAccepted: host.model.accept()
                    }
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    BorderedButton {
                        objectName: "saveFileUp"
                        // Clicked, it leaves the keys with the name.
                        focusPolicy: Qt.TabFocus
                        symbol: "arrow.up"
                        enabled: host.browser.canGoUp
                        onClicked: host.browser.goUp()
                    }
                    Text {
                        objectName: "saveFileLocation"
                        Layout.fillWidth: true
                        text: host.browser.folder
                        textFormat: Text.PlainText
                        color: OrvellaTheme.textPrimary
                        font: OrvellaTheme.monoFont(11)
                        elide: Text.ElideMiddle
                    }
                    BorderedButton {
                        objectName: "saveFileNewFolder"
                        focusPolicy: Qt.TabFocus
                        symbol: "folder.badge.plus"
                        text: "New Folder"
                        onClicked: {
                            host.model.beginNewFolder()
                            folderNameField.forceActiveFocus()
                            folderNameField.selectAll()
                        }
                    }
                }

                ColumnLayout {
                    Layout.fillWidth: true
                    visible: host.model.newFolderShown
                    spacing: 4
                    RowLayout {
                        Layout.fillWidth: true
                        spacing: 8
                        Text {
                            text: "Folder name:"
                            color: OrvellaTheme.textSecondary
                            font: OrvellaTheme.font(12)
                        }
                        ThemedTextField {
                            id: folderNameField
                            objectName: "saveFileFolderName"
                            Layout.fillWidth: true
                            text: host.model.newFolderProposal
                            onAccepted: host.model.createFolder(text)
                        }
                        BorderedButton {
                            objectName: "saveFileCreateFolder"
                            text: "Create"
                            onClicked: host.model.createFolder(folderNameField.text)
                        }
                        BorderedButton {
                            text: "Cancel"
                            onClicked: host.model.cancelNewFolder()
                        }
                    }
                    Text {
                        Layout.fillWidth: true
                        visible: text !== ""
                        text: host.model.newFolderMessage
                        textFormat: Text.PlainText
                        color: OrvellaTheme.liveRed
                        font: OrvellaTheme.font(11)
                        wrapMode: Text.WordWrap
                    }
                }

                RowLayout {
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    spacing: 12

                    Column {
                        Layout.preferredWidth: 150
                        Layout.alignment: Qt.AlignTop
                        spacing: 2

                        Repeater {
                            model: host.browser.places
                            delegate: PlainButton {
                                required property var modelData
                                objectName: "savePlace-" + modelData.name
                                focusPolicy: Qt.TabFocus
                                width: 150
                                height: 30
                                onClicked: host.browser.openFolder(modelData.path)
                                background: Rectangle {
                                    radius: 6
                                    color: modelData.path === host.browser.folder
                                        ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.2)
                                        : "transparent"
                                }
                                contentItem: Row {
                                    leftPadding: 8
                                    spacing: 8
                                    SymbolIcon {
                                        anchors.verticalCenter: parent.verticalCenter
                                        symbol: modelData.symbol
                                        size: 12
                                        color: OrvellaTheme.sky
                                    }
                                    Text {
                                        anchors.verticalCenter: parent.verticalCenter
                                        text: modelData.name
                                        color: OrvellaTheme.textPrimary
                                        font: OrvellaTheme.font(12)
                                    }
                                }
                            }
                        }
                    }

                    Rectangle {
                        Layout.fillWidth: true
                        Layout.fillHeight: true
                        radius: 10
                        color: Qt.rgba(0, 0, 0, 0.25)
                        border.width: 1
                        border.color: OrvellaTheme.glassBorder
                        clip: true

                        ListView {
                            id: entries
                            objectName: "saveFileEntries"
                            anchors.fill: parent
                            anchors.margins: 4
                            model: host.browser
                            clip: true
                            activeFocusOnTab: true
                            boundsBehavior: Flickable.StopAtBounds
                            currentIndex: -1
                            ScrollBar.vertical: ScrollBar {}
                            Keys.onReturnPressed: host.model.activateEntry(currentIndex)
                            Keys.onEnterPressed: host.model.activateEntry(currentIndex)

                            Connections {
                                target: host.browser
                                function onFolderChanged() {
                                    entries.currentIndex = -1
                                }
                            }

                            delegate: Rectangle {
                                id: row
                                required property int index
                                required property string name
                                required property bool isFolder
                                required property string sizeText
                                required property string modifiedText

                                objectName: "saveEntry-" + name
                                width: ListView.view.width
                                height: 30
                                radius: 6
                                color: ListView.isCurrentItem
                                    ? Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.22)
                                    : (pointer.containsMouse ? Qt.rgba(1, 1, 1, 0.06) : "transparent")

                                RowLayout {
                                    anchors.fill: parent
                                    anchors.leftMargin: 8
                                    anchors.rightMargin: 8
                                    spacing: 8
                                    SymbolIcon {
                                        symbol: row.isFolder ? "folder.fill" : "film"
                                        size: 12
                                        color: row.isFolder ? OrvellaTheme.sky : OrvellaTheme.textSecondary
                                    }
                                    Text {
                                        Layout.fillWidth: true
                                        text: row.name
                                        textFormat: Text.PlainText
                                        color: row.isFolder ? OrvellaTheme.textPrimary : OrvellaTheme.textSecondary
                                        font: OrvellaTheme.font(12)
                                        elide: Text.ElideMiddle
                                    }
                                    Text {
                                        Layout.preferredWidth: 70
                                        horizontalAlignment: Text.AlignRight
                                        text: row.sizeText
                                        color: OrvellaTheme.textMuted
                                        font: OrvellaTheme.font(11)
                                    }
                                    Text {
                                        Layout.preferredWidth: 130
                                        horizontalAlignment: Text.AlignRight
                                        text: row.modifiedText
                                        color: OrvellaTheme.textMuted
                                        font: OrvellaTheme.font(11)
                                    }
                                }

                                MouseArea {
                                    id: pointer
                                    anchors.fill: parent
                                    hoverEnabled: true
                                    onClicked: {
                                        entries.currentIndex = row.index
                                        host.model.selectEntry(row.index)
                                    }
                                    onDoubleClicked: host.model.activateEntry(row.index)
                                }
                            }
                        }

                        Text {
                            anchors.centerIn: parent
                            visible: entries.count === 0
                            text: "No folders or movies here"
                            color: OrvellaTheme.textMuted
                            font: OrvellaTheme.font(12)
                        }
                    }
                }

                Text {
                    objectName: "saveFileMessage"
                    Layout.fillWidth: true
                    visible: text !== ""
                    text: host.model.message
                    textFormat: Text.PlainText
                    color: OrvellaTheme.liveRed
                    font: OrvellaTheme.font(12)
                    wrapMode: Text.WordWrap
                }

                RowLayout {
                    Layout.fillWidth: true
                    spacing: 10
                    Item { Layout.fillWidth: true }
                    BorderedButton {
                        objectName: "saveFileCancel"
                        text: "Cancel"
                        onClicked: host.model.cancel()
                    }
                    GoldButtonStyle {
                        objectName: "saveFileSave"
                        text: "Save"
                        enabled: host.model.canSave
                        onClicked: host.model.accept()
                    }
                }
            }

            // The question before a file is replaced, over the dialog.
            Rectangle {
                id: question
                anchors.fill: parent
                anchors.margins: -20
                radius: 16
                visible: host.model.replaceQuestion !== ""
                color: Qt.rgba(0, 0, 0, 0.6)
                onVisibleChanged: {
                    if (visible)
                        keepButton.forceActiveFocus()
                    else if (host.model && host.model.opened)
                        nameField.forceActiveFocus()
                }

                MouseArea {
                    anchors.fill: parent
                }

                Rectangle {
                    anchors.centerIn: parent
                    width: Math.min(440, parent.width - 40)
                    height: questionColumn.implicitHeight + 40
                    radius: 12
                    color: OrvellaTheme.navyDeep
                    border.width: 1
                    border.color: Qt.rgba(OrvellaTheme.gold.r, OrvellaTheme.gold.g, OrvellaTheme.gold.b, 0.35)

                    ColumnLayout {
                        id: questionColumn
                        anchors.fill: parent
                        anchors.margins: 20
                        spacing: 10

                        Text {
                            objectName: "saveFileReplaceQuestion"
                            Layout.fillWidth: true
                            text: host.model.replaceQuestion
                            textFormat: Text.PlainText
                            color: OrvellaTheme.textPrimary
                            font: OrvellaTheme.font(14, Font.DemiBold)
                            wrapMode: Text.WordWrap
                        }
                        Text {
                            Layout.fillWidth: true
                            text: host.model.replaceDetail
                            textFormat: Text.PlainText
                            color: OrvellaTheme.textSecondary
                            font: OrvellaTheme.font(12)
                            wrapMode: Text.WordWrap
                        }
                        RowLayout {
                            Layout.fillWidth: true
                            Layout.topMargin: 6
                            spacing: 10
                            Item { Layout.fillWidth: true }
                            BorderedButton {
                                id: keepButton
                                objectName: "saveFileKeep"
                                text: "Cancel"
                                onClicked: host.model.keepExisting()
                                Keys.onReturnPressed: clicked()
                            }
                            GoldButtonStyle {
                                objectName: "saveFileReplace"
                                text: "Replace"
                                onClicked: host.model.confirmReplace()
                                Keys.onReturnPressed: clicked()
                            }
                        }
                    }
                }
            }
        }
    }
}

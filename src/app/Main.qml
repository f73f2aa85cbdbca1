import QtQuick
import QtQuick.Controls
import Orvella

ApplicationWindow {
    id: window
    width: 1280
    height: 800
    minimumWidth: 1024
    minimumHeight: 640
    visible: true
    // The display name; set here too for WM_NAME, which Qt fills from the title alone.
    title: Qt.application.displayName
    color: OrvellaTheme.canvas
    font.family: OrvellaTheme.sansFamily
    font.pixelSize: OrvellaTheme.bodySize

    // Dark whatever the desktop's setting.
    palette.window: OrvellaTheme.canvas
    palette.windowText: OrvellaTheme.textPrimary
    palette.base: OrvellaTheme.navy
    palette.alternateBase: OrvellaTheme.navyDeep
    palette.text: OrvellaTheme.textPrimary
    palette.button: OrvellaTheme.navy
    palette.buttonText: OrvellaTheme.textPrimary
    palette.brightText: "white"
    palette.highlight: OrvellaTheme.gold
    palette.highlightedText: "black"
    palette.light: OrvellaTheme.navyDeep
    palette.midlight: OrvellaTheme.navyDeep
    palette.mid: OrvellaTheme.glassBorder
    palette.dark: "black"
    palette.shadow: "black"
    palette.toolTipBase: OrvellaTheme.navyDeep
    palette.toolTipText: OrvellaTheme.textPrimary
    palette.placeholderText: OrvellaTheme.textMuted

    menuBar: MenuBar {
        objectName: "menuBar"

        Menu {
            objectName: "fileMenu"
            title: "File"
            width: 280

            ShortcutMenuItem {
                objectName: "quitItem"
                text: "Quit"
                shortcutText: QuitCommand.shortcutLabel
                onTriggered: AppModel.quit()
            }
        }

        Menu {
            id: navigateMenu
            objectName: "navigateMenu"
            title: NavigateMenu.title
            width: 280

            // Its items are made as it first opens: nothing shows them before, and making them
            // would hold up the window's first frame and the live picture.
            property bool wasOpened: false
            onAboutToShow: wasOpened = true

            Instantiator {
                active: navigateMenu.wasOpened
                model: NavigateMenu.items
                delegate: ShortcutMenuItem {
                    required property var modelData
                    objectName: "navigate-" + modelData.route
                    text: modelData.title
                    shortcutText: modelData.shortcutLabel
                    onTriggered: AppModel.navigate(modelData.route)
                }
                onObjectAdded: (index, object) => navigateMenu.insertItem(index, object)
                onObjectRemoved: (index, object) => navigateMenu.removeItem(object)
            }
        }
    }

    // The desktop's Quit keys (Ctrl+Q) end the run the one way every quit takes.
    Shortcut {
        objectName: "quitShortcut"
        sequence: QuitCommand.sequence
        context: Qt.ApplicationShortcut
        onActivated: AppModel.quit()
    }

    // Each key sequence is registered once, by the first route of the menu that shows it.
    Instantiator {
        model: NavigateMenu.shortcuts
        delegate: Shortcut {
            required property var modelData
            objectName: "shortcut-" + modelData.route
            sequence: modelData.shortcut
            context: Qt.ApplicationShortcut
            onActivated: AppModel.navigate(modelData.route)
        }
    }

    RootView {
        anchors.fill: parent
    }
}

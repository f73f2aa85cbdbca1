import QtQuick
import QtQuick.Controls

ApplicationWindow {
    id: window
    width: 1280
    height: 800
    minimumWidth: 1024
    minimumHeight: 640
    visible: true
    title: ""
    color: "#05070d"
    palette.window: "#05070d"
    palette.windowText: "#f5f1e8"
}

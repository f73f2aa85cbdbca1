list(APPEND ORVELLA_QML
    screens/account/LoginScreen.qml
    screens/account/NotificationsScreen.qml
    screens/account/SettingsScreen.qml
)

list(APPEND ORVELLA_SOURCES
    screens/account/LoginScreenModel.h screens/account/LoginScreenModel.cpp
    screens/account/SettingsScreenModel.h screens/account/SettingsScreenModel.cpp
    screens/account/NotificationsScreenModel.h screens/account/NotificationsScreenModel.cpp
)
list(APPEND ORVELLA_QML
    screens/account/LoginScreen.qml
    screens/account/LoginPane.qml
    screens/account/NotificationsScreen.qml
    screens/account/SettingsScreen.qml
    screens/account/SettingsCard.qml
    screens/account/SettingsNote.qml
    screens/account/SettingsSectionRows.qml
    screens/account/SettingsTextRow.qml
    screens/account/SettingsToggleRow.qml
)

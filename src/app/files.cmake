list(APPEND ORVELLA_SOURCES
    app/AppModel.h app/AppModel.cpp app/AppModelStartup.cpp
    app/AppServices.h app/AppServices.cpp
    app/Application.h app/Application.cpp
    app/NavigateMenu.h app/NavigateMenu.cpp
    app/QuitCommand.h
    app/QuitRequests.h app/QuitRequests.cpp
    app/QuitSignals.h app/QuitSignals.cpp
    app/RootViewModel.h app/RootViewModel.cpp
    app/StartupScreenModel.h app/StartupScreenModel.cpp
)
list(APPEND ORVELLA_QML
    app/AppHeader.qml
    app/ForceUpdateView.qml
    app/Main.qml
    app/MaintenanceView.qml
    app/RootView.qml
    app/ShortcutMenuItem.qml
    app/SplashView.qml
    app/StartupWelcomeDots.qml
)

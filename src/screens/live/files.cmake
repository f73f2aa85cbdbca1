list(APPEND ORVELLA_SOURCES
    screens/live/LiveScreenModel.h screens/live/LiveScreenModel.cpp
    screens/live/LivePlaybackSupervisor.h screens/live/LivePlaybackSupervisor.cpp
    screens/live/LiveChromeModel.h screens/live/LiveChromeModel.cpp
    screens/live/LiveScheduleModel.h screens/live/LiveScheduleModel.cpp
    screens/live/LiveVideoControlsModel.h screens/live/LiveVideoControlsModel.cpp
)
list(APPEND ORVELLA_QML
    screens/live/LiveScreen.qml
    screens/live/LiveIdentityRow.qml
    screens/live/LiveLoadingStatus.qml
    screens/live/LiveChromeFooter.qml
    screens/live/LiveVideoControls.qml
    screens/live/LiveControlButton.qml
    screens/live/LiveVolumeSlider.qml
    screens/live/LiveActionBar.qml
    screens/live/LiveQualityMenu.qml
    screens/live/LiveSchedulePanel.qml
    screens/live/LiveWelcomeOverlay.qml
    screens/live/DiagonalGradient.qml
)

list(APPEND ORVELLA_SOURCES
    player/ChromeAutoHide.h player/ChromeAutoHide.cpp
    player/MediaPlayerQml.h
    player/PlaybackQuality.h player/PlaybackQuality.cpp
    player/PlayerController.h player/PlayerController.cpp
    player/PlaybackSleepGuard.h player/PlaybackSleepGuard.cpp
    player/VideoSurface.h player/VideoSurface.cpp
)
list(APPEND ORVELLA_QML
    player/ClickShield.qml
    player/PictureTapLayer.qml
    player/PlayerView.qml
    player/PointerActivityView.qml
)

list(APPEND ORVELLA_SOURCES
    platform/FileReveal.h platform/FileReveal.cpp
    platform/Notifier.h
    platform/FreedesktopNotifier.h platform/FreedesktopNotifier.cpp
)
# Playback and sleep prevention.
list(APPEND ORVELLA_SOURCES
    platform/MediaPlayer.h
    platform/MediaPlayerFactory.h
    platform/FakeMediaPlayer.h platform/FakeMediaPlayer.cpp
    platform/HlsPlaylist.h platform/HlsPlaylist.cpp
    platform/MpvCore.h platform/MpvCore.cpp
    platform/MpvMediaPlayer.h platform/MpvMediaPlayer.cpp
    platform/MpvSoftwareRenderer.h platform/MpvSoftwareRenderer.cpp
    platform/MpvOpenGlRenderer.h platform/MpvOpenGlRenderer.cpp
    platform/WebVttCaptions.h platform/WebVttCaptions.cpp
    platform/SleepInhibitor.h
    platform/DBusSleepInhibitor.h platform/DBusSleepInhibitor.cpp
)
# QR codes.
list(APPEND ORVELLA_SOURCES platform/QrEncoder.h platform/QrEncoder.cpp)

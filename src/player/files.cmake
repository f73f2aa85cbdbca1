list(APPEND ORVELLA_SOURCES
    player/PlayerController.h player/PlayerController.cpp
    player/PlaybackSleepGuard.h player/PlaybackSleepGuard.cpp
)

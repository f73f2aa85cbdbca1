list(APPEND ORVELLA_SOURCES
    core/AppModel.h core/AppModel.cpp core/AppModelLoads.cpp core/AppModelSession.cpp
    core/EpisodeRepeatMode.h core/EpisodeRepeatMode.cpp
    core/EventNotifications.h core/EventNotifications.cpp
    core/Latch.h core/Latch.cpp
    core/SessionLog.h core/SessionLog.cpp
    core/SettingsFile.h core/SettingsFile.cpp
    core/LocalHistory.h core/LocalHistory.cpp
    core/LocalNote.h
    core/MacRoute.h core/MacRoute.cpp
    core/RouteTable.h core/RouteTable.cpp
    core/SettingsModel.h core/SettingsModel.cpp
    core/SettingsStore.h core/SettingsStore.cpp
    core/TvEventSchedule.h core/TvEventSchedule.cpp
)

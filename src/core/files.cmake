list(APPEND ORVELLA_SOURCES
    core/ApplicationForeground.h core/ApplicationForeground.cpp
    core/EpisodeRepeatMode.h core/EpisodeRepeatMode.cpp
    core/EventNotifications.h core/EventNotifications.cpp
    core/EventReminders.h core/EventReminders.cpp
    core/KeptPositions.h
    core/Latch.h core/Latch.cpp
    core/SessionLog.h core/SessionLog.cpp
    core/SettingsFile.h core/SettingsFile.cpp
    core/LocalHistory.h core/LocalHistory.cpp
    core/LocalNote.h
    core/MacRoute.h core/MacRoute.cpp
    core/Navigator.h core/Navigator.cpp
    core/ObjectLink.h
    core/ProgressReports.h core/ProgressReports.cpp
    core/PublishedValue.h
    core/RouteTable.h core/RouteTable.cpp
    core/Session.h core/Session.cpp
    core/SettingsModel.h core/SettingsModel.cpp
    core/SettingsStore.h core/SettingsStore.cpp
    core/SharedContent.h core/SharedContent.cpp
    core/TvEventSchedule.h core/TvEventSchedule.cpp
)

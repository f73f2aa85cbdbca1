list(APPEND ORVELLA_SOURCES
    platform/FileReveal.h platform/FileReveal.cpp
    platform/Notifier.h
    platform/FreedesktopNotifier.h platform/FreedesktopNotifier.cpp
)

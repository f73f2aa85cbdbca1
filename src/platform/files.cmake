list(APPEND ORVELLA_SOURCES
    platform/FileReveal.h platform/FileReveal.cpp
)

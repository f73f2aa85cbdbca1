list(APPEND ORVELLA_SOURCES
    api/ServiceOrigin.h api/ServiceOrigin.cpp
)

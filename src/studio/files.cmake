list(APPEND ORVELLA_SOURCES
    studio/StudioCaptureController.h studio/StudioCaptureController.cpp
)

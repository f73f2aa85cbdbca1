list(APPEND ORVELLA_SOURCES
    studio/StudioCaptureController.h studio/StudioCaptureController.cpp
)
# Screen and delivery
list(APPEND ORVELLA_SOURCES
    studio/RecordingDelivery.h studio/RecordingDelivery.cpp
    studio/RecordingTransport.h studio/RecordingTransport.cpp
)

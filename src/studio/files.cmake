list(APPEND ORVELLA_SOURCES
    studio/StudioCaptureController.h studio/StudioCaptureController.cpp
    studio/CaptureError.h
    studio/StudioPlatform.h
    studio/StudioBackgroundPreset.h studio/StudioBackgroundPreset.cpp
    studio/StudioAnimatedBackgroundRenderer.h studio/StudioAnimatedBackgroundRenderer.cpp
    studio/StudioFramePipeline.h studio/StudioFramePipeline.cpp
    studio/StudioRecordingFiles.h studio/StudioRecordingFiles.cpp
)
list(APPEND ORVELLA_SOURCES
    studio/StudioPreviewItem.h studio/StudioPreviewItem.cpp
)
list(APPEND ORVELLA_QML
    studio/ProcessedCameraPreview.qml
)
# Screen and delivery
list(APPEND ORVELLA_SOURCES
    studio/RecordingDelivery.h studio/RecordingDelivery.cpp
    studio/RecordingTransport.h studio/RecordingTransport.cpp
)

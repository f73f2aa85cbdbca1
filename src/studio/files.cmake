list(APPEND ORVELLA_SOURCES
    studio/StudioCaptureController.h studio/StudioCaptureController.cpp
    studio/StudioCaptureSession.h studio/StudioCaptureSession.cpp
    studio/StudioLook.h studio/StudioLook.cpp
    studio/StudioRecordingSession.h studio/StudioRecordingSession.cpp
    studio/RecordingDeliveryState.h studio/RecordingDeliveryState.cpp
    studio/CaptureError.h
    studio/StudioPlatform.h
    studio/StudioBackgroundPreset.h studio/StudioBackgroundPreset.cpp
    studio/StudioPictureCatalog.h studio/StudioPictureCatalog.cpp
    studio/StudioAnimatedBackgroundRenderer.h studio/StudioAnimatedBackgroundRenderer.cpp
    studio/StudioFramePipeline.h studio/StudioFramePipeline.cpp
    studio/StudioRecordingFiles.h studio/StudioRecordingFiles.cpp
)
list(APPEND ORVELLA_SOURCES
    studio/StudioPreviewItem.h studio/StudioPreviewItem.cpp
    studio/SwatchPictureItem.h studio/SwatchPictureItem.cpp
)
list(APPEND ORVELLA_QML
    studio/ProcessedCameraPreview.qml
)
list(APPEND ORVELLA_SOURCES studio/StudioLog.h studio/StudioLog.cpp)
# Screen and delivery
list(APPEND ORVELLA_SOURCES
    studio/RecordingDelivery.h studio/RecordingDelivery.cpp
    studio/RecordingTransport.h studio/RecordingTransport.cpp
    studio/BackgroundPickerModel.h studio/BackgroundPickerModel.cpp
    studio/StudioScreenModel.h studio/StudioScreenModel.cpp
)
list(APPEND ORVELLA_QML
    studio/TestimonyRecordingScreen.qml
    studio/StudioStage.qml
    studio/StudioPreviewPlayer.qml
    studio/StudioStatusPill.qml
    studio/RecordingTransportBar.qml
    studio/StudioReadyCard.qml
    studio/StudioUploadButton.qml
    studio/StudioControlsPanel.qml
    studio/StudioControlSection.qml
    studio/StudioLabeledSlider.qml
    studio/StudioDevicePicker.qml
    studio/BackgroundPicker.qml
    studio/PresetSwatchView.qml
)
# The background pictures and the emblem, painted by tools/studio-pictures. They go into a
# resource library of their own (src/CMakeLists.txt), not into every test program.
set(ORVELLA_STUDIO_PICTURES
    OrvellaStudio.jpg OrvellaBrandBG.jpg OrvellaLogoTiles.jpg OrvellaEmblem.png
    JerusalemOldCity.jpg MountOfOlives.jpg ViaDolorosa.jpg SeaOfGalilee.jpg JordanRiver.jpg
    GardenTomb.jpg BethlehemHills.jpg CapernaumShore.jpg NazarethHills.jpg GolgothaRidge.jpg
    UpperRoomQuiet.jpg PoolOfBethesda.jpg WesternWallPlaza.jpg TempleMountDawn.jpg
    HolySepulchreCourt.jpg BethsaidaShore.jpg CanaVillage.jpg
)

list(APPEND ORVELLA_SOURCES
    ui/AnimationTimeline.h ui/AnimationTimeline.cpp
    ui/BundledImageItem.h ui/BundledImageItem.cpp
    ui/FilledShapes.h ui/FilledShapes.cpp
    ui/FirstFrameWatch.h ui/FirstFrameWatch.cpp
    ui/GraphemeText.h ui/GraphemeText.cpp
    ui/ImageCache.h ui/ImageCache.cpp
    ui/DecodeBounds.h ui/DecodeBounds.cpp
    ui/ImageDecoder.h ui/ImageDecoder.cpp
    ui/ImageNetwork.h ui/ImageNetwork.cpp
    ui/ImagePrefetcher.h ui/ImagePrefetcher.cpp
    ui/PaintedNode.h ui/PaintedNode.cpp
    ui/PictureItem.h ui/PictureItem.cpp
    ui/KeyedListModel.h
    ui/QrCode.h ui/QrCode.cpp
    ui/ReadOnlyTextKeys.h ui/ReadOnlyTextKeys.cpp
    ui/RemoteImageItem.h ui/RemoteImageItem.cpp
    ui/RoundedFillItem.h ui/RoundedFillItem.cpp
    ui/RoundedCorners.h ui/RoundedCorners.cpp
    ui/RoundedPictureNodes.h ui/RoundedPictureNodes.cpp
    ui/SavePaths.h ui/SavePaths.cpp
    ui/FolderBrowserModel.h ui/FolderBrowserModel.cpp
    ui/SaveFileDialogModel.h ui/SaveFileDialogModel.cpp
    ui/ShimmerBand.h ui/ShimmerBand.cpp
    ui/SymbolGlyphs.h ui/SymbolGlyphs.cpp
    ui/TextShadowItem.h ui/TextShadowItem.cpp
)
list(APPEND ORVELLA_QML
    ui/BorderedButton.qml
    ui/BusySpinner.qml
    ui/GlassCard.qml
    ui/GoldButtonStyle.qml
    ui/OrvellaLogo.qml
    ui/LinkButton.qml
    ui/OrvellaTheme.qml
    ui/PlainButton.qml
    ui/QRCodeView.qml
    ui/RemoteImage.qml
    ui/SaveFileDialog.qml
    ui/SegmentedControl.qml
    ui/SelectableText.qml
    ui/SymbolIcon.qml
    ui/ThemedCheckBox.qml
    ui/ThemedTextField.qml
    ui/ThemedToggle.qml
    ui/ThumbnailShimmer.qml
    ui/WelcomeBackdrop.qml
)
list(APPEND ORVELLA_RESOURCES ui/gold-glow.png ui/Orvella-logo-crop.png)
list(APPEND ORVELLA_QML_SINGLETONS
    ui/OrvellaTheme.qml
)

list(APPEND ORVELLA_PLATFORM_SOURCES
    platform/PlatformLog.h platform/PlatformLog.cpp
    platform/PlatformError.h
    platform/FileReveal.h platform/FileReveal.cpp
    platform/SaveFileChooser.h platform/SaveFileChooser.cpp
    platform/Notifier.h
    platform/FreedesktopNotifier.h platform/FreedesktopNotifier.cpp
    platform/WindowLossWatch.h platform/WindowLossWatch.cpp
)
# Playback and sleep prevention.
list(APPEND ORVELLA_PLATFORM_SOURCES
    platform/MediaPlayer.h
    platform/MediaPlayerFactory.h
    platform/FakeMediaPlayer.h platform/FakeMediaPlayer.cpp
    platform/HlsPlaylist.h platform/HlsPlaylist.cpp
    platform/HlsPlaylistCut.h platform/HlsPlaylistCut.cpp
    platform/LoopbackPlaylistServer.h platform/LoopbackPlaylistServer.cpp
    platform/PlaylistTimeline.h platform/PlaylistTimeline.cpp platform/PlaylistTimelinePlan.cpp
    platform/PlaylistTimelineTolerances.h
    platform/BoundedFetch.h platform/BoundedFetch.cpp
    platform/SegmentTimeStamp.h platform/SegmentTimeStamp.cpp
    platform/Fmp4TimeStamp.h platform/Fmp4TimeStamp.cpp
    platform/HlsItemSource.h platform/HlsItemSource.cpp
    platform/RuntimeLibrary.h platform/RuntimeLibrary.cpp
    platform/MpvLibrary.h platform/MpvLibrary.cpp
    platform/MpvCore.h platform/MpvCore.cpp
    platform/MpvMediaPlayer.h platform/MpvMediaPlayer.cpp
    platform/MpvMediaPlayerOutput.cpp platform/MpvMediaPlayerTracks.cpp
    platform/MpvMediaPlayerProgress.cpp platform/MpvMediaPlayerLoads.cpp
    platform/MpvMediaPlayerReplies.h
    platform/MpvSoftwareRenderer.h platform/MpvSoftwareRenderer.cpp
    platform/MpvOpenGlRenderer.h platform/MpvOpenGlRenderer.cpp
    platform/WebVttCaptions.h platform/WebVttCaptions.cpp
    platform/WebVttCues.h platform/WebVttCues.cpp
    platform/Clock.h platform/Clock.cpp
    platform/SleepInhibitor.h
    platform/DBusSleepInhibitor.h platform/DBusSleepInhibitor.cpp
)
# Start-up milestones and safeguards.
list(APPEND ORVELLA_PLATFORM_SOURCES
    platform/StartupTrace.h platform/StartupTrace.cpp
    platform/ShaderCacheGuard.h platform/ShaderCacheGuard.cpp
    platform/SceneGraphChoice.h platform/SceneGraphChoice.cpp
    platform/DesktopWarmUp.h platform/DesktopWarmUp.cpp
)
# QR codes.
list(APPEND ORVELLA_PLATFORM_SOURCES platform/QrEncoder.h platform/QrEncoder.cpp)
# Studio capture, processing and writing
list(APPEND ORVELLA_PLATFORM_SOURCES
    platform/MediaClock.h platform/MediaClock.cpp
    platform/CapturedMedia.h
    platform/CaptureDeviceCatalog.h platform/CaptureDeviceCatalog.cpp
    platform/CameraSource.h platform/CameraSource.cpp platform/SystemCameraSource.cpp
    platform/MicrophoneSource.h platform/MicrophoneSource.cpp platform/SystemMicrophoneSource.cpp
    platform/PersonSegmenter.h platform/OnnxPersonSegmenter.cpp
    platform/FfmpegLibrary.h platform/FfmpegLibrary.cpp
    platform/MovieWriter.h platform/FfmpegMovieWriter.cpp
    platform/ImageFilters.h platform/ImageFilters.cpp
    platform/BackgroundFileLoader.h platform/BackgroundFileLoader.cpp
    platform/TestCameraFeed.h platform/TestCameraFeed.cpp
)

list(APPEND ORVELLA_SOURCES
    screens/programs/EpisodeGridRows.h screens/programs/EpisodeGridRows.cpp
    screens/programs/EpisodeListModel.h screens/programs/EpisodeListModel.cpp
    screens/programs/EpisodeChromeModel.h screens/programs/EpisodeChromeModel.cpp
    screens/programs/EpisodePlayerModel.h screens/programs/EpisodePlayerModel.cpp
    screens/programs/EpisodePlayNextQueue.h screens/programs/EpisodePlayNextQueue.cpp
    screens/programs/EpisodeScrubberModel.h screens/programs/EpisodeScrubberModel.cpp
    screens/programs/EpisodeText.h screens/programs/EpisodeText.cpp
    screens/programs/EpisodeViewingHistory.h screens/programs/EpisodeViewingHistory.cpp
    screens/programs/ProgramDetailModel.h screens/programs/ProgramDetailModel.cpp
    screens/programs/ProgramsScreenModel.h screens/programs/ProgramsScreenModel.cpp
    screens/programs/ScreenTasks.h screens/programs/ScreenTasks.cpp
    screens/programs/SearchScreenModel.h screens/programs/SearchScreenModel.cpp
)
list(APPEND ORVELLA_QML
    screens/programs/EpisodeGridSkeleton.qml
    screens/programs/EpisodeListingCard.qml
    screens/programs/EpisodeErrorPanel.qml
    screens/programs/EpisodeLoadingPanel.qml
    screens/programs/EpisodeMenuHeader.qml
    screens/programs/EpisodeMenuRow.qml
    screens/programs/EpisodePill.qml
    screens/programs/EpisodePlayerScreen.qml
    screens/programs/EpisodeQualityMenu.qml
    screens/programs/EpisodeRepeatMenu.qml
    screens/programs/PlayerCircleButton.qml
    screens/programs/PlayingNextCard.qml
    screens/programs/ProgramBanner.qml
    screens/programs/ProgramCard.qml
    screens/programs/ProgramDetailScreen.qml
    screens/programs/ProgramsGrid.qml
    screens/programs/ProgramsScreen.qml
    screens/programs/RelatedEpisodesOverlay.qml
    screens/programs/SearchScreen.qml
    screens/programs/TVEpisodeChrome.qml
    screens/programs/TVScrubber.qml
    screens/programs/UniformEpisodeGrid.qml
)

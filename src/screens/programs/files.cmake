list(APPEND ORVELLA_QML
    screens/programs/EpisodePlayerScreen.qml
    screens/programs/ProgramDetailScreen.qml
    screens/programs/ProgramsScreen.qml
    screens/programs/SearchScreen.qml
)

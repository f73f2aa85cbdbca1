list(APPEND ORVELLA_SOURCES
    screens/home/HomeScreenModel.h screens/home/HomeScreenModel.cpp
    screens/home/HomeScreenRails.h screens/home/HomeScreenRails.cpp
    screens/home/MenuOverlayModel.h screens/home/MenuOverlayModel.cpp
)
list(APPEND ORVELLA_QML
    screens/home/CountdownScreen.qml
    screens/home/EngagementQRScreen.qml
    screens/home/HomeScreen.qml
    screens/home/HomeScreenCard.qml
    screens/home/HomeScreenHero.qml
    screens/home/HomeScreenQuickLinks.qml
    screens/home/HomeScreenRail.qml
    screens/home/KidsZoneLibraryScreen.qml
    screens/home/LanguagesScreen.qml
    screens/home/MagazineScreen.qml
    screens/home/MenuOverlay.qml
    screens/home/MenuOverlayTile.qml
    screens/home/TestimoniesLibraryScreen.qml
    screens/home/TestimonyScreen.qml
    screens/home/VirtualCenterScreen.qml
)
list(APPEND ORVELLA_SOURCES
    screens/home/KidsZoneLibraryModel.h screens/home/KidsZoneLibraryModel.cpp
    screens/home/LibraryScreenModel.h screens/home/LibraryScreenModel.cpp
    screens/home/TestimoniesLibraryModel.h screens/home/TestimoniesLibraryModel.cpp
)
list(APPEND ORVELLA_QML
    screens/home/LibraryHeader.qml
    screens/home/LibraryUnavailable.qml
)
# Languages, written testimony.
list(APPEND ORVELLA_SOURCES
    screens/home/LanguagesScreenModel.h screens/home/LanguagesScreenModel.cpp
    screens/home/TestimonyDraft.h screens/home/TestimonyDraft.cpp
    screens/home/TestimonyScreenModel.h screens/home/TestimonyScreenModel.cpp
)
list(APPEND ORVELLA_QML
    screens/home/AutoSizingTextEditor.qml
    screens/home/LanguagesList.qml
    screens/home/TestimonyField.qml
    screens/home/TestimonyRecordCard.qml
)
list(APPEND ORVELLA_SOURCES
    screens/home/CountdownEventList.h screens/home/CountdownEventList.cpp
    screens/home/CountdownScreenModel.h screens/home/CountdownScreenModel.cpp
    screens/home/VirtualCenterList.h screens/home/VirtualCenterList.cpp
    screens/home/VirtualCenterScreenModel.h screens/home/VirtualCenterScreenModel.cpp
)

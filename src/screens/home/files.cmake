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

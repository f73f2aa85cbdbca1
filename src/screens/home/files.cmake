list(APPEND ORVELLA_QML
    screens/home/CountdownScreen.qml
    screens/home/EngagementQRScreen.qml
    screens/home/HomeScreen.qml
    screens/home/KidsZoneLibraryScreen.qml
    screens/home/LanguagesScreen.qml
    screens/home/MagazineScreen.qml
    screens/home/MenuOverlay.qml
    screens/home/TestimoniesLibraryScreen.qml
    screens/home/TestimonyScreen.qml
    screens/home/VirtualCenterScreen.qml
)

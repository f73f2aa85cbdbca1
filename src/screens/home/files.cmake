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
list(APPEND ORVELLA_SOURCES
    screens/home/CountdownEventList.h screens/home/CountdownEventList.cpp
    screens/home/CountdownScreenModel.h screens/home/CountdownScreenModel.cpp
    screens/home/VirtualCenterList.h screens/home/VirtualCenterList.cpp
    screens/home/VirtualCenterScreenModel.h screens/home/VirtualCenterScreenModel.cpp
)

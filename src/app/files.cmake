list(APPEND ORVELLA_SOURCES
    app/Application.h app/Application.cpp
)
list(APPEND ORVELLA_QML
    app/Main.qml
)

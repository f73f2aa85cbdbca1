import QtQuick
import Orvella

// Stands in for the live screen until it is part of the build.
RoutePlaceholder {
    property QtObject player
    route: MacRoute.Live
    gradient: Gradient {
        orientation: Gradient.Vertical
        GradientStop { position: 0; color: OrvellaTheme.navyDeep }
        GradientStop { position: 1; color: OrvellaTheme.canvas }
    }
}

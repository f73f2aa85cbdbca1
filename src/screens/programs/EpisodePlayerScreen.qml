import QtQuick
import Orvella

// Placeholder until the screen is built.
RoutePlaceholder {
    property string episodeId
    route: MacRoute.Episode
}

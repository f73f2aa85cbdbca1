import QtQuick
import Orvella

// Placeholder until the screen is built.
RoutePlaceholder {
    route: MacRoute.KidsZone
}

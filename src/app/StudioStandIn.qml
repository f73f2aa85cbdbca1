import QtQuick
import Orvella

// Stands in for the testimony studio until it is part of the build.
RoutePlaceholder {
    property QtObject capture
    route: MacRoute.TestimonyRec
}

#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

// Every screen the window can show. QML reaches the cases as MacRoute.Live, MacRoute.Home, …;
// the raw values ("live", "kidsZone", …) are the lower-camel names the routes are known by.
namespace MacRoute {
Q_NAMESPACE
QML_ELEMENT

enum Value : int {
    Live,
    Home,
    Menu,
    Languages,
    Give,
    Herald,
    Testimony,
    Magazine,
    KidsZone,
    VirtualCenter,
    Countdown,
    TestimoniesLib,
    Programs,
    Search,
    ProgramDetail,
    Episode,
    TestimonyRec,
    Notifications,
    Settings,
    Login,
    Splash,
    ForceUpdate,
    Maintenance,
};
Q_ENUM_NS(Value)

inline constexpr int count = 23;

[[nodiscard]] QString rawValue(Value route);
// Exact, case-sensitive match of the whole text; anything else names no route.
[[nodiscard]] std::optional<Value> fromRawValue(QStringView raw);
[[nodiscard]] QString title(Value route);
// The name of the symbol shown beside the title (the icon component maps it to a glyph).
[[nodiscard]] QString systemImage(Value route);
// Lower-case single character; the menu adds the modifiers.
[[nodiscard]] QString shortcutKey(Value route);

// All 23 routes in declaration order.
[[nodiscard]] const QList<Value> &allCases();
// The 16 routes of the Navigate menu and the menu overlay, in menu order.
[[nodiscard]] const QList<Value> &sidebarRoutes();
} // namespace MacRoute

using Route = MacRoute::Value;

} // namespace orvella

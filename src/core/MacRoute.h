#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <array>
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

// What a route is, beyond its name.
enum Flag : unsigned {
    // A guest may see it; start-up and sign-in screens, where the live screen is not kept warm.
    Public = 1u << 0,
    // Shown without the header band.
    Headerless = 1u << 1,
    // Never put on the back stack when left.
    NeverPushed = 1u << 2,
    // Going back is not offered on it.
    NoBack = 1u << 3,
};

// One route's facts; the table holds one per route, in declaration order.
struct Record
{
    Value route;
    const char16_t *raw;
    const char16_t *title;
    // The name of the symbol shown beside the title (the icon component maps it to a glyph).
    const char16_t *systemImage;
    // Lower-case single character; the menu adds the modifiers.
    char16_t shortcutKey;
    // The screen the route layer builds, relative to the module; none for live (the warm layer
    // shows it).
    const char16_t *screen;
    unsigned flags;
    // Place in the Navigate menu and the menu overlay (from 1); 0 for routes not listed there.
    int menuPosition;

    [[nodiscard]] constexpr bool has(Flag flag) const { return (flags & flag) != 0; }
    // The live screen stays alive under every route that is not public.
    [[nodiscard]] constexpr bool keepsLiveWarm() const { return !has(Public); }
};

[[nodiscard]] const std::array<Record, count> &records();
[[nodiscard]] const Record &record(Value route);

[[nodiscard]] QString rawValue(Value route);
// Exact, case-sensitive match of the whole text; anything else names no route.
[[nodiscard]] std::optional<Value> fromRawValue(QStringView raw);
[[nodiscard]] QString title(Value route);
[[nodiscard]] QString systemImage(Value route);
[[nodiscard]] QString shortcutKey(Value route);

// All 23 routes in declaration order.
[[nodiscard]] const QList<Value> &allCases();
// The routes of the Navigate menu and the menu overlay, in menu order.
[[nodiscard]] const QList<Value> &sidebarRoutes();
} // namespace MacRoute

using Route = MacRoute::Value;

} // namespace orvella

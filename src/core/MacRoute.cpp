#include "core/MacRoute.h"

#include <algorithm>

namespace orvella::MacRoute {

namespace {

// Start-up and sign-in screens: open to guests, bare, never returned to.
constexpr unsigned publicScreen = Public | Headerless | NeverPushed | NoBack;

// In declaration order of MacRoute::Value.
constexpr std::array<Record, count> table { {
    { Live, u"live", u"Live", u"dot.radiowaves.left.and.right", u'l', nullptr, Headerless | NoBack,
        1 },
    { Home, u"home", u"Home", u"house.fill", u'h', u"screens/home/HomeScreen.qml", 0, 2 },
    { Menu, u"menu", u"Menu", u"square.grid.2x2", u'm', u"screens/home/MenuOverlay.qml",
        Headerless | NeverPushed, 0 },
    { Languages, u"languages", u"Languages", u"globe", u'l', u"screens/home/LanguagesScreen.qml", 0,
        5 },
    { Give, u"give", u"Partner & Give", u"heart.fill", u'g', u"screens/home/EngagementQRScreen.qml",
        0, 6 },
    { Herald, u"herald", u"Become Herald", u"megaphone.fill", u'h',
        u"screens/home/EngagementQRScreen.qml", 0, 7 },
    { Testimony, u"testimony", u"Share Testimony", u"quote.bubble.fill", u't',
        u"screens/home/TestimonyScreen.qml", 0, 8 },
    { Magazine, u"magazine", u"Free Magazine", u"book.fill", u'm',
        u"screens/home/MagazineScreen.qml", 0, 0 },
    { KidsZone, u"kidsZone", u"Kids Zone", u"person.2.fill", u'k',
        u"screens/home/KidsZoneLibraryScreen.qml", 0, 9 },
    { VirtualCenter, u"virtualCenter", u"Virtual Center", u"person.3.fill", u'v',
        u"screens/home/VirtualCenterScreen.qml", 0, 10 },
    { Countdown, u"countdown", u"Countdown", u"timer", u'c', u"screens/home/CountdownScreen.qml", 0,
        11 },
    { TestimoniesLib, u"testimoniesLib", u"Orvella Testimonies", u"play.rectangle.fill", u't',
        u"screens/home/TestimoniesLibraryScreen.qml", 0, 12 },
    { Programs, u"programs", u"Programs", u"rectangle.stack.fill", u'p',
        u"screens/programs/ProgramsScreen.qml", 0, 3 },
    { Search, u"search", u"Search", u"magnifyingglass", u'f', u"screens/programs/SearchScreen.qml",
        0, 4 },
    { ProgramDetail, u"programDetail", u"Program", u"film", u'p',
        u"screens/programs/ProgramDetailScreen.qml", 0, 0 },
    { Episode, u"episode", u"Episode", u"play.circle.fill", u'e',
        u"screens/programs/EpisodePlayerScreen.qml", Headerless, 0 },
    { TestimonyRec, u"testimonyRec", u"Testimony Studio", u"video.fill", u't',
        u"studio/TestimonyRecordingScreen.qml", 0, 13 },
    { Notifications, u"notifications", u"Notifications", u"bell.fill", u'n',
        u"screens/account/NotificationsScreen.qml", 0, 14 },
    { Settings, u"settings", u"Settings", u"gearshape.fill", u',',
        u"screens/account/SettingsScreen.qml", 0, 15 },
    { Login, u"login", u"Sign In", u"person.crop.circle", u'l', u"screens/account/LoginScreen.qml",
        publicScreen, 16 },
    { Splash, u"splash", u"Loading", u"app", u's', u"app/SplashView.qml", publicScreen, 0 },
    { ForceUpdate, u"forceUpdate", u"Update Required", u"app", u'f', u"app/ForceUpdateView.qml",
        publicScreen, 0 },
    { Maintenance, u"maintenance", u"Maintenance", u"app", u'm', u"app/MaintenanceView.qml",
        publicScreen, 0 },
} };

constexpr bool inDeclarationOrder()
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (std::size_t(table[i].route) != i)
            return false;
    }
    return true;
}
static_assert(inDeclarationOrder(), "the route table is in declaration order");

} // namespace

const std::array<Record, count> &records()
{
    return table;
}

const Record &record(Value route)
{
    return table.at(static_cast<std::size_t>(route));
}

QString rawValue(Value route)
{
    return QString::fromUtf16(record(route).raw);
}

std::optional<Value> fromRawValue(QStringView raw)
{
    for (const Record &r : table) {
        if (raw == QStringView(r.raw))
            return r.route;
    }
    return std::nullopt;
}

QString title(Value route)
{
    return QString::fromUtf16(record(route).title);
}

QString systemImage(Value route)
{
    return QString::fromUtf16(record(route).systemImage);
}

QString shortcutKey(Value route)
{
    return QString(QChar(record(route).shortcutKey));
}

const QList<Value> &allCases()
{
    static const QList<Value> all = [] {
        QList<Value> list;
        for (const Record &r : table)
            list.append(r.route);
        return list;
    }();
    return all;
}

const QList<Value> &sidebarRoutes()
{
    static const QList<Value> routes = [] {
        QList<const Record *> listed;
        for (const Record &r : table) {
            if (r.menuPosition > 0)
                listed.append(&r);
        }
        std::ranges::sort(listed, {}, &Record::menuPosition);
        QList<Value> list;
        for (const Record *r : listed)
            list.append(r->route);
        return list;
    }();
    return routes;
}

} // namespace orvella::MacRoute

#include "core/MacRoute.h"

#include <array>

namespace orvella {

namespace {

struct RouteRow
{
    const char16_t *raw;
    const char16_t *title;
    const char16_t *systemImage;
    char16_t shortcutKey;
};

// In declaration order of MacRoute::Value.
constexpr std::array<RouteRow, MacRoute::count> routeRows { {
    { u"live", u"Live", u"dot.radiowaves.left.and.right", u'l' },
    { u"home", u"Home", u"house.fill", u'h' },
    { u"menu", u"Menu", u"square.grid.2x2", u'm' },
    { u"languages", u"Languages", u"globe", u'l' },
    { u"give", u"Partner & Give", u"heart.fill", u'g' },
    { u"herald", u"Become Herald", u"megaphone.fill", u'h' },
    { u"testimony", u"Share Testimony", u"quote.bubble.fill", u't' },
    { u"magazine", u"Free Magazine", u"book.fill", u'm' },
    { u"kidsZone", u"Kids Zone", u"person.2.fill", u'k' },
    { u"virtualCenter", u"Virtual Center", u"person.3.fill", u'v' },
    { u"countdown", u"Countdown", u"timer", u'c' },
    { u"testimoniesLib", u"Orvella Testimonies", u"play.rectangle.fill", u't' },
    { u"programs", u"Programs", u"rectangle.stack.fill", u'p' },
    { u"search", u"Search", u"magnifyingglass", u'f' },
    { u"programDetail", u"Program", u"film", u'p' },
    { u"episode", u"Episode", u"play.circle.fill", u'e' },
    { u"testimonyRec", u"Testimony Studio", u"video.fill", u't' },
    { u"notifications", u"Notifications", u"bell.fill", u'n' },
    { u"settings", u"Settings", u"gearshape.fill", u',' },
    { u"login", u"Sign In", u"person.crop.circle", u'l' },
    { u"splash", u"Loading", u"app", u's' },
    { u"forceUpdate", u"Update Required", u"app", u'f' },
    { u"maintenance", u"Maintenance", u"app", u'm' },
} };

} // namespace

namespace MacRoute {

namespace {

const RouteRow &row(Value route)
{
    return routeRows.at(static_cast<std::size_t>(route));
}

} // namespace

QString rawValue(Value route)
{
    return QString::fromUtf16(row(route).raw);
}

std::optional<Value> fromRawValue(QStringView raw)
{
    for (std::size_t i = 0; i < routeRows.size(); ++i) {
        if (raw == QStringView(routeRows[i].raw))
            return static_cast<Value>(i);
    }
    return std::nullopt;
}

QString title(Value route)
{
    return QString::fromUtf16(row(route).title);
}

QString systemImage(Value route)
{
    return QString::fromUtf16(row(route).systemImage);
}

QString shortcutKey(Value route)
{
    return QString(QChar(row(route).shortcutKey));
}

const QList<Value> &allCases()
{
    static const QList<Value> all = [] {
        QList<Value> list;
        for (int i = 0; i < count; ++i)
            list.append(static_cast<Value>(i));
        return list;
    }();
    return all;
}

const QList<Value> &sidebarRoutes()
{
    static const QList<Value> routes { Live, Home, Programs, Search, Languages, Give, Herald,
        Testimony, KidsZone, VirtualCenter, Countdown, TestimoniesLib, TestimonyRec, Notifications,
        Settings, Login };
    return routes;
}

} // namespace MacRoute

} // namespace orvella

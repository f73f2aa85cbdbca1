#include "core/RouteTable.h"

namespace orvella {

namespace {

std::optional<MacRoute::Value> checked(int route)
{
    if (route < 0 || route >= MacRoute::count)
        return std::nullopt;
    return static_cast<MacRoute::Value>(route);
}

// The text `describe` gives for a route number, or "" for a number that names no route.
QString textOf(int route, QString (*describe)(MacRoute::Value))
{
    const auto value = checked(route);
    return value ? describe(*value) : QString();
}

QList<int> toInts(const QList<MacRoute::Value> &routes)
{
    QList<int> ints;
    ints.reserve(routes.size());
    for (const MacRoute::Value route : routes)
        ints.append(route);
    return ints;
}

} // namespace

RouteTable::RouteTable(QObject *parent)
    : QObject(parent)
{ }

QList<int> RouteTable::allRoutes()
{
    return toInts(MacRoute::allCases());
}

QList<int> RouteTable::sidebarRoutes()
{
    return toInts(MacRoute::sidebarRoutes());
}

QString RouteTable::title(int route)
{
    return textOf(route, &MacRoute::title);
}

QString RouteTable::systemImage(int route)
{
    return textOf(route, &MacRoute::systemImage);
}

QString RouteTable::shortcutKey(int route)
{
    return textOf(route, &MacRoute::shortcutKey);
}

QString RouteTable::rawValue(int route)
{
    return textOf(route, &MacRoute::rawValue);
}

int RouteTable::fromRawValue(const QString &raw)
{
    const auto value = MacRoute::fromRawValue(raw);
    return value ? int(*value) : -1;
}

} // namespace orvella

#include "core/MacRoute.h"
#include "core/RouteTable.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QSet>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace MacRoute = orvella::MacRoute;

TEST(MacRoute, RawValuesAreUniqueAndRoundTrip)
{
    QSet<QString> raws;
    for (const MacRoute::Value route : MacRoute::allCases()) {
        const QString raw = MacRoute::rawValue(route);
        EXPECT_FALSE(raws.contains(raw)) << raw.toStdString();
        raws.insert(raw);
        EXPECT_EQ(MacRoute::fromRawValue(raw), route);
    }
    EXPECT_EQ(raws.size(), MacRoute::count);
    // Only the exact, whole text names a route.
    for (const QStringView text : { u"Live", u" live", u"", u"kidszone" })
        EXPECT_EQ(MacRoute::fromRawValue(text), std::nullopt) << text.toString().toStdString();
}

TEST(MacRoute, PublicRoutesAreBareAndNeverReturnedTo)
{
    for (const MacRoute::Record &record : MacRoute::records()) {
        SCOPED_TRACE(MacRoute::rawValue(record.route).toStdString());
        if (!record.has(MacRoute::Public))
            continue;
        EXPECT_TRUE(record.has(MacRoute::Headerless));
        EXPECT_TRUE(record.has(MacRoute::NeverPushed));
        EXPECT_TRUE(record.has(MacRoute::NoBack));
        EXPECT_FALSE(record.keepsLiveWarm());
    }
}

TEST(MacRoute, SidebarListsEachRouteOnceAndNeverAPublicStartUpScreen)
{
    const auto &sidebar = MacRoute::sidebarRoutes();
    EXPECT_EQ(QSet<MacRoute::Value>(sidebar.begin(), sidebar.end()).size(), sidebar.size());
    EXPECT_EQ(sidebar.first(), MacRoute::Live);
    for (const auto route : { MacRoute::Menu, MacRoute::Splash, MacRoute::ForceUpdate })
        EXPECT_FALSE(sidebar.contains(route));
}

TEST(RouteTable, QmlReachesRouteNamesAndTheirTexts)
{
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQml
        import Orvella
        QtObject {
            property int settings: MacRoute.Settings
            property string title: RouteTable.title(MacRoute.KidsZone)
            property string key: RouteTable.shortcutKey(MacRoute.Settings)
            property int sidebarCount: RouteTable.sidebarRoutes.length
            property string unknownTitle: RouteTable.title(99)
            property int parsed: RouteTable.fromRawValue("forceUpdate")
            property int unparsed: RouteTable.fromRawValue("nope")
        })",
        QUrl());
    std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_EQ(object->property("settings").toInt(), int(MacRoute::Settings));
    EXPECT_EQ(object->property("title").toString(), MacRoute::title(MacRoute::KidsZone));
    EXPECT_EQ(object->property("key").toString(), MacRoute::shortcutKey(MacRoute::Settings));
    EXPECT_EQ(object->property("sidebarCount").toInt(), MacRoute::sidebarRoutes().size());
    EXPECT_EQ(object->property("unknownTitle").toString(), "");
    EXPECT_EQ(object->property("parsed").toInt(), int(MacRoute::ForceUpdate));
    EXPECT_EQ(object->property("unparsed").toInt(), -1);
}

} // namespace

#include "core/MacRoute.h"
#include "core/RouteTable.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace MacRoute = orvella::MacRoute;

TEST(MacRoute, TableOfAllTwentyThreeRoutes)
{
    struct Row
    {
        MacRoute::Value route;
        const char *raw, *title, *symbol, *key;
    };
    const Row rows[] = {
        { MacRoute::Live, "live", "Live", "dot.radiowaves.left.and.right", "l" },
        { MacRoute::Home, "home", "Home", "house.fill", "h" },
        { MacRoute::Menu, "menu", "Menu", "square.grid.2x2", "m" },
        { MacRoute::Languages, "languages", "Languages", "globe", "l" },
        { MacRoute::Give, "give", "Partner & Give", "heart.fill", "g" },
        { MacRoute::Herald, "herald", "Become Herald", "megaphone.fill", "h" },
        { MacRoute::Testimony, "testimony", "Share Testimony", "quote.bubble.fill", "t" },
        { MacRoute::Magazine, "magazine", "Free Magazine", "book.fill", "m" },
        { MacRoute::KidsZone, "kidsZone", "Kids Zone", "person.2.fill", "k" },
        { MacRoute::VirtualCenter, "virtualCenter", "Virtual Center", "person.3.fill", "v" },
        { MacRoute::Countdown, "countdown", "Countdown", "timer", "c" },
        { MacRoute::TestimoniesLib, "testimoniesLib", "Orvella Testimonies", "play.rectangle.fill",
            "t" },
        { MacRoute::Programs, "programs", "Programs", "rectangle.stack.fill", "p" },
        { MacRoute::Search, "search", "Search", "magnifyingglass", "f" },
        { MacRoute::ProgramDetail, "programDetail", "Program", "film", "p" },
        { MacRoute::Episode, "episode", "Episode", "play.circle.fill", "e" },
        { MacRoute::TestimonyRec, "testimonyRec", "Testimony Studio", "video.fill", "t" },
        { MacRoute::Notifications, "notifications", "Notifications", "bell.fill", "n" },
        { MacRoute::Settings, "settings", "Settings", "gearshape.fill", "," },
        { MacRoute::Login, "login", "Sign In", "person.crop.circle", "l" },
        { MacRoute::Splash, "splash", "Loading", "app", "s" },
        { MacRoute::ForceUpdate, "forceUpdate", "Update Required", "app", "f" },
        { MacRoute::Maintenance, "maintenance", "Maintenance", "app", "m" },
    };
    const auto &all = MacRoute::allCases();
    ASSERT_EQ(all.size(), 23);
    for (int i = 0; i < all.size(); ++i) {
        const Row &row = rows[i];
        SCOPED_TRACE(row.raw);
        EXPECT_EQ(all[i], row.route);
        EXPECT_EQ(MacRoute::rawValue(row.route), QString::fromUtf8(row.raw));
        EXPECT_EQ(MacRoute::title(row.route), QString::fromUtf8(row.title));
        EXPECT_EQ(MacRoute::systemImage(row.route), QString::fromUtf8(row.symbol));
        EXPECT_EQ(MacRoute::shortcutKey(row.route), QString::fromUtf8(row.key));
        EXPECT_EQ(MacRoute::fromRawValue(QString::fromUtf8(row.raw)), row.route);
    }
}

TEST(MacRoute, RawValuesMatchExactlyOrNameNoRoute)
{
    EXPECT_EQ(MacRoute::fromRawValue(u"Live"), std::nullopt);
    EXPECT_EQ(MacRoute::fromRawValue(u" live"), std::nullopt);
    EXPECT_EQ(MacRoute::fromRawValue(u""), std::nullopt);
    EXPECT_EQ(MacRoute::fromRawValue(u"kidszone"), std::nullopt);
    EXPECT_EQ(MacRoute::fromRawValue(u"testimoniesLib"), MacRoute::TestimoniesLib);
    EXPECT_EQ(int(MacRoute::TestimoniesLib), 11);
}

TEST(MacRoute, SidebarListsTheSixteenNavigateRoutesInMenuOrder)
{
    const QList<MacRoute::Value> expected { MacRoute::Live, MacRoute::Home, MacRoute::Programs,
        MacRoute::Search, MacRoute::Languages, MacRoute::Give, MacRoute::Herald,
        MacRoute::Testimony, MacRoute::KidsZone, MacRoute::VirtualCenter, MacRoute::Countdown,
        MacRoute::TestimoniesLib, MacRoute::TestimonyRec, MacRoute::Notifications,
        MacRoute::Settings, MacRoute::Login };
    EXPECT_EQ(MacRoute::sidebarRoutes(), expected);
    for (auto missing : { MacRoute::Menu, MacRoute::Magazine, MacRoute::ProgramDetail,
             MacRoute::Episode, MacRoute::Splash, MacRoute::ForceUpdate, MacRoute::Maintenance })
        EXPECT_FALSE(MacRoute::sidebarRoutes().contains(missing));
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
            property int firstSidebar: RouteTable.sidebarRoutes[0]
            property string unknownTitle: RouteTable.title(99)
            property int parsed: RouteTable.fromRawValue("forceUpdate")
            property int unparsed: RouteTable.fromRawValue("nope")
        })",
        QUrl());
    std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_EQ(object->property("settings").toInt(), int(MacRoute::Settings));
    EXPECT_EQ(object->property("title").toString(), "Kids Zone");
    EXPECT_EQ(object->property("key").toString(), ",");
    EXPECT_EQ(object->property("sidebarCount").toInt(), 16);
    EXPECT_EQ(object->property("firstSidebar").toInt(), int(MacRoute::Live));
    EXPECT_EQ(object->property("unknownTitle").toString(), "");
    EXPECT_EQ(object->property("parsed").toInt(), int(MacRoute::ForceUpdate));
    EXPECT_EQ(object->property("unparsed").toInt(), -1);
}

} // namespace

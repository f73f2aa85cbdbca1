#include "ShellHarness.h"
#include "app/NavigateMenu.h"

#include <QQuickItem>
#include <QTest>

namespace {

using namespace orvella;
using test::ShellHarness;

TEST(NavigateMenu, EveryRegisteredOrAdvertisedKeyIsUnique)
{
    const QList<NavigateMenu::Item> items = NavigateMenu::items();
    ASSERT_EQ(items.size(), MacRoute::sidebarRoutes().size());
    QSet<QString> keys;
    for (const auto &item : items) {
        SCOPED_TRACE(MacRoute::rawValue(item.route).toStdString());
        EXPECT_EQ(item.ownsShortcut, !item.shortcut.isEmpty());
        EXPECT_EQ(item.shortcutLabel.isEmpty(), item.shortcut.isEmpty());
        if (!item.ownsShortcut)
            continue;
        EXPECT_FALSE(keys.contains(item.shortcut));
        keys.insert(item.shortcut);
    }
    // A shared key stays with the first route that has it.
    EXPECT_TRUE(items[0].ownsShortcut);
    EXPECT_EQ(items[0].shortcut, QStringLiteral("Ctrl+Shift+L"));
    EXPECT_FALSE(items.last().ownsShortcut);
}

class ShellWindow : public ShellHarness
{
};

TEST_F(ShellWindow, OpensOneDarkWindowOfTheGivenSizeWithTheNavigateMenu)
{
    guest();
    QQuickWindow *window = loadWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->width(), 1280);
    EXPECT_EQ(window->height(), 800);
    EXPECT_EQ(window->minimumWidth(), 1024);
    EXPECT_EQ(window->minimumHeight(), 640);
    // No title of its own: the application's display name, as the desktop shows it.
    EXPECT_EQ(window->title(), QStringLiteral("Orvella TV"));
    EXPECT_LT(window->color().lightnessF(), 0.1);

    QObject *menu = find<QObject>("navigateMenu");
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->property("title").toString(), QStringLiteral("Navigate"));
    // Its entries are made as it first opens, and stay.
    EXPECT_EQ(menu->property("count").toInt(), 0);
    QMetaObject::invokeMethod(menu, "open");
    EXPECT_EQ(menu->property("count").toInt(), 16);
    QMetaObject::invokeMethod(menu, "close");
    EXPECT_EQ(menu->property("count").toInt(), 16);
    // The content starts below the menu bar.
    auto *menuBar = find("menuBar");
    auto *root = find("rootView");
    ASSERT_TRUE(menuBar && root);
    EXPECT_GT(menuBar->height(), 0);
    EXPECT_GE(root->mapToScene(QPointF(0, 0)).y(), menuBar->height());
}

TEST_F(ShellWindow, MenuItemsNavigateThroughTheModel)
{
    AppModel &app = signedIn();
    ASSERT_TRUE(loadWindow());
    app.navigate(MacRoute::Home);
    app.setMenuPresented(true);
    QMetaObject::invokeMethod(find<QObject>("navigateMenu"), "open");
    auto *live = find<QObject>(QStringLiteral("navigate-%1").arg(int(MacRoute::Live)));
    ASSERT_TRUE(live);
    QMetaObject::invokeMethod(live, "triggered");
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_FALSE(app.menuPresented());

    // For a guest every item but Sign In lands on sign-in.
    auto *settings = find<QObject>(QStringLiteral("navigate-%1").arg(int(MacRoute::Settings)));
    ASSERT_TRUE(settings);
    QMetaObject::invokeMethod(settings, "triggered");
    EXPECT_EQ(app.route(), MacRoute::Settings);
}

TEST_F(ShellWindow, SharedKeysAreRegisteredOnceAndGoToTheFirstRoute)
{
    AppModel &app = signedIn();
    QQuickWindow *window = loadWindow();
    ASSERT_TRUE(window);
    int shortcuts = 0;
    for (QObject *object : window->findChildren<QObject *>()) {
        if (object->objectName().startsWith(QStringLiteral("shortcut-")))
            ++shortcuts;
    }
    EXPECT_EQ(shortcuts, 11);

    window->show();
    window->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    app.navigate(MacRoute::Home);
    QTest::keyClick(window, Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app.route(), MacRoute::Live);
    QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app.route(), MacRoute::Testimony);
    QTest::keyClick(window, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(app.route(), MacRoute::Home);
    QTest::keyClick(window, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(app.route(), MacRoute::Settings);
}

TEST_F(ShellWindow, RouteLayerShowsTheRouteScreenUnderTheHeader)
{
    AppModel &app = signedIn();
    ASSERT_TRUE(loadWindow());
    auto *content = find("content");
    auto *header = find("appHeader");
    auto *liveLayer = find("liveLayer");
    auto *routeLayer = find("routeLayer");
    auto *screen = find("screen");
    ASSERT_TRUE(content && header && liveLayer && routeLayer && screen);

    app.navigate(MacRoute::Live);
    EXPECT_FALSE(header->isVisible());
    EXPECT_EQ(content->y(), 0);
    EXPECT_FALSE(routeLayer->isVisible());
    EXPECT_DOUBLE_EQ(liveLayer->opacity(), 1);
    EXPECT_TRUE(liveLayer->isEnabled());
    QQuickItem *liveScreen = liveLayer->property("item").value<QQuickItem *>();
    ASSERT_TRUE(liveScreen);
    EXPECT_EQ(liveScreen->property("player").value<QObject *>(),
        static_cast<QObject *>(app.livePlayer()));

    app.navigate(MacRoute::Programs);
    EXPECT_TRUE(header->isVisible());
    EXPECT_EQ(content->y(), 52);
    EXPECT_TRUE(routeLayer->isVisible());
    EXPECT_DOUBLE_EQ(liveLayer->opacity(), 0);
    EXPECT_FALSE(liveLayer->isEnabled());
    // The same live screen stays underneath.
    EXPECT_EQ(liveLayer->property("item").value<QQuickItem *>(), liveScreen);
    auto *shown = screen->property("item").value<QQuickItem *>();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->findChild<QObject *>("programsScreenModel"));

    app.navigate(MacRoute::Live);
    EXPECT_EQ(liveLayer->property("item").value<QQuickItem *>(), liveScreen);

    // Sign-in is cold: the live screen goes, and the next live builds a new one.
    app.navigate(MacRoute::Login);
    EXPECT_EQ(liveLayer->property("item").value<QQuickItem *>(), nullptr);
    app.navigate(MacRoute::Live);
    EXPECT_NE(liveLayer->property("item").value<QQuickItem *>(), nullptr);
}

TEST_F(ShellWindow, HeaderShowsBackOnlyWhenThereIsSomewhereToGoAndTheRouteTitle)
{
    AppModel &app = signedIn();
    ASSERT_TRUE(loadWindow());
    auto *header = find("appHeader");
    ASSERT_TRUE(header);
    // Start-up routes have no header, so none is made for them.
    EXPECT_FALSE(header->property("item").value<QQuickItem *>());
    app.navigate(MacRoute::Home);
    auto *back = find("backButton");
    auto *title = find("routeTitle");
    ASSERT_TRUE(back && title);
    EXPECT_FALSE(back->isVisible()); // nothing to go back to from splash
    app.navigate(MacRoute::Programs);
    EXPECT_TRUE(back->isVisible());
    EXPECT_EQ(title->property("text").toString(), QStringLiteral("Programs"));
    QMetaObject::invokeMethod(back, "clicked");
    EXPECT_EQ(app.route(), MacRoute::Home);

    app.navigate(MacRoute::Give);
    EXPECT_EQ(title->property("text").toString(), QStringLiteral("Partner & Give"));
    app.navigate(MacRoute::ProgramDetail);
    EXPECT_EQ(title->property("text").toString(), QStringLiteral("Program"));

    QMetaObject::invokeMethod(find<QObject>("liveButton"), "clicked");
    EXPECT_EQ(app.route(), MacRoute::Live);
}

TEST_F(ShellWindow, TheMenuOverlayCoversEveryRouteWhileOpen)
{
    AppModel &app = signedIn();
    ASSERT_TRUE(loadWindow());
    auto *overlay = find("menuOverlay");
    ASSERT_TRUE(overlay);
    // The header made on home stays, hidden, on live.
    app.navigate(MacRoute::Home);
    app.navigate(MacRoute::Live);
    EXPECT_FALSE(overlay->property("item").value<QQuickItem *>());
    QMetaObject::invokeMethod(find<QObject>("menuButton"), "clicked");
    ASSERT_TRUE(test::waitUntil([&] { return overlay->property("item").value<QQuickItem *>(); }));
    auto *item = overlay->property("item").value<QQuickItem *>();
    EXPECT_EQ(item->z(), 0);
    EXPECT_EQ(item->height(), find("rootView")->height());
    QMetaObject::invokeMethod(item->findChild<QObject *>("closeMenu"), "clicked");
    EXPECT_FALSE(app.menuPresented());
}

TEST_F(ShellWindow, AnotherEpisodeBuildsAFreshScreen)
{
    AppModel &app = signedIn();
    ASSERT_TRUE(loadWindow());
    auto *screen = find("screen");
    app.openEpisode(QStringLiteral("e1"));
    auto *first = screen->property("item").value<QQuickItem *>();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->property("episodeId").toString(), QStringLiteral("e1"));
    app.openEpisode(QStringLiteral("e2"));
    auto *second = screen->property("item").value<QQuickItem *>();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->property("episodeId").toString(), QStringLiteral("e2"));
}

} // namespace

namespace {

using namespace orvella;

class ShellRoutes : public test::ShellHarness
{
};

TEST_F(ShellRoutes, EveryRouteBuildsItsScreenWithoutErrors)
{
    AppModel &app = signedIn();
    ASSERT_TRUE(loadWindow());
    auto *screen = find("screen");
    ASSERT_TRUE(screen);
    bool studioVisited = false;
    for (const MacRoute::Value route : MacRoute::allCases()) {
        app.navigate(route);
        // The studio's controller (it enumerates devices) is made on the first visit, not before.
        studioVisited = studioVisited || route == MacRoute::TestimonyRec;
        EXPECT_EQ(app.hasTestimonyCapture(), studioVisited);
        if (route == MacRoute::Live)
            continue;
        EXPECT_EQ(screen->property("status").toInt(), 1 /* Loader.Ready */)
            << MacRoute::rawValue(route).toStdString();
        EXPECT_TRUE(screen->property("item").value<QQuickItem *>())
            << MacRoute::rawValue(route).toStdString();
    }
    app.navigate(MacRoute::TestimonyRec);
    auto *studio = screen->property("item").value<QQuickItem *>();
    ASSERT_TRUE(studio);
    EXPECT_EQ(studio->property("capture").value<QObject *>(),
        static_cast<QObject *>(app.testimonyCapture()));
}

} // namespace

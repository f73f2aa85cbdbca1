#include "ShellHarness.h"
#include "app/RootViewModel.h"
#include "app/StartupScreenModel.h"

#include <QFile>
#include <QSignalSpy>

namespace {

using namespace orvella;
using test::ShellHarness;

TEST(RootViewRules, EveryRouteBuildsAScreenThatExists)
{
    for (const MacRoute::Value route : MacRoute::allCases()) {
        const QUrl url = RootViewModel::screenUrlFor(route);
        if (route == MacRoute::Live) {
            EXPECT_TRUE(url.isEmpty()); // the warm layer shows live
            continue;
        }
        EXPECT_TRUE(QFile::exists(u':' + url.path())) << url.toString().toStdString();
    }
    EXPECT_TRUE(QFile::exists(u':' + RootViewModel::liveScreenUrl().path()));
}

class RootView : public ShellHarness
{
};

TEST_F(RootView, HeaderAndInsetFollowTheRoute)
{
    AppModel &app = signedIn();
    RootViewModel view;
    view.setApp(&app);
    for (const MacRoute::Value route : MacRoute::allCases()) {
        app.navigate(route);
        if (app.route() != route)
            continue; // kids zone shows the programme detail
        const bool headerless = RootViewModel::isHeaderless(route);
        EXPECT_EQ(view.showsHeader(), !headerless) << MacRoute::rawValue(route).toStdString();
        EXPECT_EQ(view.contentTopInset(), headerless ? 0 : 52);
    }
}

TEST_F(RootView, KeepsTheLiveScreenWarmForASignedInViewerOutsideTheColdRoutes)
{
    AppModel &app = signedIn();
    RootViewModel view;
    view.setApp(&app);
    app.navigate(MacRoute::Live);
    EXPECT_TRUE(view.keepsLivePlayerWarm());
    EXPECT_TRUE(view.liveLayerShown());
    EXPECT_FALSE(view.routeLayerPresent());
    app.navigate(MacRoute::Home);
    EXPECT_TRUE(view.keepsLivePlayerWarm());
    EXPECT_FALSE(view.liveLayerShown());
    EXPECT_TRUE(view.routeLayerPresent());
    app.navigate(MacRoute::Menu);
    EXPECT_TRUE(view.keepsLivePlayerWarm());
    app.navigate(MacRoute::Login);
    EXPECT_FALSE(view.keepsLivePlayerWarm());
}

TEST_F(RootView, AGuestNeverHasTheWarmLayer)
{
    AppModel &app = guest();
    RootViewModel view;
    view.setApp(&app);
    ASSERT_TRUE(app.isGuest());
    EXPECT_FALSE(view.keepsLivePlayerWarm());
    // The sign-in gate keeps guests off live.
    app.navigate(MacRoute::Live);
    EXPECT_EQ(app.route(), MacRoute::Login);
    EXPECT_FALSE(view.keepsLivePlayerWarm());
    EXPECT_FALSE(view.liveLayerShown());
}

TEST_F(RootView, EngagementRoutesGetTheirLinksWithTheSourceQuery)
{
    AppModel &app = signedIn();
    // Without a configuration: give has no address, herald uses the built-in page.
    QVariantMap give = RootViewModel::screenPropertiesFor(MacRoute::Give, app);
    EXPECT_TRUE(give.value("url").toUrl().isEmpty());
    EXPECT_TRUE(give.value("address").toString().isEmpty());
    QVariantMap herald = RootViewModel::screenPropertiesFor(MacRoute::Herald, app);
    EXPECT_EQ(herald.value("url").toUrl(),
        QUrl(RootViewModel::builtInHeraldPage() + "?src=macos&platform=macos"));
    EXPECT_EQ(QUrl(RootViewModel::builtInHeraldPage()).scheme(), QStringLiteral("https"));

    // With the configuration's links.
    service.on("GET", "tv/config", test::ScriptedAnswer::envelope(test::sampleConfig()));
    scriptStartup();
    app.bootstrap();
    ASSERT_TRUE(test::waitUntil([&] { return app.config().has_value(); }));
    give = RootViewModel::screenPropertiesFor(MacRoute::Give, app);
    EXPECT_EQ(
        give.value("url").toUrl(), QUrl("https://orvella.example/give?src=macos&platform=macos"));
    EXPECT_EQ(
        give.value("address").toString(), give.value("url").toUrl().toString(QUrl::FullyEncoded));
    herald = RootViewModel::screenPropertiesFor(MacRoute::Herald, app);
    EXPECT_EQ(herald.value("url").toUrl(),
        QUrl(RootViewModel::builtInHeraldPage() + "?src=macos&platform=macos"));
}

TEST_F(RootView, DetailAndEpisodeScreensAreBuiltWithTheSelectedIds)
{
    AppModel &app = signedIn();
    RootViewModel view;
    view.setApp(&app);
    app.navigate(MacRoute::ProgramDetail);
    EXPECT_EQ(view.screenProperties().value("programId").toString(), QString());
    app.navigate(MacRoute::Episode);
    EXPECT_EQ(view.screenProperties().value("episodeId").toString(), QString());
    EXPECT_EQ(view.screenIdentity(), QStringLiteral("episode"));

    QSignalSpy rebuilt(&view, &RootViewModel::screenChanged);
    app.openEpisode(QStringLiteral("e7"));
    EXPECT_EQ(rebuilt.size(), 1);
    EXPECT_EQ(view.screenProperties().value("episodeId").toString(), QStringLiteral("e7"));
    app.openEpisode(QStringLiteral("e8"));
    EXPECT_EQ(rebuilt.size(), 2);
    app.openEpisode(QStringLiteral(" e8 "));
    EXPECT_EQ(rebuilt.size(), 2); // the same episode keeps its screen

    app.navigate(MacRoute::TestimonyRec);
    EXPECT_EQ(view.screenProperties().value("capture").value<QObject *>(),
        static_cast<QObject *>(app.testimonyCapture()));
}

TEST_F(RootView, TheMenuButtonOpensTheMenuOneTurnLater)
{
    AppModel &app = signedIn();
    RootViewModel view;
    view.setApp(&app);
    app.navigate(MacRoute::Home);
    view.presentMenuSoon();
    EXPECT_FALSE(app.menuPresented());
    ASSERT_TRUE(test::waitUntil([&] { return app.menuPresented(); }));
    EXPECT_TRUE(view.menuOverlayPresent());
    // Clicking again while open leaves it open.
    view.presentMenuSoon();
    test::spinFor(std::chrono::milliseconds(10));
    EXPECT_TRUE(app.menuPresented());
}

TEST_F(RootView, TheUpdateMessageIsTheConfigurationsElseTheBuiltInOne)
{
    EXPECT_EQ(StartupScreenModel::updateMessageFor(std::nullopt),
        QStringLiteral("Please update Orvella to keep watching."));
    TvConfig config;
    config.force_update_message = QString();
    EXPECT_EQ(StartupScreenModel::updateMessageFor(config), QString());
    config.force_update_message = QStringLiteral("Get 2.0 from the store.");
    EXPECT_EQ(
        StartupScreenModel::updateMessageFor(config), QStringLiteral("Get 2.0 from the store."));
}

TEST_F(RootView, RetryRunsBootstrapOnEveryClick)
{
    AppModel &app = guest();
    StartupScreenModel screen;
    screen.setApp(&app);
    int splashes = 0;
    QObject::connect(&app, &AppModel::routeChanged, [&] {
        if (app.route() == MacRoute::Splash)
            ++splashes;
    });
    app.navigate(MacRoute::Login);
    screen.retry();
    screen.retry();
    ASSERT_TRUE(test::waitUntil([&] { return splashes >= 2 && app.route() == MacRoute::Login; }));
    EXPECT_EQ(splashes, 2);
}

} // namespace

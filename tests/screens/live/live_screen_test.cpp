#include "LiveScreenHarness.h"

#include <QTimer>
#include <functional>

using namespace std::chrono_literals;

namespace orvella::test {
namespace {

using Status = MediaPlayer::ItemStatus;

class LiveScreen : public LiveScreenHarness
{
};

QJsonObject streamWith(std::initializer_list<std::pair<QString, QJsonValue>> fields)
{
    QJsonObject stream { { "title", "Orvella Live" } };
    for (const auto &[key, value] : fields)
        stream.insert(key, value);
    return stream;
}

TEST_F(LiveScreen, StreamLoadLoadsTheHlsAddressWithTheStoredQualityAndCaptions)
{
    AppModel &app = signedInOnLive();
    app.settings()->setPreferredQuality(QStringLiteral("4Mbps"));
    player->legibleOptions = QList<LegibleOption> { { "en", "English", false } };
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    ASSERT_FALSE(player->loads.empty());
    EXPECT_EQ(player->currentUrl(), QUrl(QStringLiteral("http://127.0.0.1:9/live/en.m3u8")));
    EXPECT_TRUE(app.livePlayer()->isLive());
    EXPECT_TRUE(app.livePlayer()->wantsPlayback()) << "autoplay on the live route";
    EXPECT_EQ(player->preferredPeakBitRate(), 4'000'000);
    EXPECT_FALSE(screen.hasError());
    EXPECT_TRUE(waitUntil([&] { return player->selectedLegibleOption() == 0; }));
}

TEST_F(LiveScreen, StreamLoadTextsForMissingOrOfflineStreams)
{
    struct Case
    {
        QJsonObject stream;
        QString text;
    };
    const QList<Case> cases {
        { streamWith({ { "status", "LIVE" } }), "Stream URL unavailable." },
        // Only the web is played: a local or inline address is no address.
        { streamWith({ { "is_live", true }, { "hls_url", "file:///etc/hosts" } }),
            "Stream URL unavailable." },
        { streamWith({ { "is_live", true }, { "stream_url", "data:text/plain,hi" } }),
            "Stream URL unavailable." },
        { streamWith({ { "is_live", false }, { "status", "live" } }),
            "The live stream is currently offline." },
        // A present but empty HLS address does not fall back to the stream address.
        { streamWith({ { "is_live", true }, { "hls_url", "  " },
              { "stream_url", "http://127.0.0.1:9/s.m3u8" } }),
            "Stream URL unavailable." },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        model.reset();
        screens.clear();
        AppModel &app = signedInOnLive(c.stream);
        LiveScreenModel &screen = makeScreen(app);
        runTask(screen.supervisor()->loadStream(true));
        EXPECT_EQ(screen.errorText(), c.text);
        EXPECT_TRUE(player->loads.empty());
        EXPECT_TRUE(screen.supervisor()->stream().has_value()) << "the answer replaces the stream";
    }

    model.reset();
    screens.clear();
    AppModel &app = signedInOnLive();
    service.on("GET", "live/stream", ScriptedAnswer::error(500, QStringLiteral("Down")));
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    EXPECT_EQ(screen.errorText(), QStringLiteral("Live stream is temporarily unavailable."));
}

TEST_F(LiveScreen, OfflinePollReloadsEveryMinuteUntilAnItemIsThereAndStopsOffLive)
{
    AppModel &app = signedInOnLive(streamWith({ { "is_live", false } }));
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    const auto before = streamRequests();
    advance(59s);
    EXPECT_EQ(streamRequests(), before);
    advance(1s);
    ASSERT_TRUE(waitUntil([&] { return streamRequests() == before + 1; }));

    // Now the stream is on air: the next pass loads it and the poll ends.
    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream()));
    advance(60s);
    ASSERT_TRUE(waitUntil([&] { return player->hasCurrentItem(); }));
    EXPECT_FALSE(screen.hasError());
    const auto loaded = streamRequests();
    advance(180s);
    EXPECT_EQ(streamRequests(), loaded);

    // Off live the poll ends at its next pass and is not restarted until the next failed load.
    service.on(
        "GET", "live/stream", ScriptedAnswer::envelope(streamWith({ { "is_live", false } })));
    runTask(screen.supervisor()->loadStream(true));
    app.navigate(MacRoute::Home);
    const auto offLive = streamRequests();
    advance(60s);
    app.navigate(MacRoute::Live);
    advance(120s);
    EXPECT_EQ(streamRequests(), offLive);
}

TEST_F(LiveScreen, StallRecoveryWaitsFourSecondsThenReloadsAStoppedPlayer)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    const auto loads = player->loads.size();

    // Playing again after the grace period: only the flag clears.
    player->stall();
    EXPECT_TRUE(screen.recoveringPlayback());
    advance(4s);
    EXPECT_FALSE(screen.recoveringPlayback());
    EXPECT_EQ(player->loads.size(), loads);

    // Stopped without buffering: a forced reload.
    player->playRate = 0;
    player->setRate(0);
    player->stall();
    EXPECT_TRUE(screen.recoveringPlayback());
    player->stall();
    EXPECT_EQ(app.livePlayer()->stalledGeneration(), 3);
    advance(3999ms);
    EXPECT_EQ(player->loads.size(), loads);
    advance(1ms);
    ASSERT_TRUE(waitUntil([&] { return player->loads.size() == loads + 1; }));
    EXPECT_TRUE(waitUntil([&] { return !screen.recoveringPlayback(); }));
    EXPECT_EQ(player->loads.size(), loads + 1) << "a stall during recovery is dropped";
}

TEST_F(LiveScreen, RecoveryThatFindsTheRouteChangedStillClearsTheFlag)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    advance(31s);
    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream()).withDelay(200ms));
    auto recovery = screen.supervisor()->recoverPlayback();
    EXPECT_TRUE(screen.recoveringPlayback());
    app.navigate(MacRoute::Home);
    const int plays = player->playCalls;
    runTask(std::move(recovery));
    EXPECT_FALSE(screen.recoveringPlayback());
    EXPECT_EQ(player->playCalls, plays) << "off live: no resume";
}

TEST_F(LiveScreen, ControlsHideFourSecondsAfterTheLastUseUnlessSomethingIsOpen)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    screen.revealControls();
    advance(3s);
    screen.pointerActivity();
    advance(3s);
    EXPECT_TRUE(screen.showControls());
    advance(1s);
    EXPECT_FALSE(screen.showControls());

    screen.tapVideo();
    EXPECT_TRUE(screen.showControls()) << "a tap on hidden chrome only shows it";
    EXPECT_EQ(player->pauseCalls, 0);

    screen.toggleQuality();
    advance(10s);
    EXPECT_TRUE(screen.showControls()) << "the quality menu keeps the chrome";
    screen.dismissQuality();
    advance(4s);
    EXPECT_FALSE(screen.showControls());

    const auto schedules = service.requests("GET", "live/schedule").size();
    screen.openSchedule();
    EXPECT_TRUE(service.waitForRequests("GET", "live/schedule", schedules + 1)) << "forced";
    advance(10s);
    EXPECT_TRUE(screen.showControls());
    screen.closeSchedule();

    app.setMenuPresented(true);
    screen.hover(true);
    advance(10s);
    EXPECT_TRUE(screen.showControls());
    app.setMenuPresented(false);
    advance(4s);
    EXPECT_TRUE(screen.showControls()) << "the timer that found the menu open is over";
    screen.pointerActivity();
    advance(4s);
    EXPECT_FALSE(screen.showControls());
    screen.hover(false);
    EXPECT_FALSE(screen.showControls()) << "leaving does nothing";
    screen.hover(true);
    EXPECT_TRUE(screen.showControls());
}

TEST_F(LiveScreen, HoverIsIgnoredWhileTheMenuIsOpenButMovementReveals)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    screen.revealControls();
    advance(3s);
    app.setMenuPresented(true);
    screen.hover(true); // ignored: the hide timer keeps its start
    app.setMenuPresented(false);
    advance(1s);
    EXPECT_FALSE(screen.showControls());

    screen.revealControls();
    advance(3s);
    app.setMenuPresented(true);
    screen.pointerActivity(); // movement always reveals and restarts the timer
    app.setMenuPresented(false);
    advance(1s);
    EXPECT_TRUE(screen.showControls());
    advance(3s);
    EXPECT_FALSE(screen.showControls());
}

TEST_F(LiveScreen, TapTogglesPlayOnlyWithChromeShownAndAReadyPlayer)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    screen.tapVideo();
    EXPECT_EQ(player->pauseCalls, 0) << "not ready yet";
    player->setItemStatus(Status::ReadyToPlay);
    ASSERT_TRUE(app.livePlayer()->isPlaying());
    screen.tapVideo();
    EXPECT_EQ(player->pauseCalls, 1);
    EXPECT_FALSE(app.livePlayer()->wantsPlayback());
}

TEST_F(LiveScreen, WelcomeShowsOnceAndFades)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &first = makeScreen(app);
    first.appear();
    EXPECT_TRUE(first.showWelcome());
    EXPECT_EQ(first.welcomeOpacity(), 1.0);
    EXPECT_TRUE(app.hasSeenLiveWelcome());
    advance(2s);
    EXPECT_EQ(first.welcomeOpacity(), 1.0) << "held from its first frame on screen";
    first.welcomeOnScreen();
    advance(899ms);
    EXPECT_EQ(first.welcomeOpacity(), 1.0);
    advance(1ms);
    EXPECT_EQ(first.welcomeOpacity(), 0.0);
    EXPECT_TRUE(first.showWelcome());
    advance(900ms);
    EXPECT_FALSE(first.showWelcome());
    first.disappear();

    LiveScreenModel &second = makeScreen(app);
    second.appear();
    EXPECT_FALSE(second.showWelcome());
    EXPECT_EQ(second.welcomeOpacity(), 0.0);
}

TEST_F(LiveScreen, AppearingWithALoadedItemSkipsTheWelcomeAndResumes)
{
    AppModel &app = signedInOnLive();
    app.livePlayer()->load(QUrl("http://127.0.0.1:9/live/en.m3u8"), false, std::nullopt, true);
    LiveScreenModel &screen = makeScreen(app);
    const int plays = player->playCalls;
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return !screen.showWelcome(); }));
    EXPECT_EQ(screen.welcomeOpacity(), 0.0);
    EXPECT_GT(player->playCalls, plays);
    EXPECT_EQ(claims, 2);
    EXPECT_EQ(player->loads.size(), 1u) << "nothing is loaded again";
}

TEST_F(LiveScreen, ThePlayerBecomesReadyAndPlaysWhicheverLoadComesFirst)
{
    // The app model's preload, the screen's own load and the item's readiness in every order a
    // start meets: the screen's readiness is the player's, and the picture plays.
    enum class Order { PreloadThenScreen, PreloadReadyThenScreen, ScreenJoinsPreload };
    for (const Order order :
        { Order::PreloadThenScreen, Order::PreloadReadyThenScreen, Order::ScreenJoinsPreload }) {
        SCOPED_TRACE(int(order));
        screens.clear();
        model.reset();
        AppModel &app = signedInOnLive();
        PlayerController &controller = *app.livePlayer();
        const qsizetype fetches = streamRequests();
        auto preload = app.loadLiveStream(QStringLiteral("en"), false);
        if (order != Order::ScreenJoinsPreload) {
            runTask(std::move(preload));
            ASSERT_EQ(player->loads.size(), 1u) << "preloaded";
            if (order == Order::PreloadReadyThenScreen)
                player->setItemStatus(Status::ReadyToPlay);
        }
        LiveScreenModel &screen = makeScreen(app);
        screen.appear();
        if (order == Order::ScreenJoinsPreload)
            runTask(std::move(preload));
        ASSERT_TRUE(waitUntil([&] { return !player->loads.empty(); }));
        spinFor(30ms);
        EXPECT_EQ(streamRequests(), fetches + 1) << "one fetch, joined";
        if (order == Order::ScreenJoinsPreload) {
            EXPECT_EQ(player->loads.size(), 2u) << "the preload and the screen's load";
        } else {
            EXPECT_EQ(player->loads.size(), 1u) << "the preloaded item is kept";
        }
        if (order != Order::PreloadReadyThenScreen) {
            EXPECT_FALSE(controller.isReady());
            player->setItemStatus(Status::ReadyToPlay);
        }
        EXPECT_TRUE(controller.isReady());
        EXPECT_EQ(controller.statusText(), QStringLiteral("Live"));
        EXPECT_GT(player->rate(), 0);
        EXPECT_TRUE(controller.isPlaying());
    }
}

TEST_F(LiveScreen, RouteChangesClaimAndReleaseTheDisplay)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return player->hasCurrentItem(); }));
    EXPECT_EQ(claims, 2);
    app.navigate(MacRoute::Menu);
    EXPECT_EQ(claims, 2) << "the menu lies over a playing channel";
    app.navigate(MacRoute::Home);
    EXPECT_EQ(claims, 0);
    const int plays = player->playCalls;
    app.navigate(MacRoute::Live);
    EXPECT_EQ(claims, 2);
    EXPECT_GT(player->playCalls, plays);
    EXPECT_TRUE(app.livePlayer()->wantsPlayback());
}

TEST_F(LiveScreen, DisappearingStopsTheLoops)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return player->hasCurrentItem(); }));
    screen.disappear();
    advance(1ms);
    const auto schedules = service.requests("GET", "live/schedule").size();
    player->playRate = 0;
    player->setRate(0);
    advance(600s);
    EXPECT_EQ(service.requests("GET", "live/schedule").size(), schedules);
    EXPECT_EQ(screen.supervisor()->watchdogStallCount(), 0);
    EXPECT_TRUE(waitUntil([&] { return clock.sleepers() == 0; })) << "stopped sleeps end";
}

TEST_F(LiveScreen, ScheduleReloadsEveryFiveMinutesWhileLive)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return player->hasCurrentItem(); }));
    spinFor(50ms);
    const auto first = service.requests("GET", "live/schedule").size();
    advance(299s);
    EXPECT_EQ(service.requests("GET", "live/schedule").size(), first);
    advance(1s);
    EXPECT_TRUE(
        waitUntil([&] { return service.requests("GET", "live/schedule").size() == first + 1; }));
    app.navigate(MacRoute::Home);
    advance(300s);
    spinFor(50ms);
    EXPECT_EQ(service.requests("GET", "live/schedule").size(), first + 1);
}

TEST_F(LiveScreen, FooterLabels)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    struct Case
    {
        QString stored, quality, rate;
    };
    for (const Case &c : QList<Case> { { "   ", "Auto", "~Auto" }, { "Auto", "Auto", "~Auto" },
             { "6Mbps", "6Mbps", "6.0 Mbps" }, { "720p", "4Mbps", "4.0 Mbps" },
             { " 0.3Mbps ", "0.3Mbps", "0.3 Mbps" } }) {
        app.settings()->setPreferredQuality(c.stored);
        EXPECT_EQ(screen.qualityLabel(), c.quality) << c.stored.toStdString();
        EXPECT_EQ(screen.dataRateLabel(), c.rate) << c.stored.toStdString();
    }
    EXPECT_EQ(screen.showingNextTitle(), QStringLiteral("—"));
}

TEST_F(LiveScreen, ChoosingAQualityPersistsItBeforeCappingThePlayer)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    screen.toggleQuality();
    ASSERT_TRUE(screen.qualityOpen());
    screen.selectQuality(QStringLiteral("2Mbps"));
    EXPECT_FALSE(screen.qualityOpen());
    EXPECT_EQ(QSettings().value("playback.quality").toString(), QStringLiteral("2Mbps"));
    EXPECT_EQ(player->preferredPeakBitRate(), 2'000'000);
    runTask(screen.supervisor()->loadStream(true));
    EXPECT_EQ(player->preferredPeakBitRate(), 2'000'000) << "a reload applies it again";
}

TEST_F(LiveScreen, CaptionsToggleFlipsPersistsAndApplies)
{
    AppModel &app = signedInOnLive();
    player->legibleOptions = QList<LegibleOption> { { "en", "English", false } };
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(true));
    ASSERT_TRUE(waitUntil([&] { return player->selectedLegibleOption() == 0; }));
    screen.toggleCaptions();
    EXPECT_FALSE(app.settings()->captionsEnabled());
    EXPECT_EQ(QSettings().value("playback.captions").toString(), QStringLiteral("false"));
    EXPECT_TRUE(waitUntil([&] { return !player->selectedLegibleOption().has_value(); }));
}

TEST_F(LiveScreen, MenuOpensOnTheNextTurnAndClosesTheQualityMenu)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    screen.toggleQuality();
    screen.openMenu();
    EXPECT_FALSE(screen.qualityOpen());
    EXPECT_FALSE(app.menuPresented());
    EXPECT_TRUE(waitUntil([&] { return app.menuPresented(); }));
}

TEST_F(LiveScreen, TitlePrefersTheStreamThenTheCacheThenTheSlogan)
{
    AppModel &app = signedInOnLive(streamWith({ { "title", "" }, { "is_live", false } }));
    LiveScreenModel &screen = makeScreen(app);
    EXPECT_EQ(screen.liveDisplayTitle(), QString::fromUtf8(LiveScreenModel::slogan));
    runTask(screen.supervisor()->loadStream(true));
    EXPECT_EQ(screen.liveDisplayTitle(), QString::fromUtf8(LiveScreenModel::slogan));
    EXPECT_FALSE(screen.hasPoster());
}

TEST_F(LiveScreen, WatchdogRecoversAStoppedOrFailedPlayerAtItsSecondPassAndOnlyNudgesOthers)
{
    struct Case
    {
        const char *name;
        // The state is set up off live, where nothing recovers, and on return.
        std::function<void(FakeMediaPlayer &)> offLive;
        std::function<void(PlayerController &)> onLive;
        int firstCount;
        bool nudges, reloads;
    };
    const auto stuck = [](FakeMediaPlayer &p) { p.playRate = 0; };
    const auto none = [](auto &) {};
    const QList<Case> cases {
        { "wanted, stopped, not buffering", stuck, none, 1, true, true },
        // A failed item reads as buffer-empty for good; it is stopped, not waiting.
        { "failed",
            [&](FakeMediaPlayer &p) {
                stuck(p);
                p.setBufferEmpty(true);
                p.setItemStatus(Status::Failed);
            },
            none, 1, true, true },
        { "buffering",
            [&](FakeMediaPlayer &p) {
                stuck(p);
                p.setLikelyToKeepUp(false);
            },
            none, 0, true, false },
        { "playing", none, none, 0, false, false },
        { "paused by the viewer", stuck, [](PlayerController &c) { c.togglePlay(); }, 0, false,
            false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        model.reset();
        screens.clear();
        AppModel &app = signedInOnLive();
        LiveScreenModel &screen = makeScreen(app);
        runTask(screen.supervisor()->loadStream(true));
        screen.supervisor()->startWatchdog();
        app.navigate(MacRoute::Home);
        c.offLive(*player);
        app.navigate(MacRoute::Live);
        c.onLive(*app.livePlayer());
        const auto loads = player->loads.size();
        const int plays = player->playCalls;
        advance(15s);
        EXPECT_EQ(screen.supervisor()->watchdogStallCount(), c.firstCount);
        EXPECT_EQ(player->playCalls > plays, c.nudges);
        advance(15s);
        EXPECT_EQ(waitUntil([&] { return player->loads.size() > loads; }, c.reloads ? 5s : 50ms),
            c.reloads);
        EXPECT_EQ(screen.supervisor()->watchdogStallCount(), 0);
    }
    EXPECT_EQ(claims, 2) << "the watchdog holds the display";
}

TEST(LiveSupervision, AnOutageOfAnyLengthReloadsOncePerSpacingAndHealsWithinItOnceOver)
{
    ManualClock clock;
    int claims = 0;
    PlaybackSleepGuard guard(std::make_unique<CountingInhibitor>(claims));
    auto fake = std::make_unique<FakeMediaPlayer>();
    FakeMediaPlayer *player = fake.get();
    PlayerController controller(std::move(fake));
    FixedStreamHost host;
    LivePlaybackSupervisor supervisor(host, controller, guard, clock);
    runTask(supervisor.loadStream(false));
    supervisor.startWatchdog();

    // While the media is out every item fails as soon as it is loaded.
    bool outage = true;
    std::vector<std::chrono::milliseconds> loadTimes;
    QObject::connect(player, &MediaPlayer::currentItemChanged, player, [&] {
        loadTimes.push_back(clock.now());
        QTimer::singleShot(0, player, [&] {
            if (outage)
                player->setItemStatus(Status::Failed);
        });
    });
    const auto step = [&] {
        clock.advance(5s);
        QCoreApplication::processEvents();
    };
    controller.setQuality(QStringLiteral("4Mbps"));
    player->setItemStatus(Status::Failed);
    for (int i = 0; i < 60; ++i)
        step();
    ASSERT_GE(loadTimes.size(), 10u) << "retries go on for the whole outage";
    EXPECT_EQ(player->preferredPeakBitRate(), 0) << "a recovery drops the cap";
    for (size_t i = 1; i < loadTimes.size(); ++i)
        EXPECT_GT(loadTimes[i] - loadTimes[i - 1], 30s) << "reload " << i;

    outage = false;
    const auto over = clock.now();
    const auto before = loadTimes.size();
    for (int i = 0; i < 7 && loadTimes.size() == before; ++i)
        step();
    ASSERT_GT(loadTimes.size(), before);
    EXPECT_LE(loadTimes.back() - over, 31s);
    EXPECT_NE(player->itemStatus(), Status::Failed);
    supervisor.stop();
}

TEST_F(LiveScreen, ReturningToLiveFollowsAStreamLanguageChosenElsewhere)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &screen = makeScreen(app);
    runTask(screen.supervisor()->loadStream(false));
    const auto languages = [&] { return streamLanguages(); };
    ASSERT_EQ(languages(), QStringList { "en" });
    const auto loads = player->loads.size();

    // The service answers "en" for everything: the fallback does not reload on each return.
    app.navigate(MacRoute::Home);
    app.settings()->setStreamLanguage(QStringLiteral("fr"));
    app.navigate(MacRoute::Live);
    ASSERT_TRUE(waitUntil([&] { return languages().size() == 2; }));
    EXPECT_EQ(languages().last(), QStringLiteral("fr"));
    app.navigate(MacRoute::Home);
    app.navigate(MacRoute::Live);

    NavAction action;
    action.type = QStringLiteral("live");
    action.lang = QStringLiteral("de");
    app.navigate(MacRoute::Home);
    app.handleAction(action);
    ASSERT_TRUE(waitUntil([&] { return languages().size() == 3; }));
    EXPECT_EQ(languages().last(), QStringLiteral("de"));
    spinFor(50ms);
    EXPECT_EQ(languages().size(), 3);
    EXPECT_EQ(player->loads.size(), loads + 2);
}

} // namespace
} // namespace orvella::test

// The playback supervisor, and the live screen's captions, over a real player (libmpv, software
// output) on the live fixture, with media outages served by the service double, in real time.
#include "LiveScreenHarness.h"
#include "platform/Clock.h"
#include "platform/MpvMediaPlayer.h"
#include "player/PlaybackFixture.h"
#include "screens/live/LivePlaybackSupervisor.h"

#include <QElapsedTimer>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class LiveRecoveryPlayback : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        host.url = service.mediaUrl(QStringLiteral("live/master.m3u8"));
        auto player = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
        player->setMuted(true);
        mpv = player.get();
        controller = std::make_unique<PlayerController>(std::move(player));
        supervisor
            = std::make_unique<LivePlaybackSupervisor>(host, *controller, guard, Clock::system());
        started.start();
    }

    void TearDown() override
    {
        supervisor.reset();
        spinFor(50ms);
    }

    // Playing: ready, and the position moves on.
    bool playsWithin(std::chrono::milliseconds deadline)
    {
        std::optional<double> from;
        return waitUntil(
            [&] {
                controller->refreshTime();
                if (!controller->isReady()) {
                    from.reset();
                    return false;
                }
                if (!from)
                    from = controller->currentTime();
                return controller->currentTime() > *from + 0.5;
            },
            deadline);
    }

    [[nodiscard]] std::chrono::milliseconds elapsed() const { return started.elapsed() * 1ms; }

    ServiceDouble service;
    FixedStreamHost host;
    int claims = 0;
    PlaybackSleepGuard guard { std::make_unique<CountingInhibitor>(claims) };
    MpvMediaPlayer *mpv = nullptr;
    std::unique_ptr<PlayerController> controller;
    std::unique_ptr<LivePlaybackSupervisor> supervisor;
    QElapsedTimer started;
    bool failedOnce = false;
};

TEST_F(LiveRecoveryPlayback, AnOutageLongerThanTheSpacingHealsOnceTheMediaReturns)
{
    // The channel is opened while the media is out: every load fails at once.
    constexpr auto outageEnd = 33s;
    service.addMediaOutage(0s, outageEnd);
    runTask(supervisor->loadStream(false));
    supervisor->startWatchdog();
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 2; }, 10s));
    EXPECT_EQ(controller->statusText(), QStringLiteral("Connecting…"));
    ASSERT_TRUE(waitUntil([&] { return elapsed() > outageEnd; }, outageEnd + 5s));
    EXPECT_LE(service.requests("GET", "/media/live/master.m3u8").size(), 3 * 3)
        << "the first load and one reload per 30 seconds (each asks for the master three times)";
    EXPECT_TRUE(playsWithin(35s)) << "back within the spacing of the media's return";
}

TEST_F(LiveRecoveryPlayback, ASixSecondOutageWhilePlayingStillHeals)
{
    service.addMediaOutage(3s, 9s);
    runTask(supervisor->loadStream(false));
    supervisor->startWatchdog();
    ASSERT_TRUE(playsWithin(10s));
    ASSERT_TRUE(waitUntil([&] { return elapsed() > 9s; }, 10s));
    EXPECT_TRUE(playsWithin(35s));
}

TEST_F(LiveRecoveryPlayback, AMasterThatAlwaysAnswersLateStillPlays)
{
    // 3 s of a 4.5-s start bound, as 20 s of 30; the rest answers at once.
    mpv->setTimeouts(timeoutsInProportion(4500ms));
    service.on("GET", "/media/live/master.m3u8", ScriptedAnswer::file().withDelay(3s));
    runTask(supervisor->loadStream(false));
    supervisor->startWatchdog();
    EXPECT_TRUE(playsWithin(8s));
    EXPECT_LE(service.requests("GET", "/media/live/master.m3u8").size(), 2)
        << "at the first load, or at worst after one reload";
}

// What a viewer of live sees, sampled as it plays: steps back into picture already shown, and
// whether the loading card ("Connecting…", not ready) came up.
struct LiveTrail
{
    explicit LiveTrail(PlayerController &controller)
    {
        sampler.setInterval(50);
        QObject::connect(&sampler, &QTimer::timeout, [this, &controller] {
            notReady = notReady || !controller.isReady();
            connecting = connecting || controller.statusText() == QStringLiteral("Connecting…");
            const double now = controller.player()->currentTime();
            if (!std::isfinite(now))
                return;
            // A replay steps back half a second or so; the loop seam of the fixture goes back
            // by its whole length.
            if (last && now < *last - 0.2 && now > *last - 5.0)
                ++replays;
            last = now;
        });
        sampler.start();
    }
    QTimer sampler;
    std::optional<double> last;
    int replays = 0;
    bool notReady = false;
    bool connecting = false;
};

TEST_F(LiveRecoveryPlayback, APlaylistThatFailsForAWhileIsAStallThenReloadsSpacedNeverAReplay)
{
    // A growing window of six segments whose playlist and segments answer 500 from 8 s to 28 s.
    service.setLiveWindow(6);
    service.addMediaOutage(8s, 28s, 500);
    runTask(supervisor->loadStream(false));
    supervisor->startWatchdog();
    ASSERT_TRUE(playsWithin(10s));
    LiveTrail trail(*controller);
    ASSERT_TRUE(waitUntil([&] { return controller->stalledGeneration() >= 1; }, 15s))
        << "the end the failing playlist leaves is a stall";
    EXPECT_EQ(mpv->rate(), 0.0) << "held at its end, the item is not playing";
    ASSERT_TRUE(waitUntil([&] { return trail.connecting; }, 10s))
        << "the stall recovery's reload fails at the master and the spaced recovery takes over";
    ASSERT_TRUE(waitUntil([&] { return elapsed() > 28s; }, 25s));
    EXPECT_LE(service.requests("GET", "/media/live/master.m3u8").size(), 3)
        << "the first load, the stall recovery's reload, at most one more 30 s later";
    EXPECT_TRUE(playsWithin(35s)) << "the first reload after the playlist answers again plays";
    EXPECT_EQ(trail.replays, 0) << "no picture already shown plays again";
}

TEST_F(LiveRecoveryPlayback, APlaylistReloadThatFailsOnceIsPassedOver)
{
    service.setLiveWindow(6);
    service.handle("GET", "/media/live/720p/index.m3u8", [this](const RecordedRequest &) {
        // One reload (the player asks twice, on a kept-alive connection and a new one).
        const bool busy = elapsed() > 8s && elapsed() < 9s;
        failedOnce = failedOnce || busy;
        return busy ? ScriptedAnswer::raw("<html>busy</html>", "text/html", 503)
                    : ScriptedAnswer::file();
    });
    runTask(supervisor->loadStream(false));
    supervisor->startWatchdog();
    ASSERT_TRUE(playsWithin(10s));
    LiveTrail trail(*controller);
    ASSERT_TRUE(waitUntil([&] { return failedOnce; }, 10s));
    // The player runs through its cache, finds the end and reads on from there.
    ASSERT_TRUE(waitUntil([&] { return elapsed() > 25s; }, 20s));
    EXPECT_TRUE(playsWithin(2s));
    EXPECT_EQ(trail.replays, 0);
    EXPECT_FALSE(trail.notReady) << "no loading card";
    EXPECT_EQ(service.requests("GET", "/media/live/master.m3u8").size(), 1) << "no reload";
}

TEST(LiveStartBound, ALiveLoadThatShowsNoPictureIsReloadedNoCloserThanTheSpacing)
{
    ServiceDouble service;
    ASSERT_TRUE(service.start());
    // The playlists answer; the picture's segments never come.
    service.on(
        "GET", QStringLiteral("/media/live/720p/seg_*"), ScriptedAnswer::file().withDelay(60s));
    FixedStreamHost host;
    host.url = service.mediaUrl(QStringLiteral("live/master.m3u8"));
    auto owned = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
    MpvMediaPlayer *player = owned.get();
    player->setMuted(true);
    player->setStartTimeout(1s);
    PlayerController controller(std::move(owned));
    int claims = 0;
    PlaybackSleepGuard guard(std::make_unique<CountingInhibitor>(claims));
    ManualClock clock;
    auto supervisor = std::make_unique<LivePlaybackSupervisor>(host, controller, guard, clock);
    std::vector<std::chrono::milliseconds> loadTimes;
    QObject::connect(player, &MediaPlayer::currentItemChanged, player, [&] {
        if (player->hasCurrentItem())
            loadTimes.push_back(clock.now());
    });

    runTask(supervisor->loadStream(false));
    supervisor->startWatchdog();
    // Each load fails a second (real time) after it starts; the recovery's time is the clock's.
    for (int step = 0; step < 24; ++step) {
        clock.advance(5s);
        spinFor(250ms);
    }
    EXPECT_GE(controller.failedGeneration(), 3);
    ASSERT_GE(loadTimes.size(), 4u) << "recovery goes on";
    for (size_t i = 2; i < loadTimes.size(); ++i)
        EXPECT_GT(loadTimes[i] - loadTimes[i - 1], 30s) << "reload " << i;
    EXPECT_LE(
        service.requests("GET", QStringLiteral("/media/live/master.m3u8")).size(), loadTimes.size())
        << "one master read per load";
    supervisor->stop();
    supervisor.reset();
    spinFor(50ms);
}

// The live screen in the app model with a real player on a channel with captions: the caption
// rendition is read as far as the picture is, and not at all once the viewer signed out.
class LiveCaptions : public LiveScreenHarness
{
protected:
    void adjust(AppBuilder &builder) override
    {
        auto real = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
        real->setMuted(true);
        mpv = real.get();
        player = nullptr; // the fake it replaces
        builder.livePlayer(std::make_unique<PlayerController>(std::move(real)));
    }

    // Live with captions on, showing one.
    AppModel &watchingWithCaptions()
    {
        // A window of two 2-s segments, a third of the picture's buffer, that ends rather than
        // starting over after 24 s.
        service.setLiveWindow(2);
        service.setLiveLoops(false);
        QJsonObject stream = sampleStream();
        stream.insert("hls_url", service.mediaUrl(QStringLiteral("live/master.m3u8")).toString());
        AppModel &app = signedInOnLive(stream);
        app.settings()->setCaptionsEnabled(true);
        screen = &makeScreen(app);
        screen->appear();
        EXPECT_TRUE(showsCaptions());
        return app;
    }

    [[nodiscard]] qsizetype captionReads() const
    {
        return service.requests("GET", QStringLiteral("/media/live/subs/*")).size();
    }
    // The picture's playlist (the highest variant plays, uncapped).
    [[nodiscard]] qsizetype pictureReads() const
    {
        return service.requests("GET", QStringLiteral("/media/live/720p/index.m3u8")).size();
    }

    // Runs `leave` as the caption playlist is asked next, before it is answered: nothing of the
    // captions is under way then but that read. Returns the caption reads up to then.
    qsizetype leaveAtTheNextCaptionRead(const std::function<void()> &leave)
    {
        std::optional<qsizetype> readsThen;
        const auto watch = QObject::connect(
            &service, &ServiceDouble::requestReceived, [&](const RecordedRequest &request) {
                if (!readsThen && request.path == QStringLiteral("/media/live/subs/en.m3u8")) {
                    readsThen = captionReads();
                    leave();
                }
            });
        EXPECT_TRUE(waitUntil([&] { return readsThen.has_value(); }, 5s));
        QObject::disconnect(watch);
        return readsThen.value_or(-1);
    }

    bool showsCaptions(std::chrono::milliseconds deadline = 10s)
    {
        return waitUntil(
            [&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, deadline);
    }

    MpvMediaPlayer *mpv = nullptr;
    LiveScreenModel *screen = nullptr;
};

TEST_F(LiveCaptions, AreReadAsFarAsThePictureWhileLiveIsAwayAndShowAtOnceOnReturn)
{
    AppModel &app = watchingWithCaptions();
    app.navigate(MacRoute::Home);
    screen->disappear();
    const double pausedAt = mpv->mpvProperty("time-pos").toDouble();
    // Away twice as long as the window lasts, on two screens; the picture reads its 12 s ahead.
    ASSERT_TRUE(waitUntil([&] { return pictureReadEnd(*mpv).value_or(0) > pausedAt + 6; }, 10s));
    app.navigate(MacRoute::Settings);
    ASSERT_TRUE(captionsCoverReadAhead(*mpv, pausedAt, 12s));
    ASSERT_GT(liveSegmentAt(*mpv, pictureReadEnd(*mpv).value_or(0)) - 1,
        liveSegmentAt(*mpv, pausedAt) + 2)
        << "the segments right after the pause left the window";

    app.navigate(MacRoute::Live);
    screen->appear();
    EXPECT_TRUE(showsCaptions(3s)) << "with the picture, without turning them on again";
    EXPECT_EQ(mpv->selectedLegibleOption(), 0);
}

TEST_F(LiveCaptions, AreNotReadOnceSignedOutWhileThePictureReadsOn)
{
    AppModel &app = watchingWithCaptions();
    std::optional<QCoro::Task<>> signingOut;
    const qsizetype captions
        = leaveAtTheNextCaptionRead([&] { signingOut.emplace(app.signOut()); });
    ASSERT_TRUE(signingOut);
    runTask(std::move(*signingOut));
    EXPECT_EQ(app.route(), MacRoute::Login);
    // Live plays about a window's length behind its edge: paused, its picture goes on filling
    // its 12-s buffer, a playlist read each target duration, over two of the captions' intervals.
    const qsizetype pictures = pictureReads();
    EXPECT_TRUE(waitUntil([&] { return pictureReads() > pictures + 1; }, 8s));
    EXPECT_EQ(captionReads(), captions) << "none on the sign-in screen";
}

} // namespace
} // namespace orvella::test

#include "ProgramsHarness.h"
#include "core/LocalHistory.h"
#include "screens/programs/EpisodeListModel.h"

#include <QJsonDocument>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;
using Status = MediaPlayer::ItemStatus;

const QString videoUrl = u"http://127.0.0.1:9/vod/index.m3u8"_qs;

class EpisodePlayer : public ProgramsHarness
{
protected:
    // A screen for `id` that has fetched its episode and loaded the player.
    EpisodePlayerModel &opened(AppModel &app, const QString &id = u"e1"_qs)
    {
        EpisodePlayerModel &screen = makePlayer(app, id);
        screen.appear();
        EXPECT_TRUE(waitUntil([&] { return media && !media->loads.empty(); }));
        return screen;
    }

    void scriptEpisode(
        const QString &id, const QJsonArray &related = {}, const QString &url = videoUrl)
    {
        service.on(
            "GET", "episodes/" + id, ScriptedAnswer::envelope(episodeDetailJson(id, url, related)));
    }

    // The player becomes ready at `at` seconds of an item of `duration` seconds.
    void becomeReady(EpisodePlayerModel &screen, double at = 0, double duration = 1800)
    {
        media->setDuration(duration);
        media->setCurrentTime(at);
        media->setItemStatus(Status::ReadyToPlay);
        spinFor(10ms);
        screen.player()->refreshTime();
    }

    void playTo(EpisodePlayerModel &screen, double seconds)
    {
        media->setCurrentTime(seconds);
        screen.player()->refreshTime();
        spinFor(10ms);
    }

    qsizetype historyPosts() const { return service.requests("POST", "user/history").size(); }

    QJsonObject lastHistoryBody() const
    {
        return QJsonDocument::fromJson(service.requests("POST", "user/history").last().body)
            .object();
    }
};

TEST_F(EpisodePlayer, LoadOutcomesAndTexts)
{
    service.on("GET", "episodes/gone", ScriptedAnswer::error(404, u"Episode gone"_qs));
    scriptEpisode(u"nourl"_qs, {}, {});
    scriptEpisode(u"e1"_qs);
    AppModel &app = signedIn();

    EpisodePlayerModel &gone = makePlayer(app, u"gone"_qs);
    gone.appear();
    ASSERT_TRUE(waitUntil([&] { return gone.hasError(); }));
    EXPECT_EQ(gone.errorText(), u"Episode gone"_qs);
    EXPECT_TRUE(gone.showsErrorPanel());
    EXPECT_EQ(gone.title(), u"Episode"_qs);

    EpisodePlayerModel &nourl = makePlayer(app, u"nourl"_qs);
    nourl.appear();
    ASSERT_TRUE(waitUntil([&] { return nourl.hasError(); }));
    EXPECT_EQ(nourl.errorText(), u"Playback URL unavailable. Try Refresh."_qs);
    EXPECT_EQ(nourl.title(), u"Faith & Works"_qs);
    EXPECT_EQ(nourl.relatedTitle(), u"More from Healing"_qs);

    EpisodePlayerModel &screen = opened(app);
    EXPECT_EQ(media->loads.back().url, QUrl(videoUrl));
    EXPECT_TRUE(screen.showsLoadingPanel());
    EXPECT_EQ(screen.statusLine(), u"Loading video…"_qs);
    EXPECT_FALSE(screen.showsChrome());
    becomeReady(screen);
    EXPECT_TRUE(screen.showsChrome());
    EXPECT_FALSE(screen.showsLoadingPanel());
    EXPECT_EQ(screen.scrubber()->totalText(), u"30:00"_qs);

    const struct
    {
        QString status, shown;
    } statuses[] = { { u"The file couldn't be opened"_qs, u"Connecting…"_qs },
        { u"FAILED"_qs, u"Connecting…"_qs }, { u"Cannot Open"_qs, u"Connecting…"_qs },
        { QString(), u"Loading video…"_qs }, { u"Loading…"_qs, u"Loading video…"_qs },
        { u"loading…"_qs, u"loading…"_qs }, { u"Ready"_qs, u"Ready"_qs },
        { u"Live"_qs, u"Live"_qs } };
    for (const auto &s : statuses)
        EXPECT_EQ(EpisodePlayerModel::friendlyStatus(s.status), s.shown) << s.status.toStdString();
}

TEST_F(EpisodePlayer, FailedStartsReloadTwiceThenShowTheErrorUntilRefresh)
{
    scriptEpisode(u"e1"_qs);
    AppModel &app = signedIn();
    EpisodePlayerModel &screen = opened(app);
    for (int reload = 1; reload <= 2; ++reload) {
        // One mpv failure raises the counter twice; it counts once.
        media->setItemStatus(Status::Failed);
        media->failToPlayToEnd();
        EXPECT_EQ(media->loads.size(), size_t(reload));
        advance(350ms);
        ASSERT_TRUE(waitUntil([&] { return media->loads.size() == size_t(reload + 1); }));
        EXPECT_EQ(screen.retryCount(), reload);
    }
    media->setItemStatus(Status::Failed);
    spinFor(20ms);
    EXPECT_EQ(screen.errorText(), u"Couldn't start this video. Try Refresh."_qs);
    EXPECT_TRUE(screen.showsErrorPanel());
    advance(1s);
    EXPECT_EQ(media->loads.size(), 3u) << "no reload while the error shows";

    screen.refresh();
    ASSERT_TRUE(waitUntil([&] { return media->loads.size() == 4; }));
    EXPECT_EQ(screen.retryCount(), 0);
    EXPECT_FALSE(screen.hasError());
}

TEST_F(EpisodePlayer, ResumeFromHistoryOrContinueWatchingAndRestartNearTheEnd)
{
    const struct
    {
        const char *name;
        std::optional<qint64> local, continued;
        std::optional<double> start;
    } cases[] = {
        { "no record", std::nullopt, std::nullopt, std::nullopt },
        { "local history first", 120, 300, 120.0 },
        { "continue watching", std::nullopt, 300, 300.0 },
        { "local zero", 0, 300, 0.0 },
        { "last 10 s start over", 1795, std::nullopt, 0.0 },
    };
    scriptEpisode(u"e1"_qs);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LocalHistoryStore::store({});
        if (c.local)
            LocalHistoryStore::store({ { u"e1"_qs, {}, {}, {}, *c.local, 1800, 5 } });
        QJsonArray items;
        if (c.continued)
            items.append(QJsonObject {
                { "episode_id", "e1" }, { "position", *c.continued }, { "duration", 1800 } });
        service.on("GET", "user/continue-watching",
            ScriptedAnswer::envelope(QJsonObject { { "items", items } }));
        AppModel &app = signedIn();
        runTask(app.refreshContinueWatching());
        EpisodePlayerModel &screen = opened(app);
        becomeReady(screen);
        const std::vector<double> expected
            = c.start && *c.start > 0 ? std::vector<double> { *c.start } : std::vector<double> {};
        EXPECT_EQ(media->seeks, expected);
        episodeScreens.clear();
    }
}

TEST_F(EpisodePlayer, ViewsAndPositionsAreReportedOnlyOnceReady)
{
    scriptEpisode(u"e1"_qs);
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    service.on("POST", "episodes/e1/view", ScriptedAnswer::envelope(QJsonObject {}));
    AppModel &app = signedIn();
    EpisodePlayerModel &screen = opened(app);

    playTo(screen, 12);
    spinFor(50ms);
    EXPECT_EQ(historyPosts(), 0) << "nothing before the player is ready";
    EXPECT_EQ(service.requests("POST", "episodes/e1/view").size(), 0);

    becomeReady(screen, 0);
    ASSERT_TRUE(waitUntil([&] { return historyPosts() == 1; }));
    EXPECT_EQ(lastHistoryBody().value("position").toInt(), 0);
    EXPECT_EQ(lastHistoryBody().value("duration").toInt(), 1800);

    playTo(screen, 9.9);
    advance(10s);
    playTo(screen, 10.4);
    playTo(screen, 11);
    ASSERT_TRUE(service.waitForRequests("POST", "episodes/e1/view", 1));
    spinFor(50ms);
    EXPECT_EQ(service.requests("POST", "episodes/e1/view").size(), 1);
    EXPECT_EQ(historyPosts(), 1) << "30 s apart";

    advance(20s);
    playTo(screen, 125.9);
    ASSERT_TRUE(waitUntil([&] { return historyPosts() == 2; }));
    EXPECT_EQ(lastHistoryBody().value("position").toInt(), 125);
    ASSERT_FALSE(app.continueWatching().isEmpty());
    EXPECT_EQ(app.continueWatching().front().position, 125);

    // Leaving: the last position seen while ready goes out after the screen is gone.
    playTo(screen, 140);
    media->setItemStatus(Status::Failed);
    playTo(screen, 0);
    episodeScreens.clear();
    ASSERT_TRUE(waitUntil([&] { return historyPosts() == 3; }));
    EXPECT_EQ(lastHistoryBody().value("position").toInt(), 140);

    // A screen that never was ready leaves no record.
    EpisodePlayerModel &never = opened(app);
    playTo(never, 50);
    episodeScreens.clear();
    spinFor(100ms);
    EXPECT_EQ(historyPosts(), 3);
    EXPECT_FALSE(QSettings().contains(LocalHistoryStore::settingsKey));
}

TEST_F(EpisodePlayer, PositionsTheServiceDoesNotTakeAreKeptAndResumeTheEpisodeNextTime)
{
    scriptEpisode(u"e1"_qs);
    service.on("POST", "user/history", ScriptedAnswer::error(500, u"Down"_qs));
    AppModel &app = signedIn();
    EpisodePlayerModel &screen = opened(app);
    becomeReady(screen, 0);
    advance(30s);
    playTo(screen, 31);
    playTo(screen, 44);
    episodeScreens.clear();
    ASSERT_TRUE(
        waitUntil([&] { return historyPosts() == 3 && app.progressReports().inFlight() == 0; }));
    EXPECT_EQ(lastHistoryBody().value("position").toInt(), 44) << "the leave record";

    // The next run: the service knows nothing of the episode, this computer does.
    model.reset();
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    AppModel &next = signedIn();
    ASSERT_TRUE(next.continueWatching().isEmpty());
    EpisodePlayerModel &again = opened(next);
    becomeReady(again);
    EXPECT_EQ(media->seeks, std::vector<double> { 44 }) << "resumed where the viewer left";
    ASSERT_TRUE(waitUntil([&] { return historyPosts() == 4; }));
    EXPECT_EQ(lastHistoryBody().value("position").toInt(), 44);
    EXPECT_TRUE(waitUntil([] { return !QSettings().contains("history.unsent"); }))
        << "taken by the service, no longer kept";
}

TEST_F(EpisodePlayer, AGuestsRecordsGoToTheLocalHistory)
{
    scriptEpisode(u"e1"_qs);
    QList<LocalHistoryEntry> stored;
    for (int i = 0; i < 40; ++i)
        stored.append({ QStringLiteral("old%1").arg(i), {}, {}, {}, 1, 1800, 1000 - i });
    stored[5].episodeId = u"e1"_qs;
    stored[5].position = 42;
    stored[9].episodeId = u"e1"_qs;
    LocalHistoryStore::store(stored);
    AppModel &app = build();
    ASSERT_TRUE(app.isGuest());
    EpisodePlayerModel &screen = opened(app);
    becomeReady(screen);
    EXPECT_EQ(media->seeks, std::vector<double> { 42 }) << "resumed from the newest record";
    spinFor(20ms);

    const auto history = LocalHistoryStore::load();
    ASSERT_EQ(history.size(), 39) << "both old records of the episode went";
    EXPECT_EQ(history.front().episodeId, u"e1"_qs);
    EXPECT_EQ(history.front().position, 42);
    EXPECT_EQ(history.front().title, u"Faith & Works"_qs);
    EXPECT_EQ(history.front().programTitle, u"Healing"_qs);
    EXPECT_EQ(historyPosts(), 0);
    const QByteArray raw = QSettings().value(LocalHistoryStore::settingsKey).toByteArray();
    EXPECT_TRUE(raw.startsWith(
        R"([{"episodeId":"e1","title":"Faith & Works","programTitle":"Healing","image":"","position":42,"duration":1800,"updatedAt":)"))
        << raw.left(200).toStdString();

    stored[5].episodeId = u"x"_qs;
    stored[9].episodeId = u"y"_qs;
    LocalHistoryStore::store(stored);
    advance(30s);
    playTo(screen, 50);
    const auto full = LocalHistoryStore::load();
    ASSERT_EQ(full.size(), 40);
    EXPECT_EQ(full.front().episodeId, u"e1"_qs);
    EXPECT_EQ(full.back().episodeId, u"old38"_qs) << "the oldest went";
}

TEST_F(EpisodePlayer, EndsRepeatMoveOnOrCountDown)
{
    const QJsonArray related { episodeSummaryJson(1), episodeSummaryJson(2),
        episodeSummaryJson(3) };
    scriptEpisode(u"2"_qs, related);
    scriptEpisode(u"3"_qs, related);
    service.on("GET", "programs/7", ScriptedAnswer::error(500, u"Down"_qs));
    AppModel &app = signedIn();
    app.navigate(MacRoute::Episode);
    SettingsModel &settings = *app.settings();

    settings.setEpisodeRepeatMode(EpisodeRepeatMode::One);
    EpisodePlayerModel &one = opened(app, u"2"_qs);
    becomeReady(one, 1795);
    const auto seeksBefore = media->seeks.size();
    media->finishItem();
    ASSERT_TRUE(waitUntil([&] { return media->seeks.size() == seeksBefore + 1; }));
    EXPECT_EQ(media->seeks.back(), 0.0);
    EXPECT_FALSE(one.playNext()->countdown());

    settings.setEpisodeRepeatMode(EpisodeRepeatMode::All);
    EpisodePlayerModel &all = opened(app, u"3"_qs);
    becomeReady(all);
    media->finishItem();
    EXPECT_EQ(app.selectedEpisodeId(), u"1"_qs) << "wraps at once, no countdown";

    settings.setEpisodeRepeatMode(EpisodeRepeatMode::Off);
    settings.setAutoplayNext(true);
    EpisodePlayerModel &off = opened(app, u"2"_qs);
    becomeReady(off);
    off.chrome()->toggleMute();
    media->finishItem();
    EXPECT_EQ(off.playNext()->countdown(), 5);
    EXPECT_TRUE(off.playNext()->showsCard());
    EXPECT_FALSE(off.showsChrome());
    EXPECT_EQ(off.playNext()->title(), u"Episode 3"_qs);
    for (int left = 4; left >= 1; --left) {
        advance(1s);
        EXPECT_EQ(off.playNext()->countdown(), left);
        EXPECT_EQ(off.playNext()->countdownText(), QStringLiteral("Playing in: %1s").arg(left));
    }
    advance(1s);
    EXPECT_EQ(app.selectedEpisodeId(), u"3"_qs);
    EXPECT_TRUE(app.startsMuted(u"3"_qs)) << "the muted player's next starts muted";

    // Stop at 3 opens nothing and shows the chrome.
    EpisodePlayerModel &stopped = opened(app, u"2"_qs);
    becomeReady(stopped);
    media->finishItem();
    advance(2s);
    stopped.playNext()->stop();
    EXPECT_FALSE(stopped.playNext()->countdown());
    EXPECT_TRUE(stopped.showsChrome());
    advance(5s);
    EXPECT_EQ(app.selectedEpisodeId(), u"3"_qs);

    settings.setAutoplayNext(false);
    media->finishItem();
    EXPECT_FALSE(stopped.playNext()->countdown());
}

TEST_F(EpisodePlayer, EntriesThatCannotBeOpenedAreNeverNext)
{
    const QJsonArray related { QJsonObject { { "id", "  " } }, QJsonObject { { "id", "e1" } } };
    scriptEpisode(u"e1"_qs, related);
    service.on("GET", "programs/7", ScriptedAnswer::error(500, u"Down"_qs));
    AppModel &app = signedIn();
    app.navigate(MacRoute::Episode);
    app.settings()->setAutoplayNext(true);
    EpisodePlayerModel &screen = opened(app);
    becomeReady(screen);
    media->finishItem();
    EXPECT_FALSE(screen.playNext()->countdown()) << "no next: no card";
    EXPECT_TRUE(screen.showsChrome());

    app.settings()->setEpisodeRepeatMode(EpisodeRepeatMode::All);
    media->finishItem();
    EXPECT_EQ(app.selectedEpisodeId(), std::nullopt) << "nothing opened";
}

TEST_F(EpisodePlayer, ChromeHidesAfterIdleUnlessAMenuOrTheRelatedRowIsOpen)
{
    scriptEpisode(u"e1"_qs, { episodeSummaryJson(5) });
    AppModel &app = signedIn();
    EpisodePlayerModel &screen = opened(app);
    becomeReady(screen);
    media->setRate(1);
    screen.player()->refreshTime();
    ASSERT_TRUE(screen.player()->isPlaying());
    EXPECT_EQ(claims, 2) << "the app's claim follows the playing episode";

    advance(4s);
    EXPECT_FALSE(screen.chrome()->controlsVisible());
    screen.chrome()->tap();
    EXPECT_TRUE(screen.chrome()->controlsVisible());
    EXPECT_TRUE(screen.player()->isPlaying()) << "a tap on hidden chrome only shows it";
    screen.chrome()->tap();
    EXPECT_FALSE(screen.player()->isPlaying());
    EXPECT_EQ(claims, 0);

    screen.chrome()->toggleQualityMenu();
    screen.chrome()->toggleRepeatMenu();
    EXPECT_FALSE(screen.chrome()->qualityOpen());
    EXPECT_TRUE(screen.chrome()->repeatOpen());
    advance(5s);
    EXPECT_TRUE(screen.chrome()->controlsVisible()) << "a menu keeps the chrome";
    screen.chrome()->selectRepeatMode(EpisodeRepeatMode::All);
    EXPECT_FALSE(screen.chrome()->repeatOpen());
    EXPECT_EQ(app.settings()->episodeRepeatMode(), EpisodeRepeatMode::All);
    screen.chrome()->selectQuality(u"4Mbps"_qs);
    EXPECT_EQ(app.settings()->preferredQuality(), u"4Mbps"_qs);
    EXPECT_EQ(media->preferredPeakBitRate(), 4e6);

    screen.chrome()->more();
    EXPECT_TRUE(screen.chrome()->relatedOpen());
    EXPECT_FALSE(screen.showsChrome());
    advance(7s);
    screen.chrome()->pointerActivity();
    advance(7s);
    EXPECT_TRUE(screen.chrome()->relatedOpen()) << "activity keeps the row 8 more seconds";
    advance(1s);
    EXPECT_FALSE(screen.chrome()->relatedOpen());
    EXPECT_TRUE(screen.chrome()->controlsVisible());

    screen.chrome()->more();
    screen.selectRelated(0);
    EXPECT_EQ(app.selectedEpisodeId(), u"5"_qs);

    // Skips seek from where the player is; the player takes a negative target as 0.
    playTo(screen, 4);
    screen.chrome()->skip(-10);
    screen.chrome()->skip(10);
    spinFor(20ms);
    const std::vector<double> tail(media->seeks.end() - 2, media->seeks.end());
    EXPECT_EQ(tail, (std::vector<double> { 0, 14 }));
    screen.chrome()->toggleMute();
    EXPECT_TRUE(media->isMuted());

    episodeScreens.clear();
    EXPECT_EQ(claims, 0);
}

TEST_F(EpisodePlayer, OneSleepClaimFollowsWhicheverPlayerIsOnScreen)
{
    scriptEpisode(u"e1"_qs);
    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream()));
    AppModel &app = signedIn();
    app.navigate(MacRoute::Live);
    EXPECT_EQ(claims, 2) << "live on screen";
    app.navigate(MacRoute::Episode);
    EXPECT_EQ(claims, 0) << "live paused off screen";

    EpisodePlayerModel &screen = opened(app);
    becomeReady(screen);
    media->setRate(1);
    screen.player()->refreshTime();
    ASSERT_TRUE(screen.player()->isPlaying());
    EXPECT_EQ(claims, 2) << "the episode plays";
    screen.chrome()->togglePlay();
    EXPECT_EQ(claims, 0) << "paused";
    screen.chrome()->togglePlay();
    EXPECT_EQ(claims, 2);

    // Back to live before the episode's screen goes: the leaving episode cannot release live's.
    app.navigate(MacRoute::Live);
    EXPECT_EQ(claims, 2);
    screen.chrome()->togglePlay();
    episodeScreens.clear();
    EXPECT_EQ(claims, 2) << "live holds it";
    EXPECT_TRUE(guard->isActive());
    app.navigate(MacRoute::Home);
    EXPECT_EQ(claims, 0);
}

TEST_F(EpisodePlayer, SeekBarHoldsTheDragAndSeeksOnceOnRelease)
{
    scriptEpisode(u"e1"_qs);
    AppModel &app = signedIn();
    EpisodePlayerModel &screen = opened(app);
    media->setItemStatus(Status::ReadyToPlay);
    media->setCurrentTime(3);
    media->setLoadedTimeRanges({ { 0, 0.5 } });
    screen.player()->refreshTime();
    // Length not known yet: the bar spans 0…1 and the buffered seconds are the fraction.
    EXPECT_EQ(screen.scrubber()->totalText(), u"--:--"_qs);
    EXPECT_EQ(screen.scrubber()->maximum(), 1.0);
    EXPECT_EQ(screen.scrubber()->value(), 1.0);
    EXPECT_DOUBLE_EQ(screen.scrubber()->bufferedFraction(), 0.5);

    media->setDuration(3723);
    playTo(screen, 3599);
    EXPECT_EQ(screen.scrubber()->totalText(), u"1:02:03"_qs);
    EXPECT_EQ(screen.scrubber()->elapsedText(), u"59:59"_qs);
    const auto seeks = media->seeks.size();
    screen.scrubber()->released();
    EXPECT_EQ(media->seeks.size(), seeks) << "a release without a move does not seek";

    advance(3s);
    screen.scrubber()->moved(100);
    screen.scrubber()->moved(200);
    playTo(screen, 3600);
    EXPECT_EQ(screen.scrubber()->value(), 200) << "ticks do not move a held knob";
    advance(3s);
    EXPECT_TRUE(screen.chrome()->controlsVisible()) << "moving the knob counts as activity";
    screen.scrubber()->released();
    spinFor(20ms);
    ASSERT_EQ(media->seeks.size(), seeks + 1);
    EXPECT_EQ(media->seeks.back(), 200);
    EXPECT_EQ(screen.scrubber()->value(), 3600);
}

} // namespace
} // namespace orvella::test

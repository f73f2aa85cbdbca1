#include "AppModelHarness.h"
#include "core/LocalHistory.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class SharedLoads : public AppModelHarness
{
protected:
    [[nodiscard]] qsizetype streamRequests(const QString &lang) const
    {
        return streamLanguages().count(lang);
    }
};

TEST_F(SharedLoads, TheCachedStreamServesItsLanguageOrAnyWhenUntagged)
{
    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream("en")));
    AppModel &app = build();
    ASSERT_TRUE(runTask(app.loadLiveStream(QStringLiteral("en"), false)));
    EXPECT_TRUE(runTask(app.loadLiveStream(QStringLiteral("en"), false)));
    EXPECT_EQ(streamRequests("en"), 1);
    ASSERT_TRUE(app.liveStreamCache());
    EXPECT_EQ(app.liveStreamCache()->lang, QStringLiteral("en"))
        << "the cache is handed out, not moved out";

    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream("fr")));
    const auto french = runTask(app.loadLiveStream(QStringLiteral("fr"), false));
    ASSERT_TRUE(french);
    EXPECT_EQ(french->lang, QStringLiteral("fr"));
    EXPECT_EQ(streamRequests("fr"), 1);

    QJsonObject untagged = sampleStream();
    untagged.remove("lang");
    service.on("GET", "live/stream", ScriptedAnswer::envelope(untagged));
    runTask(app.loadLiveStream(QStringLiteral("fr"), true));
    EXPECT_EQ(streamRequests("fr"), 2) << "forced";
    runTask(app.loadLiveStream(QStringLiteral("de"), false));
    EXPECT_EQ(streamRequests("de"), 0);
}

TEST_F(SharedLoads, LoadsAtOnceShareOneFetchAndAForcedOneStartsAnother)
{
    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream()).withDelay(100ms));
    AppModel &app = build();
    auto first = app.loadLiveStream(QStringLiteral("en"), false);
    auto second = app.loadLiveStream(QStringLiteral("fr"), false);
    auto forced = app.loadLiveStream(QStringLiteral("en"), true);
    const auto a = runTask(std::move(first));
    const auto b = runTask(std::move(second));
    const auto c = runTask(std::move(forced));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*a, *b);
    EXPECT_EQ(service.requests("GET", "live/stream").size(), 2);
    EXPECT_EQ(streamRequests("fr"), 0) << "the second load joined the English fetch";
    EXPECT_EQ(player->loads.size(), 1u) << "the player is preloaded once";
}

TEST_F(SharedLoads, AFailedLanguageFallsBackToEnglishOnce)
{
    service.handle("GET", "live/stream", [](const RecordedRequest &request) {
        return request.queryValue("lang") == "en" ? ScriptedAnswer::envelope(sampleStream("en"))
                                                  : ScriptedAnswer::error(404, "No such language");
    });
    AppModel &app = build();
    const auto stream = runTask(app.loadLiveStream(QStringLiteral("yo"), false));
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->lang, QStringLiteral("en"));
    EXPECT_EQ(app.liveStreamCache(), stream);
    EXPECT_EQ(player->loads.size(), 1u);

    service.on("GET", "live/stream", ScriptedAnswer::error(500, "down"));
    EXPECT_FALSE(runTask(app.loadLiveStream(QStringLiteral("en"), true)));
    EXPECT_EQ(streamRequests("en"), 2) << "English is not tried twice";
    EXPECT_EQ(app.liveStreamCache(), stream) << "a failure keeps the cache";
}

TEST_F(SharedLoads, ThePreloadTakesTheLiveFlagFromStatusWhenNotGiven)
{
    QJsonObject stream = sampleStream();
    stream.remove("is_live");
    stream.remove("hls_url");
    stream.insert("status", "LIVE");
    stream.insert("stream_url", " http://127.0.0.1:9/a stream.m3u8 ");
    service.on("GET", "live/stream", ScriptedAnswer::envelope(stream));
    AppModel &app = build();
    app.settings()->setPreferredQuality(QStringLiteral("2Mbps"));
    runTask(app.loadLiveStream(QStringLiteral("en"), false));
    ASSERT_EQ(player->loads.size(), 1u);
    EXPECT_EQ(player->loads[0].url.toEncoded(), "http://127.0.0.1:9/a%20stream.m3u8");
    EXPECT_TRUE(app.livePlayer()->isLive());
    EXPECT_EQ(player->preferredMaximumResolution(), QSize(854, 480));
    EXPECT_EQ(player->playCalls, 0);

    // A player that already has an item is left alone.
    stream.insert("stream_url", "http://127.0.0.1:9/other.m3u8");
    stream.remove("status");
    service.on("GET", "live/stream", ScriptedAnswer::envelope(stream));
    runTask(app.loadLiveStream(QStringLiteral("en"), true));
    EXPECT_EQ(player->loads.size(), 1u);
    EXPECT_EQ(app.liveStreamCache()->stream_url, QStringLiteral("http://127.0.0.1:9/other.m3u8"));
}

TEST_F(SharedLoads, AStreamWithoutStatusOrFlagIsNotLive)
{
    QJsonObject stream = sampleStream();
    stream.remove("is_live");
    stream.remove("status");
    service.on("GET", "live/stream", ScriptedAnswer::envelope(stream));
    AppModel &app = build();
    runTask(app.loadLiveStream(QStringLiteral("en"), false));
    ASSERT_EQ(player->loads.size(), 1u);
    EXPECT_FALSE(app.livePlayer()->isLive());
}

TEST_F(SharedLoads, HomeReportsAFailureOnlyWhileNoHomeIsShown)
{
    service.on("GET", "tv/home",
        { ScriptedAnswer::error(500, "Home is down"), ScriptedAnswer::envelope(sampleHome()),
            ScriptedAnswer::error(500, "Down again") });
    AppModel &app = build();
    runTask(app.refreshHome(false));
    ASSERT_TRUE(app.bootstrapError());
    EXPECT_TRUE(app.bootstrapError()->contains("Home is down"));
    runTask(app.refreshHome(false));
    ASSERT_TRUE(app.home());
    runTask(app.refreshHome(false));
    EXPECT_EQ(service.requests("GET", "tv/home").size(), 2) << "a shown home is not fetched again";
    runTask(app.refreshHome(true));
    EXPECT_TRUE(app.home());
    EXPECT_TRUE(app.bootstrapError()->contains("Home is down")) << "left as it was";
}

TEST_F(SharedLoads, GuestsContinueFromTheLocalHistory)
{
    LocalHistoryStore::store(
        { { "a", QStringLiteral("A"), QStringLiteral("P"), std::nullopt, 30, 120, 5 },
            { "b", std::nullopt, std::nullopt, QStringLiteral("i.jpg"), 10, 0, 9 } });
    AppModel &app = build();
    runTask(app.refreshContinueWatching());
    const auto &items = app.continueWatching();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].episode_id, "b");
    EXPECT_EQ(items[0].progress_pct, 0.0);
    EXPECT_EQ(items[0].image, QStringLiteral("i.jpg"));
    EXPECT_EQ(items[1].episode_id, "a");
    EXPECT_DOUBLE_EQ(*items[1].progress_pct, 25.0);
    EXPECT_EQ(items[1].program_title, QStringLiteral("P"));
    EXPECT_EQ(items[1].updated_at, 5);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(SharedLoads, SignedInContinueWatchingAndProgrammesKeepTheirListOnFailure)
{
    service.on("GET", "user/continue-watching",
        { ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "episode_id", "x" } } }),
            ScriptedAnswer::error(500, "down") });
    service.on("GET", "programs",
        { ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "id", 1 } } }),
            ScriptedAnswer::error(500, "down") });
    AppModel &app = signedIn();
    runTask(app.refreshContinueWatching());
    runTask(app.refreshContinueWatching());
    EXPECT_EQ(app.continueWatching().size(), 1);
    runTask(app.refreshProgramsCache(false));
    runTask(app.refreshProgramsCache(false));
    EXPECT_EQ(service.requests("GET", "programs").size(), 1);
    runTask(app.refreshProgramsCache(true));
    EXPECT_EQ(app.programsCache().size(), 1);
}

TEST_F(SharedLoads, AGuestSyncsNoProfile)
{
    AppModel &app = build();
    runTask(app.syncProfileFromServer());
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(SharedLoads, AnAnswerForAnEndedSessionIsDropped)
{
    service.on("GET", "user/continue-watching",
        ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "episode_id", "x" } } })
            .withDelay(150ms));
    service.on("GET", "user/profile", ScriptedAnswer::envelope(sampleProfile()).withDelay(150ms));
    AppModel &app = signedIn();
    auto rows = app.refreshContinueWatching();
    auto profile = app.syncProfileFromServer();
    runTask(app.signOut());
    runTask(std::move(rows));
    runTask(std::move(profile));
    EXPECT_TRUE(app.continueWatching().isEmpty());
    EXPECT_FALSE(app.profile());
    EXPECT_FALSE(QSettings().contains("profile.json"));
}

TEST_F(SharedLoads, TheScheduleIsPublishedOrMarkedUnavailable)
{
    const QJsonObject schedule { { "days",
        QJsonArray { QJsonObject { { "date", "2023-11-14" },
            { "items",
                QJsonArray { QJsonObject { { "id", "s1" }, { "title", "Morning" },
                    { "starts_at", 1699999000 }, { "ends_at", 1700003000 } } } } } } } };
    service.on("GET", "live/schedule",
        { ScriptedAnswer::envelope(schedule), ScriptedAnswer::error(500, "down") });
    AppModel &app = build();
    QList<bool> loading;
    QObject::connect(&app, &AppModel::isLoadingLiveScheduleChanged,
        [&] { loading.append(app.isLoadingLiveSchedule()); });
    runTask(app.loadLiveSchedule(false));
    ASSERT_TRUE(app.liveSchedule());
    EXPECT_EQ(app.liveSchedule()->toItems().size(), 1);
    EXPECT_FALSE(app.liveScheduleError());
    EXPECT_EQ(service.requests("GET", "live/schedule").first().queryValue("days"), "3");

    runTask(app.loadLiveSchedule(true));
    EXPECT_FALSE(app.liveSchedule());
    EXPECT_EQ(app.liveScheduleError(), QStringLiteral("unavailable"));
    EXPECT_EQ(loading, (QList<bool> { true, false, true, false }));
}

} // namespace
} // namespace orvella::test

#include "AppModelHarness.h"
#include "core/ApplicationForeground.h"
#include "core/EventNotifications.h"
#include "core/TvEventSchedule.h"

namespace orvella::test {
namespace {

constexpr qint64 now = 1'700'000'000'000; // ms
constexpr qint64 minute = 60'000;

ConfigEvent event(std::optional<qint64> startsAt, const QString &title = QStringLiteral("Healing"),
    std::optional<bool> active = true)
{
    return ConfigEvent { active, title, startsAt, std::nullopt };
}

// Seconds since 1970 of `now` plus the given milliseconds, as the configuration sends it.
qint64 secondsFromNow(qint64 ms)
{
    return (now + ms) / 1000;
}

TEST(EventNotice, RemindersCountDownInFiveMinuteSteps)
{
    const SettingsStore settings;
    const QString soon
        = QStringLiteral("Starts in about %1 minutes. Join the live healing service.");
    const QString startingNow = QString::fromUtf8("Starting now — open Orvella Live.");
    const struct
    {
        qint64 ahead; // ms
        int step;
        QString body;
    } cases[] = {
        { 30 * minute + 30'000, 6, soon.arg(30) },
        { 12 * minute + 59'000, 2, soon.arg(12) },
        { 2 * minute, 0, soon.arg(2) },
        { 119'000, 0, startingNow },
        { 50'000, 0, startingNow },
    };
    for (const auto &[ahead, step, body] : cases) {
        SCOPED_TRACE(ahead);
        const qint64 start = secondsFromNow(ahead);
        const auto notice = OrvellaNotificationSync::noticeFor(event(start), settings, now);
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->id, QStringLiteral("event_reminder_%1_%2").arg(start).arg(step));
        EXPECT_EQ(notice->title, "Healing starts soon");
        EXPECT_EQ(notice->body, body);
    }
}

TEST(EventNotice, TheActiveNoticeOtherwise)
{
    SettingsStore settings;
    const qint64 far = secondsFromNow(31 * minute);
    auto notice = OrvellaNotificationSync::noticeFor(event(far), settings, now);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->id, QStringLiteral("event_active_%1").arg(far));
    EXPECT_EQ(notice->title, "Healing");
    EXPECT_EQ(notice->body, "A Orvella event is active. Watch live on Orvella.");

    const qint64 past = secondsFromNow(-minute);
    EXPECT_EQ(OrvellaNotificationSync::noticeFor(event(past), settings, now)->id,
        QStringLiteral("event_active_%1").arg(past));
    EXPECT_EQ(OrvellaNotificationSync::noticeFor(event(std::nullopt), settings, now)->id,
        "event_active_0");
    EXPECT_EQ(OrvellaNotificationSync::noticeFor(event(0), settings, now)->id, "event_active_0");

    settings.liveReminders = false;
    const qint64 soon = secondsFromNow(10 * minute);
    EXPECT_EQ(OrvellaNotificationSync::noticeFor(event(soon), settings, now)->id,
        QStringLiteral("event_active_%1").arg(soon));
    settings.eventAlerts = false;
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(event(soon), settings, now));
}

TEST(EventNotice, MillisecondStartsAreTakenAsTheyAre)
{
    const SettingsStore settings;
    const qint64 startMs = now + 7 * minute;
    auto notice = OrvellaNotificationSync::noticeFor(event(startMs), settings, now);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->id, QStringLiteral("event_reminder_%1_1").arg(startMs));
}

TEST(EventNotice, NothingWithoutPushAnActiveEventOrATitle)
{
    SettingsStore settings;
    const qint64 soon = secondsFromNow(10 * minute);
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(std::nullopt, settings, now));
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(event(soon, "H", false), settings, now));
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(event(soon, "H", std::nullopt), settings, now));
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(event(soon, ""), settings, now));
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(
        ConfigEvent { true, std::nullopt, soon, std::nullopt }, settings, now));
    settings.pushEnabled = false;
    EXPECT_FALSE(OrvellaNotificationSync::noticeFor(event(soon), settings, now));
}

TEST(EventNotice, EachIdentifierIsShownOnceAndNeverWhileInFront)
{
    ManualClock clock;
    clock.setSinceEpoch(std::chrono::milliseconds(now));
    bool active = true;
    QList<PostedNotice> posted;
    RecordingNotifier notifier(posted);
    OrvellaNotificationSync sync(&notifier, &clock, [&] { return active; });
    const SettingsStore settings;
    const auto soon = event(secondsFromNow(12 * minute));

    sync.applyConfigEvent(soon, settings);
    EXPECT_TRUE(posted.isEmpty()) << "the application is in front";
    active = false;
    sync.applyConfigEvent(soon, settings);
    clock.advance(std::chrono::milliseconds(minute));
    sync.applyConfigEvent(soon, settings);
    ASSERT_EQ(posted.size(), 1) << "same five-minute step";
    clock.advance(std::chrono::milliseconds(2 * minute)); // 9 minutes left: the next step
    sync.applyConfigEvent(soon, settings);
    ASSERT_EQ(posted.size(), 2);
    EXPECT_NE(posted[0].id, posted[1].id);
    EXPECT_EQ(sync.delivered().size(), 2);
}

TEST_F(AppModelHarness, TheMinuteSyncUsesTheHeldConfigurationWhenOffline)
{
    const qint64 start = secondsFromNow(20 * minute);
    QJsonObject config = sampleConfig();
    config.insert("event",
        QJsonObject { { "active", "yes" }, { "title", "Crusade" }, { "starts_at", start } });
    service.on(
        "GET", "tv/config", { ScriptedAnswer::envelope(config), ScriptedAnswer::error(500, "x") });
    AppModel &app = build();
    runTask(app.syncEventNotifications());
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].id, QStringLiteral("event_reminder_%1_4").arg(start));

    clock.advance(std::chrono::milliseconds(6 * minute));
    runTask(app.syncEventNotifications());
    ASSERT_TRUE(app.config());
    ASSERT_EQ(notices.size(), 2);
    EXPECT_EQ(notices[1].id, QStringLiteral("event_reminder_%1_2").arg(start));
}

TEST_F(AppModelHarness, StartUpAppliesTheEventRules)
{
    storeSession();
    scriptStartup();
    QJsonObject config = sampleConfig();
    config.insert("event", QJsonObject { { "active", true }, { "title", "Crusade" } });
    service.on("GET", "tv/config", ScriptedAnswer::envelope(config));
    AppModel &app = build();
    runTask(app.bootstrap());
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].id, "event_active_0");
}

// Start-up with the app model's own judgement of the front (no window: the test tells it what
// the window system says), on the test's clock.
class LaunchNotice : public AppModelHarness
{
protected:
    static constexpr auto grace = std::chrono::milliseconds(ApplicationForeground::focusGrace);
    const qint64 start = secondsFromNow(90 * minute); // far enough for the active notice
    const QString noticeId = QStringLiteral("event_active_%1").arg(start);

    void adjust(AppBuilder &builder) override { builder.applicationActive({}); }

    AppModel &startUp(std::chrono::milliseconds configDelay = {})
    {
        storeSession();
        QJsonObject config = sampleConfig();
        config.insert("event",
            QJsonObject { { "active", true }, { "title", "Crusade" }, { "starts_at", start } });
        scriptStartup(config);
        service.on("GET", "tv/config", ScriptedAnswer::envelope(config).withDelay(configDelay));
        return build();
    }

    // The 60-second run, with a fresh configuration.
    void minuteRun(AppModel &app)
    {
        clock.advance(std::chrono::milliseconds(minute));
        const auto fetched = service.requests("GET", "tv/config").size();
        runTask(app.syncEventNotifications());
        ASSERT_EQ(service.requests("GET", "tv/config").size(), fetched + 1);
    }
};

TEST_F(LaunchNotice, ALaunchLeftBehindPostsWhenTheGraceEndsAndNotAgain)
{
    AppModel &app = startUp();
    runTask(app.bootstrap());
    EXPECT_TRUE(notices.isEmpty()) << "the window may still come to the front";
    clock.advance(1s);
    app.foreground().setExposed(true); // shown a moment later: the grace runs on from there
    clock.advance(grace - 1ms);
    EXPECT_TRUE(notices.isEmpty());
    clock.advance(1ms);
    ASSERT_EQ(notices.size(), 1) << "the window never got the focus";
    EXPECT_EQ(notices[0].id, noticeId);
    minuteRun(app);
    EXPECT_EQ(notices.size(), 1);
}

TEST_F(LaunchNotice, TheFocusLostWithinTheGraceEndsIt)
{
    AppModel &app = startUp();
    runTask(app.bootstrap());
    app.foreground().setExposed(true);
    app.foreground().setActive(true);
    clock.advance(1s);
    app.foreground().setActive(false);
    ASSERT_TRUE(waitUntil([&] { return notices.size() == 1; }));
    EXPECT_EQ(notices[0].id, noticeId);
}

TEST_F(LaunchNotice, ALaunchInFrontPostsNothingAndLaterGracesChangeNothing)
{
    AppModel &app = startUp();
    runTask(app.bootstrap());
    app.foreground().setExposed(true);
    app.foreground().setActive(true);
    clock.advance(grace);
    minuteRun(app);
    EXPECT_TRUE(notices.isEmpty());

    // Minimised, then shown again without the focus: its grace ends without a run of the rules.
    app.foreground().setActive(false);
    app.foreground().setExposed(false);
    app.foreground().setExposed(true);
    clock.advance(grace);
    spinFor(20ms);
    EXPECT_TRUE(notices.isEmpty());
    minuteRun(app);
    EXPECT_EQ(notices.size(), 1) << "the minute's run posts for a window behind";
}

TEST_F(LaunchNotice, AConfigurationAfterTheGraceIsPostedByStartUp)
{
    AppModel &app = startUp(200ms);
    QCoro::Task<> startup = app.bootstrap();
    ASSERT_TRUE(service.waitForRequests("GET", "tv/config", 1));
    clock.advance(grace);
    EXPECT_TRUE(notices.isEmpty()) << "no configuration yet";
    runTask(std::move(startup));
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0].id, noticeId);
}

TEST_F(AppModelHarness, TheCountdownReloadsConfigurationAndHomeQuietly)
{
    service.on("GET", "tv/config", ScriptedAnswer::error(500, "down"));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()));
    AppModel &app = build();
    runTask(app.refreshEventScheduleData());
    EXPECT_FALSE(app.config());
    EXPECT_TRUE(app.home());
    EXPECT_FALSE(app.bootstrapError());
    EXPECT_TRUE(notices.isEmpty());
}

TvConfig configWith(QList<ConfigEventListItem> events, std::optional<ConfigEvent> single = {})
{
    TvConfig config;
    config.events = std::move(events);
    config.event = std::move(single);
    return config;
}

ConfigEventListItem listed(std::optional<QString> id, qint64 startsAt, const QString &title)
{
    ConfigEventListItem item;
    item.id = std::move(id);
    item.title = title;
    item.starts_at = startsAt;
    return item;
}

TEST(TvEventScheduleTest, ListedEventsInStableStartOrder)
{
    const auto items = TvEventSchedule::resolve(
        configWith({ listed(QStringLiteral("b"), 2'000'000'000, "B"),
            listed(QStringLiteral("a1"), 1'800'000'000, "A1"), listed(std::nullopt, 0, "dropped"),
            listed(QStringLiteral("a2"), 1'800'000'000'000, "A2") }),
        QStringLiteral("Tonight"));
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].id, "a1");
    EXPECT_EQ(items[1].id, "a2") << "equal starts keep the configuration's order";
    EXPECT_EQ(items[2].id, "b");
    EXPECT_EQ(items[0].subtitle, "Tonight");
    EXPECT_TRUE(TvEventSchedule::resolve(std::nullopt, std::nullopt).isEmpty());
}

TEST(TvEventScheduleTest, TheSingleActiveEventStandsInForAnEmptyList)
{
    const auto items = TvEventSchedule::resolve(
        configWith({ listed(QStringLiteral("x"), 5, "") }, event(1'700'000'000, "Crusade")),
        QStringLiteral("  \n"));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0],
        (CountdownEventItem { "config_event_1700000000", "Crusade", "Live from Orvella",
            1'700'000'000'000, "LIVE EVENT", "Watch Live" }));
    EXPECT_EQ(TvEventSchedule::resolve(
                  configWith({}, event(1'700'000'000, "C")), QStringLiteral(" Sub "))[0]
                  .subtitle,
        " Sub ");
    EXPECT_TRUE(
        TvEventSchedule::resolve(configWith({}, event(1'700'000'000, "C", false)), {}).isEmpty());
    EXPECT_TRUE(TvEventSchedule::resolve(configWith({}, event(0, "C")), {}).isEmpty());
    EXPECT_TRUE(TvEventSchedule::resolve(configWith({}, event(5, "")), {}).isEmpty());
}

} // namespace
} // namespace orvella::test

#include "core/AppModelHarness.h"
#include "screens/home/CountdownScreenModel.h"
#include "screens/home/EmissionCount.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

constexpr qint64 now = 1'700'000'000'000;

QJsonObject eventsConfig(const QJsonArray &events)
{
    return { { "events", events } };
}

QJsonObject event(const QString &id, qint64 startsAt, const QString &badge = u"live event"_qs)
{
    return { { "id", id }, { "title", "Night of " + id }, { "starts_at", startsAt },
        { "badge", badge } };
}

TEST(CountdownUnits, SplitTruncateAndClamp)
{
    const auto units = [](qint64 remainingMs) {
        const CountdownUnits u = countdownUnits(now + remainingMs, now);
        return QStringList { u.days, u.hours, u.minutes, u.seconds };
    };
    EXPECT_EQ(units(((86400 + 2 * 3600 + 3 * 60 + 4) * 1000LL) + 700),
        (QStringList { "1", "02", "03", "04" }));
    EXPECT_EQ(units(0), (QStringList { "0", "00", "00", "00" }));
    EXPECT_EQ(units(-5000), (QStringList { "0", "00", "00", "00" }));
    EXPECT_EQ(units(900), (QStringList { "0", "00", "00", "00" }));
    EXPECT_EQ(units(123 * 86400'000LL + 86399'000), (QStringList { "123", "23", "59", "59" }));
    // Far and wrong starts neither overflow nor go negative.
    EXPECT_EQ(countdownUnits(std::numeric_limits<qint64>::max(), -now).days,
        QString::number(std::numeric_limits<qint64>::max() / 1000 / 86400));
    EXPECT_EQ(countdownUnits(std::numeric_limits<qint64>::min(), now).days, u"0"_qs);
}

class CountdownScreen : public AppModelHarness
{
protected:
    CountdownScreenModel &show(AppModel &app)
    {
        screen = std::make_unique<CountdownScreenModel>();
        screen->setClock(&clock);
        screen->setApp(&app);
        return *screen;
    }

    [[nodiscard]] std::pair<qsizetype, qsizetype> reloads() const
    {
        return { service.requests("GET", "tv/config").size(),
            service.requests("GET", "tv/home").size() };
    }

    // As many configuration as home requests.
    static std::pair<qsizetype, qsizetype> each(qsizetype times) { return { times, times }; }

    bool reloadedTimes(qsizetype times)
    {
        return waitUntil([&] { return reloads() == each(times); });
    }

    // Moves the clock on once the reload loop waits.
    void advance(std::chrono::milliseconds span)
    {
        ASSERT_TRUE(waitUntil([&] { return clock.sleepers() == 1; }));
        clock.advance(span);
        spinFor(40ms);
    }

    void TearDown() override
    {
        screen.reset();
        spinFor(20ms);
        AppModelHarness::TearDown();
    }

    std::unique_ptr<CountdownScreenModel> screen;
};

TEST_F(CountdownScreen, ReloadsOnShowEveryMinuteAndOnceMoreAfterClosingInTheWait)
{
    service.on("GET", "tv/config",
        { ScriptedAnswer::envelope(eventsConfig({ event("a", now / 1000 + 60) })),
            ScriptedAnswer::envelope(
                eventsConfig({ event("a", now / 1000 + 60), event("b", now / 1000 + 90) })) });
    service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()));
    AppModel &app = build();
    CountdownScreenModel &shown = show(app);
    ASSERT_TRUE(reloadedTimes(1));
    // The configuration and home answers may arrive in either order: the subtitle comes from
    // home's hero once it is there.
    EXPECT_TRUE(waitUntil([&] {
        return shown.events()->rowCount() == 1
            && shown.events()->rows().first().subtitle == u"Healing streams"_qs;
    }));
    EXPECT_EQ(shown.events()->index(0).data(CountdownEventList::BadgeRole), u"LIVE EVENT"_qs);

    advance(59s);
    EXPECT_EQ(reloads(), each(1));
    advance(1s);
    ASSERT_TRUE(reloadedTimes(2));
    ASSERT_TRUE(waitUntil([&] { return shown.events()->rowCount() == 2; }));

    advance(30s);
    screen.reset();
    ASSERT_TRUE(reloadedTimes(3));
    EXPECT_EQ(clock.sleepers(), 0);
    clock.advance(5min);
    spinFor(40ms);
    EXPECT_EQ(reloads(), each(3));
    ASSERT_TRUE(app.config());
    EXPECT_EQ(app.config()->events->size(), 2);
}

TEST_F(CountdownScreen, ClosedDuringAReloadStopsAfterIt)
{
    service.on("GET", "tv/config",
        ScriptedAnswer::envelope(eventsConfig({ event("a", now / 1000 + 60) })).withDelay(300ms));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()));
    AppModel &app = build();
    show(app);
    ASSERT_TRUE(service.waitForRequests("GET", "tv/config", 1));
    screen.reset();
    ASSERT_TRUE(reloadedTimes(1));
    ASSERT_TRUE(waitUntil([&] { return app.config().has_value(); }));
    EXPECT_EQ(clock.sleepers(), 0);
    clock.advance(2min);
    spinFor(40ms);
    EXPECT_EQ(reloads(), each(1));
}

TEST_F(CountdownScreen, TicksAndRefreshesKeepTheCards)
{
    service.on("GET", "tv/config",
        { ScriptedAnswer::envelope(
              eventsConfig({ event("b", now / 1000 + 7200), event("a", now / 1000 + 3600) })),
            ScriptedAnswer::envelope(eventsConfig({ event("c", now / 1000 + 60),
                event("a", now / 1000 + 3600, u"Today"_qs), event("b", now / 1000 + 7200) })) });
    service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()));
    AppModel &app = build();
    CountdownScreenModel &shown = show(app);
    CountdownEventList &events = *shown.events();
    ASSERT_TRUE(waitUntil([&] { return events.rowCount() == 2; }));
    EXPECT_EQ(events.rows().first().id, u"a"_qs);
    EXPECT_EQ(events.unitsAt(0), (CountdownUnits { "0", "01", "00", "00" }));

    const auto resets = countEmissions(&events, &QAbstractItemModel::modelReset);
    const auto removed = countEmissions(&events, &QAbstractItemModel::rowsRemoved);
    const auto inserted = countEmissions(&events, &QAbstractItemModel::rowsInserted);
    const auto changed = countEmissions(&events, &QAbstractItemModel::dataChanged);
    clock.advance(1500ms);
    shown.tick();
    EXPECT_EQ(events.unitsAt(0), (CountdownUnits { "0", "00", "59", "58" }));
    EXPECT_EQ(*changed, 1);

    advance(60s);
    ASSERT_TRUE(waitUntil([&] { return events.rowCount() == 3; }));
    EXPECT_EQ(*resets, 0);
    EXPECT_EQ(*removed, 0);
    EXPECT_EQ(*inserted, 1);
    EXPECT_EQ(events.rows().first().id, u"c"_qs);
    EXPECT_EQ(events.index(1).data(CountdownEventList::BadgeRole), u"TODAY"_qs);
}

TEST_F(CountdownScreen, EmptyUntilRefreshBringsEvents)
{
    service.on("GET", "tv/config",
        { ScriptedAnswer::error(500, "Down"),
            ScriptedAnswer::envelope(eventsConfig({ event("a", now / 1000 - 10) })) });
    service.on("GET", "tv/home", ScriptedAnswer::error(500, "Down"));
    AppModel &app = build();
    CountdownScreenModel &shown = show(app);
    ASSERT_TRUE(reloadedTimes(1));
    EXPECT_TRUE(shown.isEmpty());
    const auto emptiness = countEmissions(&shown, &CountdownScreenModel::isEmptyChanged);
    shown.refresh();
    ASSERT_TRUE(reloadedTimes(2));
    ASSERT_TRUE(waitUntil([&] { return !shown.isEmpty(); }));
    EXPECT_GE(*emptiness, 1);
    EXPECT_EQ(shown.events()->unitsAt(0), (CountdownUnits { "0", "00", "00", "00" }));
    EXPECT_EQ(shown.events()->rows().first().subtitle, u"Live from Orvella"_qs);
}

} // namespace
} // namespace orvella::test

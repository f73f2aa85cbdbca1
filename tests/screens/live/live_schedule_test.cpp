#include "LiveScreenHarness.h"
#include "screens/live/LiveScheduleModel.h"

namespace orvella::test {
namespace {

using Content = LiveScheduleModel::Content;

QJsonObject item(
    const QString &id, const QString &title, const QString &status, const QJsonObject &extra = {})
{
    QJsonObject object { { "id", id }, { "title", title }, { "start_time", "10:00:00" },
        { "epg_status", status } };
    for (auto it = extra.begin(); it != extra.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QJsonObject schedule(const QJsonArray &items, const QJsonValue &timezone = "Africa/Lagos")
{
    QJsonObject data { { "days",
        QJsonArray { QJsonObject { { "date", "2026-12-06" }, { "items", items } } } } };
    if (!timezone.isUndefined())
        data.insert("timezone", timezone);
    return data;
}

class LiveSchedule : public LiveScreenHarness
{
protected:
    LiveScheduleModel &panel(AppModel &app)
    {
        m_panel = std::make_unique<LiveScheduleModel>();
        m_panel->setApp(&app);
        return *m_panel;
    }
    std::unique_ptr<LiveScheduleModel> m_panel;
    void TearDown() override
    {
        m_panel.reset();
        LiveScreenHarness::TearDown();
    }
};

TEST_F(LiveSchedule, LoadingEmptyAndSectionStates)
{
    AppModel &app = signedInOnLive();
    LiveScheduleModel &model = panel(app);
    EXPECT_EQ(model.content(), Content::Empty) << "before the first load";

    service.on("GET", "live/schedule",
        ScriptedAnswer::envelope(
            schedule({ item("1", "Morning Prayer", "live"),
                item("2", "Word", "upcoming", { { "minister", "  Rev. A \n" } }),
                item("3", "Praise", "upcoming"), item("4", "News", "upcoming"),
                item("5", "Choir", "upcoming"), item("6", "Close", "upcoming") }))
            .withDelay(std::chrono::milliseconds(100)));
    auto load = app.loadLiveSchedule(true);
    EXPECT_EQ(model.content(), Content::Loading);
    EXPECT_TRUE(model.isLoading());
    runTask(std::move(load));
    EXPECT_EQ(model.content(), Content::Sections);
    EXPECT_EQ(model.liveNow().value("title").toString(), QStringLiteral("Morning Prayer"));
    EXPECT_EQ(model.liveNow().value("timeLine").toString(), QStringLiteral("🕐 10:00:00 · ⏱ Live"));
    EXPECT_EQ(model.upNext().value("title").toString(), QStringLiteral("Word"));
    EXPECT_EQ(model.upNext().value("subtitle").toString(), QStringLiteral("Rev. A"));
    EXPECT_EQ(model.upNext().value("clock").toString(), QStringLiteral("10:00"));
    EXPECT_TRUE(model.upNext().value("emphasize").toBool());
    EXPECT_EQ(model.comingUp().size(), 4);
    EXPECT_EQ(model.comingUpHeading(), QStringLiteral("Coming Up · 4"));
    EXPECT_EQ(model.timeZone(), QStringLiteral("Africa/Lagos"));

    // A reload keeps the old sections on screen; only the refresh glyph spins.
    service.on("GET", "live/schedule",
        ScriptedAnswer::envelope(schedule({ item("1", "Morning Prayer", "live") }))
            .withDelay(std::chrono::milliseconds(100)));
    auto reload = app.loadLiveSchedule(false);
    if (model.isLoading()) {
        EXPECT_EQ(model.content(), Content::Sections);
    }
    runTask(std::move(reload));

    // A schedule with nothing on air and nothing ahead reads as unavailable.
    service.on("GET", "live/schedule",
        ScriptedAnswer::envelope(schedule({ item("9", "Old", "past") }, QJsonValue::Undefined)));
    runTask(app.loadLiveSchedule(true));
    EXPECT_EQ(model.content(), Content::Empty);
    EXPECT_FALSE(model.timeZone().isEmpty()) << "the device's zone when the schedule has none";
}

TEST_F(LiveSchedule, LiveItemAloneAndOneUpcomingItem)
{
    AppModel &app = signedInOnLive();
    LiveScheduleModel &model = panel(app);
    service.on("GET", "live/schedule",
        ScriptedAnswer::envelope(schedule({ item("1", "On air", "live") })));
    runTask(app.loadLiveSchedule(true));
    EXPECT_FALSE(model.liveNow().isEmpty());
    EXPECT_TRUE(model.upNext().isEmpty());
    EXPECT_TRUE(model.comingUp().isEmpty());

    service.on("GET", "live/schedule",
        ScriptedAnswer::envelope(schedule({ item("2", "Next", "upcoming") })));
    runTask(app.loadLiveSchedule(true));
    EXPECT_TRUE(model.liveNow().isEmpty());
    EXPECT_EQ(model.upNext().value("title").toString(), QStringLiteral("Next"));
    EXPECT_TRUE(model.comingUp().isEmpty());
}

TEST_F(LiveSchedule, OpeningForcesALoadAndClosingLoadsNothing)
{
    AppModel &app = signedInOnLive();
    LiveScheduleModel &model = panel(app);
    const auto before = service.requests("GET", "live/schedule").size();
    model.setIsOpen(true);
    ASSERT_TRUE(service.waitForRequests("GET", "live/schedule", before + 1));
    spinFor(std::chrono::milliseconds(50));
    model.setIsOpen(false);
    spinFor(std::chrono::milliseconds(50));
    EXPECT_EQ(service.requests("GET", "live/schedule").size(), before + 1);
    model.refresh();
    EXPECT_TRUE(service.waitForRequests("GET", "live/schedule", before + 2));
}

TEST(LiveScheduleText, ClocksAndSubtitles)
{
    ScheduleItem item;
    EXPECT_EQ(LiveScheduleModel::liveClock(item), QStringLiteral("Now"));
    item.starts_at_iso = QStringLiteral("2026-12-06T10:00:00Z");
    item.start_time = QString();
    EXPECT_EQ(LiveScheduleModel::liveClock(item), QStringLiteral("2026-12-06T10:00:00Z"));
    item.start_time = QStringLiteral("9:30");
    EXPECT_EQ(LiveScheduleModel::rowClock(item), QStringLiteral("9:30")) << "short: whole";
    item.start_time = QStringLiteral("09:30:00");
    EXPECT_EQ(LiveScheduleModel::rowClock(item), QStringLiteral("09:30"));
    EXPECT_EQ(LiveScheduleModel::rowSubtitle(item), QString());
    item.minister = QStringLiteral("   ");
    EXPECT_EQ(LiveScheduleModel::rowSubtitle(item), QString());
}

TEST(LiveScheduleText, HeaderDateIsTheLongDateWithoutTheYear)
{
    const QDate date(2026, 12, 6);
    EXPECT_EQ(LiveScheduleModel::headerDate(QLocale(QStringLiteral("en_US")), date),
        QStringLiteral("Sunday, December 6"));
    EXPECT_EQ(LiveScheduleModel::headerDate(QLocale(QStringLiteral("de_DE")), date),
        QStringLiteral("Sonntag, 6. Dezember"));
    EXPECT_EQ(LiveScheduleModel::headerDate(QLocale(QStringLiteral("fr_FR")), date),
        QStringLiteral("dimanche 6 décembre"));
}

} // namespace
} // namespace orvella::test

#include "api/ScheduleData.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvella;

namespace {

ScheduleData parse(const QByteArray &body)
{
    return ScheduleData::parseAPIResponse(body);
}

APIError parseFailure(const QByteArray &body)
{
    try {
        (void)parse(body);
    } catch (const APIError &error) {
        return error;
    }
    ADD_FAILURE() << "no APIError for " << body.toStdString();
    return APIError::unauthorized();
}

qint64 utc(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate).toSecsSinceEpoch();
}

const QByteArray flat = R"({"status":"success","data":{"date":"2026-03-01","programs":[
    {"title":"Morning","start_time":"20:00"},
    {"title":"Talk","start_time":"20:30","duration_minutes":45},
    {"title":"Late","start_time":"21:30","end_time":"22:00","duration_minutes":90,"status":"LIVE"},
    {"title":"Night","start_time":"23:30","end_time":"00:30"},
    {"title":"Bad","start_time":"soon"},
    {"title":"NoStart"}]}})";

TEST(ScheduleAnswer, ShapesOfTheEnvelope)
{
    const QByteArray days
        = R"({"status":"ok","data":{"days":[{"date":"d","items":[{"id":"a","title":"A","starts_at":10}]}]}})";
    EXPECT_EQ(parse("\xEF\xBB\xBF" + days), parse(days));
    EXPECT_EQ(parseFailure("\xEF\xBB\xBF").kind(), APIError::Kind::Empty);
    EXPECT_EQ(parseFailure("").kind(), APIError::Kind::Empty);
    EXPECT_EQ(parseFailure("{oops").kind(), APIError::Kind::Decoding);
    EXPECT_EQ(parseFailure("[1]").kind(), APIError::Kind::Empty);
    EXPECT_EQ(parseFailure(R"({"status":"ok"})").kind(), APIError::Kind::Empty);
    EXPECT_EQ(parseFailure(R"({"status":"ok","data":5})").kind(), APIError::Kind::Empty);

    const APIError failed = parseFailure(R"({"status":"error"})");
    EXPECT_EQ(failed.kind(), APIError::Kind::Http);
    EXPECT_EQ(failed.status(), 0);
    EXPECT_EQ(failed.description(), u"Schedule request failed"_s);
    const APIError withMessage
        = parseFailure(R"({"status":"error","message":"Off air","code":"E1"})");
    EXPECT_EQ(withMessage.message(), u"Off air"_s);
    EXPECT_EQ(withMessage.code(), u"E1"_s);
}

TEST(ScheduleAnswer, DataAsJsonInsideAString)
{
    const QByteArray inner = R"({"days":[{"items":[{"id":"a","title":"A","starts_at":10}]}]})";
    QJsonObject root { { "status", "ok" }, { "data", QString::fromUtf8(inner) } };
    const QByteArray asString = QJsonDocument(root).toJson();
    EXPECT_EQ(parse(asString).toItems().first().title, u"A"_s);
    root["data"] = "not json";
    EXPECT_EQ(parseFailure(QJsonDocument(root).toJson()).kind(), APIError::Kind::Decoding);
    root["data"] = R"({"days":[]})";
    EXPECT_EQ(parseFailure(QJsonDocument(root).toJson()).kind(), APIError::Kind::Empty);
    root["data"] = R"([1])";
    EXPECT_EQ(parseFailure(QJsonDocument(root).toJson()).kind(), APIError::Kind::Decoding);
}

TEST(ScheduleAnswer, FlatRowsInTheScheduleZone)
{
    const auto items = parse(flat).toItems();
    ASSERT_EQ(items.size(), 6); // nothing dropped, nothing sorted
    EXPECT_EQ(items[0].starts_at, utc("2026-03-01T19:00:00Z")); // Africa/Lagos is UTC+1
    EXPECT_EQ(*items[0].ends_at - *items[0].starts_at, 1800);
    EXPECT_EQ(*items[1].ends_at - *items[1].starts_at, 2700);
    EXPECT_EQ(items[2].ends_at, utc("2026-03-01T21:00:00Z")); // end time wins over duration
    EXPECT_EQ(items[2].id, u"prog_2_21:30"_s);
    EXPECT_EQ(items[2].epg_status, u"live"_s);
    EXPECT_EQ(items[2].is_live_event, true);
    EXPECT_EQ(items[0].is_live_event, false);
    EXPECT_EQ(items[2].starts_at_iso, u"21:30"_s);
    // Past midnight: the end lies on the next day.
    EXPECT_EQ(items[3].ends_at, utc("2026-03-01T23:30:00Z"));
    EXPECT_GT(*items[3].ends_at, *items[3].starts_at);
    EXPECT_FALSE(items[4].starts_at);
    EXPECT_FALSE(items[4].ends_at);
    EXPECT_EQ(items[5].id, u"prog_5_"_s);
}

TEST(ScheduleAnswer, ZonesAndMissingDay)
{
    const auto row = [](const char *zone) {
        return ScheduleProgramRow::parseClockToEpochSec(u"2026-03-01"_s, u"20:00"_s,
            zone ? std::optional(QString::fromLatin1(zone)) : std::nullopt);
    };
    EXPECT_EQ(row(nullptr), utc("2026-03-01T19:00:00Z"));
    EXPECT_EQ(row("Europe/London"), utc("2026-03-01T20:00:00Z"));
    EXPECT_EQ(row("America/New_York"), utc("2026-03-02T01:00:00Z"));
    EXPECT_EQ(row("Not/AZone"), utc("2026-03-01T19:00:00Z"));
    EXPECT_EQ(row(""), utc("2026-03-01T19:00:00Z"));
    EXPECT_FALSE(ScheduleProgramRow::parseClockToEpochSec(u"2026-02-30"_s, u"20:00"_s, {}));
    EXPECT_FALSE(ScheduleProgramRow::parseClockToEpochSec(u"2026-03-01"_s, u"8pm"_s, {}));

    const auto undated = parse(R"({"data":{"programs":[{"title":"A","start_time":"20:00"},
        {"title":"B","start_time":"21:00","status":"upcoming"}]}})");
    const auto items = undated.toItems();
    EXPECT_FALSE(items[0].starts_at);
    EXPECT_FALSE(items[0].ends_at);
    const auto upcoming = undated.sidebarUpcoming(0);
    ASSERT_EQ(upcoming.size(), 1);
    EXPECT_EQ(upcoming.first().title, u"B"_s);
}

TEST(ScheduleAnswer, MembersOfAnotherKindReadAsAbsent)
{
    // Programs win over days.
    const auto both
        = parse(R"({"data":{"date":"2026-03-01","programs":[{"title":"P","start_time":"10:00"}],
        "days":[{"items":[{"id":"d","title":"D"}]}]}})");
    EXPECT_EQ(both.toItems().size(), 1);
    EXPECT_EQ(both.toItems().first().title, u"P"_s);

    // A text id is kept as it is; any other gets a random identity, new on every parse.
    EXPECT_EQ(
        parse(R"({"data":{"days":[{"items":[{"id":"","title":"A"}]}]}})").toItems().first().id,
        QString());
    const auto rescued = parse(
        R"({"data":{"days":[{"items":[{"id":7,"title":"A","starts_at":"100","is_live_event":1}]}]}})");
    const auto item = rescued.toItems().first();
    EXPECT_EQ(item.id.size(), 36);
    EXPECT_EQ(item.id, item.id.toUpper());
    EXPECT_EQ(item.starts_at, 100);
    EXPECT_EQ(item.is_live_event, true);
    const QByteArray noId = R"({"data":{"days":[{"items":[{"title":"A"}]}]}})";
    EXPECT_NE(parse(noId).toItems().first().id, parse(noId).toItems().first().id);

    // Texts may come as numbers; rows, items and days without what makes an entry are dropped,
    // and so are elements that are no objects.
    const auto loose = parse(R"({"data":{"programs":[{"title":5,"start_time":930},{"minister":"m"},
        3],"timezone":3}})");
    ASSERT_EQ(loose.programs->size(), 1);
    EXPECT_EQ(loose.programs->first().title, u"5"_s);
    EXPECT_EQ(loose.programs->first().start_time, u"930"_s);
    EXPECT_FALSE(loose.timezone);
    const auto wrongKinds = parse(R"({"data":{"days":[{"items":[{"id":"x","title":true,
        "start_time":"09:00","epg_status":4,"status":"LIVE","progress_percent":"40"}]}]}})");
    const ScheduleItem entry = wrongKinds.toItems().first();
    EXPECT_FALSE(entry.title);
    EXPECT_EQ(entry.epg_status, u"live"_s);
    EXPECT_EQ(entry.progress_percent, 40.0);

    EXPECT_EQ(
        parseFailure(R"({"data":{"days":[{"items":[{"id":7}]}]}})").kind(), APIError::Kind::Empty);
    EXPECT_EQ(parseFailure(R"({"data":{"days":[{"items":[]}]}})").kind(), APIError::Kind::Empty);
}

TEST(ScheduleSelections, LiveUpcomingAndNext)
{
    const auto schedule = parse(R"({"data":{"days":[{"items":[
        {"id":"past","title":"Past","epg_status":"past","status":"live","starts_at":5000},
        {"id":"old-upcoming","title":"Old","status":"upcoming","starts_at":10},
        {"id":"live","title":"Live","status":"LIVE","starts_at":900,"ends_at":2000},
        {"id":"flagged","title":"Flagged","is_live_event":true,"starts_at":3000},
        {"id":"soon","title":"  Soon  ","starts_at":1500,"ends_at":1600},
        {"id":"now","title":"Now","starts_at":1000},
        {"id":"ended","title":"Ended","starts_at":1200,"ends_at":1000},
        {"id":"timeless","title":"Timeless"}]}]}})");
    EXPECT_EQ(schedule.sidebarLiveNow()->id, u"live"_s);
    QStringList ids;
    for (const auto &item : schedule.sidebarUpcoming(1000))
        ids.append(item.id);
    EXPECT_EQ(ids, (QStringList { u"old-upcoming"_s, u"soon"_s }));
    EXPECT_EQ(schedule.showingNextTitle(u"F"_s, 1000), u"Old"_s);

    const auto blank
        = parse(R"({"data":{"days":[{"items":[{"id":"a","title":"  ","status":"upcoming"}]}]}})");
    EXPECT_EQ(blank.showingNextTitle(u"  Fallback "_s, 0), u"Fallback"_s);
    EXPECT_EQ(ScheduleData {}.showingNextTitle(u"   "_s, 0), u"\u2014"_s);
    EXPECT_EQ(ScheduleData {}.showingNextTitle(std::nullopt, 0), u"\u2014"_s);
    EXPECT_FALSE(ScheduleData {}.sidebarLiveNow());
}

} // namespace

#pragma once

#include "api/JsonDecoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace orvella {

// One entry of the schedule with epoch times (seconds).
struct ScheduleItem
{
    QString id;
    std::optional<QString> title;
    std::optional<qint64> starts_at;
    std::optional<QString> starts_at_iso;
    std::optional<QString> start_time;
    std::optional<qint64> ends_at;
    std::optional<QString> end_time;
    std::optional<QString> image;
    std::optional<bool> is_live_event;
    std::optional<qint64> duration_minutes;
    std::optional<double> progress_percent;
    std::optional<QString> minister;
    std::optional<QString> epg_status; // lower case

    // Tolerant reading (a member of another kind reads as absent); an entry without a text id
    // gets a new random one.
    static ScheduleItem fromJson(const JsonObjectReader &r);
    // Whether it says anything: a title, a start time or a start. Lists keep only entries.
    [[nodiscard]] bool isEntry() const;
    friend bool operator==(const ScheduleItem &, const ScheduleItem &) = default;
};

struct ScheduleDay
{
    std::optional<QString> date;
    std::optional<QList<ScheduleItem>> items;

    // Tolerant reading; `items` holds the entries, none when there are none.
    static ScheduleDay fromJson(const JsonObjectReader &r);
    friend bool operator==(const ScheduleDay &, const ScheduleDay &) = default;
};

// One row of the flat shape: clock times (HH:mm) of the document's day.
struct ScheduleProgramRow
{
    std::optional<QString> title;
    std::optional<QString> minister;
    std::optional<QString> start_time;
    std::optional<QString> end_time;
    std::optional<qint64> duration_minutes;
    std::optional<QString> status;
    std::optional<double> progress_percent;

    [[nodiscard]] QString id() const;
    // Tolerant reading; texts may come as numbers.
    static ScheduleProgramRow fromJson(const JsonObjectReader &r);
    // Whether it says anything: a title or a start time. Lists keep only entries.
    [[nodiscard]] bool isEntry() const;

    // Epoch seconds of a day and clock time in a zone (default and fallback "Africa/Lagos").
    [[nodiscard]] static std::optional<qint64> parseClockToEpochSec(
        const std::optional<QString> &date, const std::optional<QString> &time,
        const std::optional<QString> &timezoneId);
    // A row ending before it starts ends on the next day (a programme past midnight).
    [[nodiscard]] ScheduleItem toScheduleItem(qsizetype index, const std::optional<QString> &date,
        const std::optional<QString> &timezoneId) const;
    friend bool operator==(const ScheduleProgramRow &, const ScheduleProgramRow &) = default;
};

// The live schedule, from every answer shape of live/schedule.
struct ScheduleData
{
    std::optional<QString> timezone;
    std::optional<QString> date;
    std::optional<QList<ScheduleDay>> days;
    std::optional<QList<ScheduleProgramRow>> programs;

    // Tolerant reading; a list without entries reads as absent.
    static ScheduleData fromJson(const JsonObjectReader &r);

    // Raw answer bytes in; throws APIError (empty, decoding, or http with status 0). An answer
    // that gives no entry is empty.
    [[nodiscard]] static ScheduleData parseAPIResponse(const QByteArray &bytes);

    [[nodiscard]] QList<ScheduleItem> toItems() const;
    [[nodiscard]] std::optional<ScheduleItem> sidebarLiveNow() const;
    [[nodiscard]] QList<ScheduleItem> sidebarUpcoming() const;
    [[nodiscard]] QList<ScheduleItem> sidebarUpcoming(double nowEpochSeconds) const;
    [[nodiscard]] QString showingNextTitle(const std::optional<QString> &fallback) const;
    [[nodiscard]] QString showingNextTitle(
        const std::optional<QString> &fallback, double nowEpochSeconds) const;
    friend bool operator==(const ScheduleData &, const ScheduleData &) = default;
};

} // namespace orvella

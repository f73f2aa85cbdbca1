#include "api/ScheduleData.h"

#include "api/APIEnvelope.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace orvella {

namespace {

constexpr auto defaultZone = "Africa/Lagos";

QString newRandomId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QString> lowerCased(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    return text->toLower();
}

QTimeZone scheduleZone(const std::optional<QString> &timezoneId)
{
    if (timezoneId && !timezoneId->isEmpty()) {
        const QByteArray id = timezoneId->toUtf8();
        if (QTimeZone::isTimeZoneIdAvailable(id))
            return QTimeZone(id);
    }
    return QTimeZone(QByteArray(defaultZone));
}

} // namespace

ScheduleItem ScheduleItem::fromJson(const JsonObjectReader &r)
{
    ScheduleItem item;
    const auto id = r.tolerantString("id"_L1);
    item.id = id ? *id : newRandomId();
    item.title = boundedDisplayText(r.tolerantText("title"_L1));
    item.starts_at = r.flexibleInt("starts_at"_L1);
    item.starts_at_iso = r.tolerantString("starts_at_iso"_L1);
    item.start_time = r.tolerantText("start_time"_L1);
    item.ends_at = r.flexibleInt("ends_at"_L1);
    item.end_time = r.tolerantText("end_time"_L1);
    item.image = r.tolerantString("image"_L1);
    item.is_live_event = r.tolerantBool("is_live_event"_L1);
    item.duration_minutes = r.flexibleInt("duration_minutes"_L1);
    item.progress_percent = r.tolerantNumber("progress_percent"_L1);
    item.minister = boundedDisplayText(r.tolerantText("minister"_L1));
    const auto epg = r.tolerantString("epg_status"_L1);
    item.epg_status = lowerCased(epg ? epg : r.tolerantString("status"_L1));
    return item;
}

bool ScheduleItem::isEntry() const
{
    return title || start_time || starts_at;
}

ScheduleDay ScheduleDay::fromJson(const JsonObjectReader &r)
{
    ScheduleDay day;
    day.date = r.tolerantString("date"_L1);
    QList<ScheduleItem> items = r.tolerantObjects<ScheduleItem>("items"_L1);
    items.removeIf([](const ScheduleItem &item) { return !item.isEntry(); });
    if (!items.isEmpty())
        day.items = std::move(items);
    return day;
}

QString ScheduleProgramRow::id() const
{
    return title.value_or(QString()) + u'-' + start_time.value_or(QString());
}

ScheduleProgramRow ScheduleProgramRow::fromJson(const JsonObjectReader &r)
{
    ScheduleProgramRow row;
    row.title = boundedDisplayText(r.tolerantText("title"_L1));
    row.minister = boundedDisplayText(r.tolerantText("minister"_L1));
    row.start_time = r.tolerantText("start_time"_L1);
    row.end_time = r.tolerantText("end_time"_L1);
    row.duration_minutes = r.flexibleInt("duration_minutes"_L1);
    row.status = r.tolerantText("status"_L1);
    row.progress_percent = r.tolerantNumber("progress_percent"_L1);
    return row;
}

bool ScheduleProgramRow::isEntry() const
{
    return title || start_time;
}

namespace {

struct ClockParts
{
    QDate day;
    QTime time;
};

// "yyyy-MM-dd" and "HH:mm", read like a fixed-format formatter in en_US_POSIX.
std::optional<ClockParts> parseClock(const QString &date, const QString &time)
{
    static const QRegularExpression pattern(
        uR"(^(\d{4})-(\d{1,2})-(\d{1,2}) (\d{1,2}):(\d{1,2})$)"_s);
    const auto match = pattern.match(date + u' ' + time);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate day(
        match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const int hour = match.captured(4).toInt();
    const int minute = match.captured(5).toInt();
    if (!day.isValid() || hour > 23 || minute > 59)
        return std::nullopt;
    return ClockParts { day, QTime(hour, minute) };
}

std::optional<qint64> epochSeconds(QDate day, QTime time, const QTimeZone &zone)
{
    const QDateTime instant(day, time, zone);
    if (!instant.isValid())
        return std::nullopt;
    return instant.toSecsSinceEpoch();
}

} // namespace

std::optional<qint64> ScheduleProgramRow::parseClockToEpochSec(const std::optional<QString> &date,
    const std::optional<QString> &time, const std::optional<QString> &timezoneId)
{
    if (!date || date->isEmpty() || !time || time->isEmpty())
        return std::nullopt;
    const auto parts = parseClock(*date, *time);
    if (!parts)
        return std::nullopt;
    return epochSeconds(parts->day, parts->time, scheduleZone(timezoneId));
}

ScheduleItem ScheduleProgramRow::toScheduleItem(qsizetype index, const std::optional<QString> &date,
    const std::optional<QString> &timezoneId) const
{
    const auto start = parseClockToEpochSec(date, start_time, timezoneId);
    auto end = parseClockToEpochSec(date, end_time, timezoneId);
    if (start && end && *end < *start) {
        // Past midnight: the end time belongs to the next day.
        const auto parts = parseClock(*date, *end_time);
        end = epochSeconds(parts->day.addDays(1), parts->time, scheduleZone(timezoneId));
    }
    ScheduleItem item;
    if (end)
        item.ends_at = end;
    else if (start) {
        // An absurd duration overflows: then there is no end rather than a wrapped one.
        qint64 seconds = 0;
        qint64 ends = 0;
        if (!__builtin_mul_overflow(duration_minutes.value_or(30), qint64(60), &seconds)
            && !__builtin_add_overflow(*start, seconds, &ends))
            item.ends_at = ends;
    }
    item.id = u"prog_"_s + QString::number(index) + u'_' + start_time.value_or(QString());
    item.title = title;
    item.minister = minister;
    item.duration_minutes = duration_minutes;
    item.progress_percent = progress_percent;
    item.starts_at = start;
    item.starts_at_iso = start_time;
    item.start_time = start_time;
    item.end_time = end_time;
    item.epg_status = lowerCased(status);
    item.is_live_event = item.epg_status == u"live"_s;
    return item;
}

ScheduleData ScheduleData::fromJson(const JsonObjectReader &r)
{
    ScheduleData data;
    data.timezone = r.tolerantString("timezone"_L1);
    data.date = r.tolerantString("date"_L1);
    QList<ScheduleProgramRow> rows = r.tolerantObjects<ScheduleProgramRow>("programs"_L1);
    rows.removeIf([](const ScheduleProgramRow &row) { return !row.isEntry(); });
    if (!rows.isEmpty())
        data.programs = std::move(rows);
    QList<ScheduleDay> days = r.tolerantObjects<ScheduleDay>("days"_L1);
    days.removeIf([](const ScheduleDay &day) { return !day.items; });
    if (!days.isEmpty())
        data.days = std::move(days);
    return data;
}

ScheduleData ScheduleData::parseAPIResponse(const QByteArray &bytes)
{
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    if (body.isEmpty())
        throw APIError::empty();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw APIError::decoding(parseError.errorString());
    if (!document.isObject())
        throw APIError::empty();
    const QJsonObject root = document.object();
    if (root.value("status"_L1) == u"error"_s) {
        const QJsonValue message = root.value("message"_L1);
        const QJsonValue code = root.value("code"_L1);
        throw APIError::http(0,
            message.isString() ? message.toString() : u"Schedule request failed"_s,
            code.isString() ? std::optional(code.toString()) : std::nullopt);
    }
    // The payload is an object, or the JSON text of one.
    QJsonObject payload;
    const QJsonValue data = root.value("data"_L1);
    if (data.isObject()) {
        payload = data.toObject();
    } else if (data.isString()) {
        QJsonParseError innerError;
        const QJsonDocument inner = QJsonDocument::fromJson(data.toString().toUtf8(), &innerError);
        if (innerError.error != QJsonParseError::NoError)
            throw APIError::decoding(innerError.errorString());
        if (!inner.isObject())
            throw APIError::decoding(u"data is not an object"_s);
        payload = inner.object();
    } else {
        throw APIError::empty();
    }
    const JsonPath path = JsonPath {}.member("data"_L1);
    ScheduleData schedule = fromJson(JsonObjectReader(payload, path));
    if (schedule.toItems().isEmpty())
        throw APIError::empty();
    return schedule;
}

QList<ScheduleItem> ScheduleData::toItems() const
{
    QList<ScheduleItem> items;
    if (programs && !programs->isEmpty()) {
        items.reserve(programs->size());
        for (qsizetype i = 0; i < programs->size(); ++i)
            items.append(programs->at(i).toScheduleItem(i, date, timezone));
        return items;
    }
    if (days) {
        for (const ScheduleDay &day : *days) {
            if (day.items)
                items.append(*day.items);
        }
    }
    return items;
}

std::optional<ScheduleItem> ScheduleData::sidebarLiveNow() const
{
    for (const ScheduleItem &item : toItems()) {
        if (item.is_live_event.value_or(false) || lowerCased(item.epg_status) == u"live"_s)
            return item;
    }
    return std::nullopt;
}

QList<ScheduleItem> ScheduleData::sidebarUpcoming() const
{
    return sidebarUpcoming(static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
}

QList<ScheduleItem> ScheduleData::sidebarUpcoming(double now) const
{
    const auto live = sidebarLiveNow();
    QList<ScheduleItem> upcoming;
    for (const ScheduleItem &item : toItems()) {
        const QString status = item.epg_status.value_or(QString()).toLower();
        if (status == u"past"_s)
            continue;
        if (status == u"upcoming"_s) {
            upcoming.append(item);
            continue;
        }
        if (item.is_live_event.value_or(false) || (live && live->id == item.id))
            continue;
        if (item.starts_at && now < static_cast<double>(*item.starts_at)
            && (!item.ends_at || now < static_cast<double>(*item.ends_at))) {
            upcoming.append(item);
        }
    }
    return upcoming;
}

QString ScheduleData::showingNextTitle(const std::optional<QString> &fallback) const
{
    return showingNextTitle(
        fallback, static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0);
}

QString ScheduleData::showingNextTitle(const std::optional<QString> &fallback, double now) const
{
    const auto upcoming = sidebarUpcoming(now);
    if (!upcoming.isEmpty()) {
        const QString title = upcoming.first().title.value_or(QString()).trimmed();
        if (!title.isEmpty())
            return title;
    }
    if (fallback && !fallback->trimmed().isEmpty())
        return fallback->trimmed();
    return u"\u2014"_s;
}

} // namespace orvella

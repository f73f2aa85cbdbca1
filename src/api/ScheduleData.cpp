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

// Loose readings of plain JSON values. A boolean reads as absent in both.
std::optional<QString> looseText(const QJsonValue &value)
{
    if (value.isString()) {
        QString text = value.toString();
        if (text.isEmpty())
            return std::nullopt;
        return text;
    }
    if (value.isDouble()) {
        if (const auto whole = jsonWholeNumber(value))
            return QString::number(*whole);
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    }
    return std::nullopt;
}

std::optional<qint64> looseInteger(const QJsonValue &value)
{
    if (value.isDouble())
        return jsonTruncatedNumber(value);
    if (value.isString())
        return parseStrictInteger(value.toString());
    return std::nullopt;
}

std::optional<double> looseNumber(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (const auto integer = looseInteger(value))
        return static_cast<double>(*integer);
    return std::nullopt;
}

std::optional<QString> textOnly(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    return std::nullopt;
}

std::optional<QString> lowerCased(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    return text->toLower();
}

bool isListOfObjects(const QJsonValue &value)
{
    if (!value.isArray())
        return false;
    const QJsonArray array = value.toArray();
    if (array.isEmpty())
        return false;
    for (const QJsonValue element : array) {
        if (!element.isObject())
            return false;
    }
    return true;
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
    const auto id = r.string("id"_L1);
    item.id = id ? *id : newRandomId();
    item.title = r.displayText("title"_L1);
    item.starts_at = r.flexibleInt("starts_at"_L1);
    item.starts_at_iso = r.string("starts_at_iso"_L1);
    item.start_time = r.flexibleString("start_time"_L1);
    item.ends_at = r.flexibleInt("ends_at"_L1);
    item.end_time = r.flexibleString("end_time"_L1);
    item.image = r.string("image"_L1);
    item.is_live_event = r.boolean("is_live_event"_L1);
    item.duration_minutes = r.integer("duration_minutes"_L1);
    item.progress_percent = r.number("progress_percent"_L1);
    item.minister = r.displayText("minister"_L1);
    item.epg_status
        = lowerCased(r.has("epg_status"_L1) ? r.string("epg_status"_L1) : r.string("status"_L1));
    return item;
}

std::optional<ScheduleItem> ScheduleItem::fromDictionary(const QJsonObject &object)
{
    const auto member = [&object](QLatin1StringView key) { return object.value(key); };
    ScheduleItem item;
    const QJsonValue id = member("id"_L1);
    item.id = id.isString() && !id.toString().isEmpty() ? id.toString() : newRandomId();
    item.title = boundedDisplayText(textOnly(member("title"_L1)));
    item.starts_at_iso = textOnly(member("starts_at_iso"_L1));
    item.start_time = textOnly(member("start_time"_L1));
    item.end_time = textOnly(member("end_time"_L1));
    item.image = textOnly(member("image"_L1));
    item.minister = boundedDisplayText(textOnly(member("minister"_L1)));
    item.starts_at = looseInteger(member("starts_at"_L1));
    item.ends_at = looseInteger(member("ends_at"_L1));
    item.duration_minutes = looseInteger(member("duration_minutes"_L1));
    const QJsonValue live = member("is_live_event"_L1);
    if (live.isBool())
        item.is_live_event = live.toBool();
    else if (const auto whole = jsonWholeNumber(live))
        item.is_live_event = *whole != 0;
    item.progress_percent = looseNumber(member("progress_percent"_L1));
    const QJsonValue epg = member("epg_status"_L1);
    item.epg_status = lowerCased(epg.isString() ? epg.toString() : textOnly(member("status"_L1)));
    if (!item.title && !item.start_time && !item.starts_at)
        return std::nullopt;
    return item;
}

ScheduleDay ScheduleDay::fromJson(const JsonObjectReader &r)
{
    return ScheduleDay { r.string("date"_L1), r.list<ScheduleItem>("items"_L1) };
}

QString ScheduleProgramRow::id() const
{
    return title.value_or(QString()) + u'-' + start_time.value_or(QString());
}

ScheduleProgramRow ScheduleProgramRow::fromJson(const JsonObjectReader &r)
{
    const auto clock = [&r](QLatin1StringView key) -> std::optional<QString> {
        const QCborValue value = r.get(key);
        if (value.isString())
            return value.toString();
        if (const auto whole = jsonWholeNumber(value))
            return QString::number(*whole);
        return std::nullopt;
    };
    ScheduleProgramRow row;
    row.title = r.displayText("title"_L1);
    row.minister = r.displayText("minister"_L1);
    row.start_time = clock("start_time"_L1);
    row.end_time = clock("end_time"_L1);
    row.duration_minutes = r.tolerantInteger("duration_minutes"_L1);
    row.status = r.string("status"_L1);
    const QCborValue progress = r.get("progress_percent"_L1);
    if (isJsonNumber(progress))
        row.progress_percent = progress.toDouble();
    return row;
}

std::optional<ScheduleProgramRow> ScheduleProgramRow::fromDictionary(const QJsonObject &object)
{
    ScheduleProgramRow row;
    row.title = boundedDisplayText(looseText(object.value("title"_L1)));
    row.minister = boundedDisplayText(looseText(object.value("minister"_L1)));
    row.start_time = looseText(object.value("start_time"_L1));
    row.end_time = looseText(object.value("end_time"_L1));
    row.status = looseText(object.value("status"_L1));
    row.duration_minutes = looseInteger(object.value("duration_minutes"_L1));
    row.progress_percent = looseNumber(object.value("progress_percent"_L1));
    if (!row.title && !row.start_time)
        return std::nullopt;
    return row;
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
    data.timezone = r.string("timezone"_L1);
    data.date = r.string("date"_L1);
    data.days = r.list<ScheduleDay>("days"_L1);
    data.programs = r.list<ScheduleProgramRow>("programs"_L1);
    return data;
}

ScheduleData ScheduleData::parsePayload(const QJsonObject &payload)
{
    ScheduleData data;
    data.timezone = textOnly(payload.value("timezone"_L1));
    data.date = textOnly(payload.value("date"_L1));
    const QJsonValue programs = payload.value("programs"_L1);
    if (isListOfObjects(programs)) {
        QList<ScheduleProgramRow> rows;
        for (const QJsonValue element : programs.toArray()) {
            if (auto row = ScheduleProgramRow::fromDictionary(element.toObject()))
                rows.append(std::move(*row));
        }
        if (!rows.isEmpty()) {
            data.programs = std::move(rows);
            return data;
        }
    }
    const QJsonValue days = payload.value("days"_L1);
    if (isListOfObjects(days)) {
        QList<ScheduleDay> result;
        for (const QJsonValue element : days.toArray()) {
            const QJsonObject dayObject = element.toObject();
            ScheduleDay day;
            day.date = textOnly(dayObject.value("date"_L1));
            QList<ScheduleItem> items;
            const QJsonValue itemList = dayObject.value("items"_L1);
            if (isListOfObjects(itemList)) {
                for (const QJsonValue item : itemList.toArray()) {
                    if (auto entry = ScheduleItem::fromDictionary(item.toObject()))
                        items.append(std::move(*entry));
                }
            }
            if (items.isEmpty())
                continue;
            day.items = std::move(items);
            result.append(std::move(day));
        }
        if (!result.isEmpty()) {
            data.days = std::move(result);
            return data;
        }
    }
    throw APIError::empty();
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
    const QJsonValue data = root.value("data"_L1);
    if (data.isObject()) {
        const QJsonObject payload = data.toObject();
        try {
            ScheduleData typed = decodeModel<ScheduleData>(payload, JsonPath {}.member("data"_L1));
            if (!typed.toItems().isEmpty())
                return typed;
        } catch (const DecodingError &typedError) {
            try {
                return parsePayload(payload);
            } catch (const APIError &) {
                throw APIError::decoding(typedError);
            }
        }
        return parsePayload(payload);
    }
    if (data.isString()) {
        QJsonParseError innerError;
        const QJsonDocument inner = QJsonDocument::fromJson(data.toString().toUtf8(), &innerError);
        if (innerError.error != QJsonParseError::NoError)
            throw APIError::decoding(innerError.errorString());
        ScheduleData typed;
        try {
            typed = decodeModel<ScheduleData>(
                inner.isObject() ? QJsonValue(inner.object()) : QJsonValue(inner.array()),
                JsonPath {}.member("data"_L1));
        } catch (const DecodingError &typedError) {
            throw APIError::decoding(typedError);
        }
        if (typed.toItems().isEmpty())
            throw APIError::empty();
        return typed;
    }
    throw APIError::empty();
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

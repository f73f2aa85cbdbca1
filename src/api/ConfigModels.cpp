#include "api/ConfigModels.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace orvella {

ConfigUrls ConfigUrls::fromJson(const JsonObjectReader &r)
{
    ConfigUrls urls;
    urls.activate = r.string("activate"_L1);
    urls.give = r.string("give"_L1);
    urls.testimony = r.string("testimony"_L1);
    urls.privacy = r.string("privacy"_L1);
    urls.terms = r.string("terms"_L1);
    urls.herald = r.string("herald"_L1);
    return urls;
}

FeatureFlags FeatureFlags::fromJson(const JsonObjectReader &r)
{
    FeatureFlags flags;
    flags.device_pairing = r.boolean("device_pairing"_L1);
    flags.continue_watching = r.boolean("continue_watching"_L1);
    flags.qr_engagement = r.boolean("qr_engagement"_L1);
    flags.search = r.boolean("search"_L1);
    return flags;
}

LanguageOption LanguageOption::fromJson(const JsonObjectReader &r)
{
    return LanguageOption { r.requiredString("code"_L1),
        boundedDisplayText(r.requiredString("label"_L1)) };
}

ConfigEvent ConfigEvent::fromJson(const JsonObjectReader &r)
{
    ConfigEvent event;
    event.active = r.flexibleBool("active"_L1);
    event.title = r.displayText("title"_L1);
    event.starts_at = r.flexibleInt("starts_at"_L1);
    event.banner = r.string("banner"_L1);
    return event;
}

ConfigEventListItem ConfigEventListItem::fromJson(const JsonObjectReader &r)
{
    ConfigEventListItem item;
    item.id = r.string("id"_L1);
    item.active = r.flexibleBool("active"_L1);
    item.title = r.displayText("title"_L1);
    item.subtitle = r.displayText("subtitle"_L1);
    item.starts_at = r.flexibleInt("starts_at"_L1);
    item.banner = r.string("banner"_L1);
    item.badge = r.displayText("badge"_L1);
    item.cta = r.displayText("cta"_L1);
    return item;
}

qint64 configEpochMilliseconds(qint64 startsAt)
{
    constexpr qint64 millisecondsFrom = 10'000'000'000;
    if (startsAt >= millisecondsFrom)
        return startsAt;
    qint64 milliseconds = 0;
    if (__builtin_mul_overflow(startsAt, qint64(1000), &milliseconds))
        return std::numeric_limits<qint64>::min();
    return milliseconds;
}

std::optional<CountdownEventItem> ConfigEventListItem::toCountdown(
    const std::optional<QString> &homeSubtitle) const
{
    if (!title || title->isEmpty())
        return std::nullopt;
    if (!starts_at || *starts_at < 1)
        return std::nullopt;
    CountdownEventItem item;
    item.title = *title;
    item.startsAtEpochMs = configEpochMilliseconds(*starts_at);
    if (subtitle && !subtitle->isEmpty())
        item.subtitle = *subtitle;
    else if (homeSubtitle && !homeSubtitle->trimmed().isEmpty())
        item.subtitle = *homeSubtitle;
    else
        item.subtitle = u"Live from Orvella"_s;
    item.id = id ? *id : u"event_"_s + QString::number(*starts_at);
    item.badge = badge && !badge->isEmpty() ? *badge : u"LIVE EVENT"_s;
    item.cta = cta && !cta->isEmpty() ? *cta : u"Watch Live"_s;
    return item;
}

TvConfig TvConfig::fromJson(const JsonObjectReader &r)
{
    TvConfig config;
    const QCborValue versions = r.get("min_app_version"_L1);
    if (!versions.isUndefined()) {
        if (!versions.isMap())
            r.fail("min_app_version"_L1, u"is not an object"_s);
        const QCborMap map = versions.toMap();
        const JsonPath mapPath = r.path().member("min_app_version"_L1);
        QMap<QString, QString> result;
        for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
            const QString key = it.key().toString();
            if (!it.value().isString())
                throwDecodingError(mapPath.member(key), u"is not a text"_s);
            result.insert(key, it.value().toString());
        }
        config.min_app_version = result;
    }
    config.force_update_message = r.displayText("force_update_message"_L1);
    config.live_languages = r.list<LanguageOption>("live_languages"_L1);
    config.features = r.model<FeatureFlags>("features"_L1);
    config.urls = r.model<ConfigUrls>("urls"_L1);
    config.image_base = r.string("image_base"_L1);
    config.event = r.model<ConfigEvent>("event"_L1);
    config.events = r.list<ConfigEventListItem>("events"_L1);
    return config;
}

} // namespace orvella

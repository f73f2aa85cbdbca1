#pragma once

#include "api/JsonDecoding.h"

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace orvella {

// Web links of the configuration document.
struct ConfigUrls
{
    std::optional<QString> activate;
    std::optional<QString> give;
    std::optional<QString> testimony;
    std::optional<QString> privacy;
    std::optional<QString> terms;
    std::optional<QString> herald;

    static ConfigUrls fromJson(const JsonObjectReader &r);
    friend bool operator==(const ConfigUrls &, const ConfigUrls &) = default;
};

// Feature switches: strict JSON booleans.
struct FeatureFlags
{
    std::optional<bool> device_pairing;
    std::optional<bool> continue_watching;
    std::optional<bool> qr_engagement;
    std::optional<bool> search;

    static FeatureFlags fromJson(const JsonObjectReader &r);
    friend bool operator==(const FeatureFlags &, const FeatureFlags &) = default;
};

// A language of the live stream; identified by code.
struct LanguageOption
{
    QString code;
    QString label;

    [[nodiscard]] const QString &id() const { return code; }
    static LanguageOption fromJson(const JsonObjectReader &r);
    friend bool operator==(const LanguageOption &, const LanguageOption &) = default;
};

// The single highlighted event.
struct ConfigEvent
{
    std::optional<bool> active;
    std::optional<QString> title;
    std::optional<qint64> starts_at;
    std::optional<QString> banner;

    static ConfigEvent fromJson(const JsonObjectReader &r);
    friend bool operator==(const ConfigEvent &, const ConfigEvent &) = default;
};

// One entry of the countdown list, made from a published event.
struct CountdownEventItem
{
    QString id;
    QString title;
    QString subtitle;
    qint64 startsAtEpochMs = 0;
    QString badge;
    QString cta;

    friend bool operator==(const CountdownEventItem &, const CountdownEventItem &) = default;
};

// One published event.
struct ConfigEventListItem
{
    std::optional<QString> id;
    std::optional<bool> active;
    std::optional<QString> title;
    std::optional<QString> subtitle;
    std::optional<qint64> starts_at; // seconds or milliseconds since 1970
    std::optional<QString> banner;
    std::optional<QString> badge;
    std::optional<QString> cta;

    static ConfigEventListItem fromJson(const JsonObjectReader &r);
    // The countdown entry, or none for an entry without title or usable start.
    [[nodiscard]] std::optional<CountdownEventItem> toCountdown(
        const std::optional<QString> &homeSubtitle) const;
    friend bool operator==(const ConfigEventListItem &, const ConfigEventListItem &) = default;
};

// A start time below 10^10 is in seconds, else already in milliseconds.
[[nodiscard]] qint64 configEpochMilliseconds(qint64 startsAt);

// The configuration document (payload of tv/config).
struct TvConfig
{
    std::optional<QMap<QString, QString>> min_app_version;
    std::optional<QString> force_update_message;
    std::optional<QList<LanguageOption>> live_languages;
    std::optional<FeatureFlags> features;
    std::optional<ConfigUrls> urls;
    std::optional<QString> image_base;
    std::optional<ConfigEvent> event;
    std::optional<QList<ConfigEventListItem>> events;

    static TvConfig fromJson(const JsonObjectReader &r);
    friend bool operator==(const TvConfig &, const TvConfig &) = default;
};

} // namespace orvella

#pragma once

#include "api/FlexibleID.h"
#include "api/JsonDecoding.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <optional>

namespace orvella {

// Where a hero or rail item leads.
struct NavAction
{
    std::optional<QString> type;
    std::optional<QString> id;
    std::optional<QString> lang;

    static NavAction fromJson(const JsonObjectReader &r);
    friend bool operator==(const NavAction &, const NavAction &) = default;
};

struct HomeHero
{
    std::optional<QString> type;
    std::optional<QString> title;
    std::optional<QString> subtitle;
    std::optional<QString> image;
    std::optional<NavAction> action;

    static HomeHero fromJson(const JsonObjectReader &r);
    friend bool operator==(const HomeHero &, const HomeHero &) = default;
};

struct RailItem
{
    QString id;
    std::optional<QString> title;
    std::optional<QString> image;
    std::optional<QString> badge;
    std::optional<qint64> episode_count;
    std::optional<QString> program_title;
    std::optional<QString> minister;
    std::optional<qint64> duration;
    std::optional<qint64> published_at;
    std::optional<qint64> position;
    std::optional<double> progress_pct;
    std::optional<NavAction> action;

    static RailItem fromJson(const JsonObjectReader &r);
    friend bool operator==(const RailItem &, const RailItem &) = default;
};

struct HomeRail
{
    QString id;
    std::optional<QString> title;
    std::optional<QString> type;
    std::optional<QList<RailItem>> items;

    static HomeRail fromJson(const JsonObjectReader &r);
    friend bool operator==(const HomeRail &, const HomeRail &) = default;
};

// Payload of tv/home.
struct HomeData
{
    std::optional<HomeHero> hero;
    std::optional<QList<HomeRail>> rails;

    static HomeData fromJson(const JsonObjectReader &r);
    friend bool operator==(const HomeData &, const HomeData &) = default;
};

// Payload of live/stream.
struct LiveStreamData
{
    std::optional<QString> lang;
    std::optional<QString> title;
    std::optional<QString> status;
    std::optional<bool> is_live;
    std::optional<QString> hls_url;
    std::optional<QString> stream_url;
    std::optional<QString> poster;
    std::optional<QString> viewers_label;
    std::optional<QString> minister;
    std::optional<QString> languages_url;

    // The address to play: the HLS one when given (an unusable one does not fall back to the
    // other), else the stream one; none when neither makes a URL.
    [[nodiscard]] std::optional<QUrl> playableURL() const;
    // `is_live` when given, else whether the status is "live" (any case).
    [[nodiscard]] bool isLiveNow() const;

    static LiveStreamData fromJson(const JsonObjectReader &r);
    friend bool operator==(const LiveStreamData &, const LiveStreamData &) = default;
};

struct ProgramSummary
{
    FlexibleID id;
    std::optional<QString> title;
    std::optional<QString> name;
    std::optional<QString> slug;
    std::optional<QString> description;
    std::optional<QString> image;
    std::optional<QString> banner;
    std::optional<qint64> episode_count;
    std::optional<qint64> updated_at;
    std::optional<bool> is_documentary;

    // title, else name, else "Program"; the product's crusade titles read "Orvella Livestream".
    [[nodiscard]] QString displayTitle() const;
    // The banner, else the image; empty without either.
    [[nodiscard]] QString bannerPicture() const
    {
        return banner ? *banner : image.value_or(QString());
    }
    static ProgramSummary fromJson(const JsonObjectReader &r);
    friend bool operator==(const ProgramSummary &, const ProgramSummary &) = default;
};

struct EpisodeSummary
{
    FlexibleID id;
    std::optional<QString> title;
    std::optional<QString> name;
    std::optional<QString> image;
    std::optional<qint64> duration;
    std::optional<qint64> published_at;
    std::optional<QString> program_title;

    static EpisodeSummary fromJson(const JsonObjectReader &r);
    friend bool operator==(const EpisodeSummary &, const EpisodeSummary &) = default;
};

// The programme an episode belongs to.
struct ProgramRef
{
    std::optional<FlexibleID> id;
    std::optional<QString> title;
    std::optional<QString> name;
    std::optional<QString> slug;

    static ProgramRef fromJson(const JsonObjectReader &r);
    friend bool operator==(const ProgramRef &, const ProgramRef &) = default;
};

struct SubtitleTrack
{
    QString lang;
    std::optional<QString> label;
    QString url;

    [[nodiscard]] QString id() const { return lang + u'-' + url; }
    static SubtitleTrack fromJson(const JsonObjectReader &r);
    friend bool operator==(const SubtitleTrack &, const SubtitleTrack &) = default;
};

struct EpisodeDetail
{
    FlexibleID id;
    std::optional<QString> title;
    std::optional<QString> name;
    std::optional<QString> slug;
    std::optional<QString> description;
    std::optional<ProgramRef> program;
    std::optional<QString> image;
    std::optional<qint64> duration;
    std::optional<qint64> published_at;
    std::optional<QString> hls_url;
    std::optional<QString> stream_url;
    std::optional<QString> video_url;
    std::optional<QList<SubtitleTrack>> subtitles;
    std::optional<QList<EpisodeSummary>> related;

    // The first usable address of hls_url, stream_url, video_url.
    [[nodiscard]] std::optional<QUrl> playbackURL() const;
    static EpisodeDetail fromJson(const JsonObjectReader &r);
    friend bool operator==(const EpisodeDetail &, const EpisodeDetail &) = default;
};

// One answer shape of the episode endpoint.
struct EpisodeDetailPayload
{
    std::optional<EpisodeDetail> episode;

    static EpisodeDetailPayload fromJson(const JsonObjectReader &r);
};

// Answer of the programme endpoint, which sends the programme nested or inline.
struct ProgramDetailPayload
{
    std::optional<ProgramSummary> program;
    std::optional<QList<EpisodeSummary>> episodes;
    std::optional<FlexibleID> id;
    std::optional<QString> title;
    std::optional<QString> name;
    std::optional<QString> slug;
    std::optional<QString> description;
    std::optional<QString> image;
    std::optional<QString> banner;
    std::optional<qint64> episode_count;

    // The inline fields as a programme, or none without an id.
    [[nodiscard]] std::optional<ProgramSummary> asSummary() const;
    static ProgramDetailPayload fromJson(const JsonObjectReader &r);
    // Everything but the episodes, which are tolerant as a whole and so never fail the
    // payload: the programme endpoint reads them element by element instead.
    static ProgramDetailPayload withoutEpisodes(const JsonObjectReader &r);
};

struct SearchResult
{
    QString kind;
    FlexibleID idValue;
    std::optional<QString> title;
    std::optional<QString> image;
    std::optional<QString> program_title;
    std::optional<qint64> duration;

    // Kind and identifier together, so an episode and a programme with one number stay apart.
    [[nodiscard]] QString id() const { return kind + u'-' + idValue.stringValue; }
    static SearchResult fromJson(const JsonObjectReader &r);
    friend bool operator==(const SearchResult &, const SearchResult &) = default;
};

// Payload of episodes/search.
struct SearchData
{
    std::optional<QList<SearchResult>> results;

    static SearchData fromJson(const JsonObjectReader &r);
};

struct ContinueWatchingItem
{
    QString episode_id;
    std::optional<QString> title;
    std::optional<QString> program_title;
    std::optional<QString> image;
    std::optional<qint64> duration;
    std::optional<qint64> position;
    std::optional<double> progress_pct;
    std::optional<qint64> updated_at;

    [[nodiscard]] const QString &id() const { return episode_id; }
    static ContinueWatchingItem fromJson(const JsonObjectReader &r);
    friend bool operator==(const ContinueWatchingItem &, const ContinueWatchingItem &) = default;
};

} // namespace orvella

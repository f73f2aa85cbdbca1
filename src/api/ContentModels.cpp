#include "api/ContentModels.h"

#include "api/MediaURL.h"

#include <QLocale>

using namespace Qt::StringLiterals;

namespace orvella {

NavAction NavAction::fromJson(const JsonObjectReader &r)
{
    return NavAction { r.string("type"_L1), r.string("id"_L1), r.string("lang"_L1) };
}

HomeHero HomeHero::fromJson(const JsonObjectReader &r)
{
    HomeHero hero;
    hero.type = r.string("type"_L1);
    hero.title = r.string("title"_L1);
    hero.subtitle = r.string("subtitle"_L1);
    hero.image = r.string("image"_L1);
    hero.action = r.model<NavAction>("action"_L1);
    return hero;
}

RailItem RailItem::fromJson(const JsonObjectReader &r)
{
    RailItem item;
    item.id = r.requiredString("id"_L1);
    item.title = r.string("title"_L1);
    item.image = r.string("image"_L1);
    item.badge = r.string("badge"_L1);
    item.episode_count = r.integer("episode_count"_L1);
    item.program_title = r.string("program_title"_L1);
    item.minister = r.string("minister"_L1);
    item.duration = r.integer("duration"_L1);
    item.published_at = r.integer("published_at"_L1);
    item.position = r.integer("position"_L1);
    item.progress_pct = r.number("progress_pct"_L1);
    item.action = r.model<NavAction>("action"_L1);
    return item;
}

HomeRail HomeRail::fromJson(const JsonObjectReader &r)
{
    HomeRail rail;
    rail.id = r.requiredString("id"_L1);
    rail.title = r.string("title"_L1);
    rail.type = r.string("type"_L1);
    rail.items = r.list<RailItem>("items"_L1);
    return rail;
}

HomeData HomeData::fromJson(const JsonObjectReader &r)
{
    return HomeData { r.model<HomeHero>("hero"_L1), r.list<HomeRail>("rails"_L1) };
}

std::optional<QUrl> LiveStreamData::playableURL() const
{
    return MediaURL::make(hls_url ? hls_url : stream_url);
}

bool LiveStreamData::isLiveNow() const
{
    return is_live.value_or(status.value_or(QString()).toLower() == u"live");
}

LiveStreamData LiveStreamData::fromJson(const JsonObjectReader &r)
{
    LiveStreamData stream;
    stream.lang = r.string("lang"_L1);
    stream.title = r.displayText("title"_L1);
    stream.status = r.displayText("status"_L1);
    stream.is_live = r.boolean("is_live"_L1);
    stream.hls_url = r.string("hls_url"_L1);
    stream.stream_url = r.string("stream_url"_L1);
    stream.poster = r.string("poster"_L1);
    stream.viewers_label = r.displayText("viewers_label"_L1);
    stream.minister = r.displayText("minister"_L1);
    stream.languages_url = r.string("languages_url"_L1);
    return stream;
}

QString ProgramSummary::displayTitle() const
{
    const QString text = title ? *title : name ? *name : u"Program"_s;
    // Case-insensitive under the current locale.
    const QLocale locale;
    const QString lower = locale.toLower(text);
    if (lower.contains(locale.toLower(u"orvella"_s))
        && lower.contains(locale.toLower(u"crusade"_s)))
        return u"Orvella Livestream"_s;
    return text;
}

ProgramSummary ProgramSummary::fromJson(const JsonObjectReader &r)
{
    ProgramSummary program;
    program.id = r.requiredId("id"_L1);
    program.title = r.string("title"_L1);
    program.name = r.string("name"_L1);
    program.slug = r.string("slug"_L1);
    program.description = r.string("description"_L1);
    program.image = r.string("image"_L1);
    program.banner = r.string("banner"_L1);
    program.episode_count = r.flexibleInt("episode_count"_L1);
    program.updated_at = r.flexibleInt("updated_at"_L1);
    program.is_documentary = r.flexibleBool("is_documentary"_L1);
    return program;
}

EpisodeSummary EpisodeSummary::fromJson(const JsonObjectReader &r)
{
    EpisodeSummary episode;
    episode.id = r.requiredId("id"_L1);
    episode.title = r.string("title"_L1);
    episode.name = r.string("name"_L1);
    episode.image = r.string("image"_L1);
    episode.duration = r.flexibleInt("duration"_L1);
    episode.published_at = r.flexibleInt("published_at"_L1);
    episode.program_title = r.string("program_title"_L1);
    return episode;
}

ProgramRef ProgramRef::fromJson(const JsonObjectReader &r)
{
    return ProgramRef { r.id("id"_L1), r.string("title"_L1), r.string("name"_L1),
        r.string("slug"_L1) };
}

SubtitleTrack SubtitleTrack::fromJson(const JsonObjectReader &r)
{
    SubtitleTrack track;
    track.lang = r.requiredString("lang"_L1);
    track.label = r.string("label"_L1);
    track.url = r.requiredString("url"_L1);
    return track;
}

std::optional<QUrl> EpisodeDetail::playbackURL() const
{
    for (const auto *candidate : { &hls_url, &stream_url, &video_url }) {
        if (auto url = MediaURL::make(*candidate))
            return url;
    }
    return std::nullopt;
}

EpisodeDetail EpisodeDetail::fromJson(const JsonObjectReader &r)
{
    EpisodeDetail episode;
    episode.id = r.requiredId("id"_L1);
    episode.title = r.string("title"_L1);
    episode.name = r.string("name"_L1);
    episode.slug = r.string("slug"_L1);
    episode.description = r.string("description"_L1);
    episode.program = r.model<ProgramRef>("program"_L1);
    episode.image = r.string("image"_L1);
    episode.duration = r.tolerantInteger("duration"_L1);
    episode.published_at = r.tolerantInteger("published_at"_L1);
    episode.hls_url = r.string("hls_url"_L1);
    episode.stream_url = r.string("stream_url"_L1);
    episode.video_url = r.string("video_url"_L1);
    episode.subtitles = r.tolerantList<SubtitleTrack>("subtitles"_L1);
    episode.related = r.tolerantList<EpisodeSummary>("related"_L1);
    return episode;
}

EpisodeDetailPayload EpisodeDetailPayload::fromJson(const JsonObjectReader &r)
{
    return EpisodeDetailPayload { r.model<EpisodeDetail>("episode"_L1) };
}

std::optional<ProgramSummary> ProgramDetailPayload::asSummary() const
{
    if (!id)
        return std::nullopt;
    ProgramSummary program;
    program.id = *id;
    program.title = title;
    program.name = name;
    program.slug = slug;
    program.description = description;
    program.image = image;
    program.banner = banner;
    program.episode_count = episode_count;
    return program;
}

ProgramDetailPayload ProgramDetailPayload::fromJson(const JsonObjectReader &r)
{
    ProgramDetailPayload payload = withoutEpisodes(r);
    payload.episodes = r.tolerantList<EpisodeSummary>("episodes"_L1);
    return payload;
}

ProgramDetailPayload ProgramDetailPayload::withoutEpisodes(const JsonObjectReader &r)
{
    ProgramDetailPayload payload;
    payload.program = r.tolerantModel<ProgramSummary>("program"_L1);
    try {
        payload.id = r.id("id"_L1);
    } catch (const DecodingError &) {
        payload.id = std::nullopt;
    }
    payload.title = r.string("title"_L1);
    payload.name = r.string("name"_L1);
    payload.slug = r.string("slug"_L1);
    payload.description = r.string("description"_L1);
    payload.image = r.string("image"_L1);
    payload.banner = r.string("banner"_L1);
    payload.episode_count = r.tolerantInteger("episode_count"_L1);
    return payload;
}

SearchResult SearchResult::fromJson(const JsonObjectReader &r)
{
    SearchResult result;
    result.kind = r.requiredString("kind"_L1);
    result.idValue = r.requiredId("id"_L1);
    result.title = r.string("title"_L1);
    result.image = r.string("image"_L1);
    result.program_title = r.string("program_title"_L1);
    result.duration = r.integer("duration"_L1);
    return result;
}

SearchData SearchData::fromJson(const JsonObjectReader &r)
{
    return SearchData { r.list<SearchResult>("results"_L1) };
}

ContinueWatchingItem ContinueWatchingItem::fromJson(const JsonObjectReader &r)
{
    ContinueWatchingItem item;
    item.episode_id = r.requiredString("episode_id"_L1);
    item.title = r.string("title"_L1);
    item.program_title = r.string("program_title"_L1);
    item.image = r.string("image"_L1);
    item.duration = r.integer("duration"_L1);
    item.position = r.integer("position"_L1);
    item.progress_pct = r.number("progress_pct"_L1);
    item.updated_at = r.integer("updated_at"_L1);
    return item;
}

} // namespace orvella

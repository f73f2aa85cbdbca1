#include "api/AnswerDecoding.h"

#include "api/APIError.h"
#include "api/Identity.h"

#include <QLocale>
#include <QSet>

using namespace Qt::StringLiterals;

namespace orvella {

HomeData decodeHomeAnswer(const JSONValue &data)
{
    HomeData home = decodeData<HomeData>(data);
    keepFirst(home.rails, homeRailsKept);
    if (home.rails) {
        for (HomeRail &rail : *home.rails)
            keepFirst(rail.items, homeItemsKept);
    }
    return home;
}

TvConfig decodeConfigAnswer(const JSONValue &data)
{
    TvConfig config = decodeData<TvConfig>(data);
    keepFirst(config.events, configEventsKept);
    return config;
}

QList<ProgramSummary> decodeProgramsAnswer(const JSONValue &data)
{
    return decodeList<ProgramSummary>(data, "programs"_L1, programsKept);
}

ScheduleData decodeScheduleAnswer(const QByteArray &body)
{
    ScheduleData schedule = ScheduleData::parseAPIResponse(body);
    keepFirst(schedule.programs, scheduleEntriesKept);
    if (schedule.days) {
        // The days' entries count together; a day left without any goes.
        qsizetype left = scheduleEntriesKept;
        QList<ScheduleDay> days;
        for (ScheduleDay &day : *schedule.days) {
            if (left == 0)
                break;
            keepFirst(day.items, left);
            left -= day.items ? day.items->size() : 0;
            days.append(std::move(day));
        }
        schedule.days = std::move(days);
    }
    return schedule;
}

ProgramWithEpisodes decodeProgramPage(const JSONValue &data)
{
    if (!data.isObject())
        return {};
    ProgramWithEpisodes result;
    try {
        const JsonPath root;
        const QJsonObject object = data.json().toObject();
        const auto payload = ProgramDetailPayload::withoutEpisodes(
            JsonObjectReader(object, root.member("data"_L1)));
        result.program = payload.program ? payload.program : payload.asSummary();
    } catch (const DecodingError &) {
        try {
            result.program = decodeData<ProgramSummary>(data);
        } catch (const DecodingError &) {
            result.program = std::nullopt;
        }
    }
    result.episodes = decodeEpisodePage(data);
    return result;
}

QList<EpisodeSummary> decodeEpisodePage(const JSONValue &data)
{
    if (!data.isObject() || !data.json().toObject().value("episodes"_L1).isArray())
        return {};
    return decodeList<EpisodeSummary>(data, "episodes"_L1, episodePageKept);
}

QList<EpisodeSummary> mergeEpisodePages(
    QList<EpisodeSummary> first, const QList<QList<EpisodeSummary>> &pages)
{
    keepFirst(first, programEpisodesKept);
    QSet<QString> known;
    for (const EpisodeSummary &episode : std::as_const(first))
        known.insert(episode.id.stringValue);
    for (const auto &page : pages) {
        for (const EpisodeSummary &episode : page) {
            if (first.size() >= programEpisodesKept)
                return first;
            if (known.contains(episode.id.stringValue))
                continue;
            known.insert(episode.id.stringValue);
            first.append(episode);
        }
    }
    return first;
}

namespace {

EpisodeDetail decodeEpisodeShape(const JSONValue &data)
{
    if (!data.isObject())
        throw APIError::empty();
    if (data.json().toObject().value("episode"_L1).isObject()) {
        auto payload = decodeData<EpisodeDetailPayload>(data);
        if (payload.episode)
            return std::move(*payload.episode);
    }
    return decodeData<EpisodeDetail>(data);
}

} // namespace

EpisodeDetail decodeEpisodeAnswer(const JSONValue &data)
{
    EpisodeDetail episode = decodeEpisodeShape(data);
    keepFirst(episode.related, relatedEpisodesKept);
    return episode;
}

namespace {

struct ProfileWrapper
{
    UserProfile user;
    static ProfileWrapper fromJson(const JsonObjectReader &r)
    {
        const auto user = r.model<UserProfile>("user"_L1);
        if (!user)
            r.fail("user"_L1, u"is missing"_s);
        return ProfileWrapper { *user };
    }
};

struct ContinueWatchingWrapper
{
    std::optional<QList<ContinueWatchingItem>> items;
    static ContinueWatchingWrapper fromJson(const JsonObjectReader &r)
    {
        return ContinueWatchingWrapper { r.list<ContinueWatchingItem>("items"_L1) };
    }
};

[[noreturn]] void throwNotAContainer()
{
    throw DecodingError(u"The member \u201cdata\u201d is neither an object nor an array."_s);
}

} // namespace

UserProfile decodeProfileAnswer(const JSONValue &data)
{
    if (!data.isObject() && !data.isArray())
        throwNotAContainer();
    try {
        return decodeData<ProfileWrapper>(data).user;
    } catch (const DecodingError &) {
        return decodeData<UserProfile>(data);
    }
}

namespace {

QList<ContinueWatchingItem> decodeContinueWatchingShape(const JSONValue &data)
{
    const JsonPath root;
    const JsonPath dataPath = root.member("data"_L1);
    if (data.isArray())
        return decodeModelList<ContinueWatchingItem>(data.json(), dataPath);
    if (!data.isObject())
        return {};
    const QJsonObject object = data.json().toObject();
    const auto listUnder = [&](QLatin1StringView key) {
        return decodeModelList<ContinueWatchingItem>(object.value(key), dataPath.member(key));
    };
    try {
        const auto wrapper = decodeData<ContinueWatchingWrapper>(data);
        if (wrapper.items)
            return *wrapper.items;
        // A wrapper without "items" that carries the older list still yields it.
        if (object.contains("continue_watching"_L1))
            return listUnder("continue_watching"_L1);
        return {};
    } catch (const DecodingError &) {
        if (object.contains("continue_watching"_L1))
            return listUnder("continue_watching"_L1);
        if (object.contains("items"_L1))
            return listUnder("items"_L1);
        return {};
    }
}

} // namespace

QList<ContinueWatchingItem> decodeContinueWatchingAnswer(const JSONValue &data)
{
    QList<ContinueWatchingItem> items = decodeContinueWatchingShape(data);
    keepFirst(items, continueWatchingKept);
    return items;
}

QList<SearchResult> decodeSearchAnswer(const JSONValue &data)
{
    if (!data.isObject() && !data.isArray())
        throwNotAContainer();
    QList<SearchResult> results
        = decodeData<SearchData>(data).results.value_or(QList<SearchResult>());
    keepFirst(results, searchResultsKept);
    return results;
}

QString foldForMatching(const QString &text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString stripped;
    stripped.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const auto category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing)
            continue;
        stripped.append(c);
    }
    return QLocale().toLower(stripped.normalized(QString::NormalizationForm_C));
}

QString deviceModelText(const QString &model)
{
    if (model.startsWith("Mac"_L1))
        return model;
    return QString::fromUtf8(identity::modelPrefix) + model;
}

} // namespace orvella

#pragma once

#include "api/AccountModels.h"
#include "api/ApiLog.h"
#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/JSONValue.h"
#include "api/ScheduleData.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <limits>
#include <optional>

// How the endpoints turn an envelope's data into their results. Pure functions, shared by the
// client, its benchmark and its fuzz target.

namespace orvella {

// A programme with its episodes, as the programme endpoint gives them.
struct ProgramWithEpisodes
{
    std::optional<ProgramSummary> program;
    QList<EpisodeSummary> episodes;
};

// Decodes a model from a data value; anything but an object fails with DecodingError.
template<class T>
[[nodiscard]] T decodeData(const JSONValue &data)
{
    const JsonPath root;
    return decodeModel<T>(data.json(), root.member(QLatin1StringView("data")));
}

// The tolerant list reading: an array, or the array under key of an object; elements that are
// not objects or do not decode are skipped. Reading stops once `kept` elements have decoded.
template<class T>
[[nodiscard]] QList<T> decodeList(const JSONValue &value, QLatin1StringView key,
    qsizetype kept = std::numeric_limits<qsizetype>::max())
{
    const QCborValue tree = QCborValue::fromJsonValue(value.json());
    QCborArray candidates;
    if (tree.isArray()) {
        candidates = tree.toArray();
    } else if (tree.isMap()) {
        const QCborValue member = tree.toMap().value(key);
        if (!member.isArray())
            return {};
        candidates = member.toArray();
    } else {
        return {};
    }
    QList<T> result;
    result.reserve(std::min(candidates.size(), kept));
    const JsonPath root;
    for (const QCborValue candidate : std::as_const(candidates)) {
        if (result.size() >= kept)
            break;
        if (!candidate.isMap())
            continue;
        try {
            result.append(decodeModel<T>(candidate, root));
        } catch (const DecodingError &error) {
            qCDebug(lcApi) << "List item dropped:" << error.description();
        }
    }
    return result;
}

// Keeps the first `kept` elements of a list, in a list of their size.
template<class T>
void keepFirst(QList<T> &list, qsizetype kept)
{
    if (list.size() > kept)
        list = list.first(kept);
}
template<class T>
void keepFirst(std::optional<QList<T>> &list, qsizetype kept)
{
    if (list)
        keepFirst(*list, kept);
}

// What the client keeps of a home page: far more rails and items than any real page has, and
// few enough that the screens take the page in, and compare a fresh one with it, at once.
inline constexpr qsizetype homeRailsKept = 100;
inline constexpr qsizetype homeItemsKept = 500; // of each rail
// What it keeps of the other lists the service sends, on the same terms, and never fewer than
// a page it asks for (60 or 50 programmes, 100 episodes), so that a full page still leads to
// the next one.
inline constexpr qsizetype programsKept = 1000; // of one page of programmes
inline constexpr qsizetype episodePageKept = 1000; // of one page of a programme's episodes
// Of a programme's pages merged: at most 8 pages of 100 are asked for.
inline constexpr qsizetype programEpisodesKept = 2000;
inline constexpr qsizetype searchResultsKept = 500;
inline constexpr qsizetype continueWatchingKept = 500;
inline constexpr qsizetype relatedEpisodesKept = 200; // of one episode
inline constexpr qsizetype configEventsKept = 200; // of the configuration's published events
inline constexpr qsizetype scheduleEntriesKept = 1000; // of the whole schedule, its days together

// The home page. The whole of it decodes, as strictly as ever; then only the first
// homeRailsKept rails, each with its first homeItemsKept items, are kept. The other answers
// below keep their lists in the same way: a strict list decodes whole before it is cut, a
// tolerant one is read no further than what is kept.
[[nodiscard]] HomeData decodeHomeAnswer(const JSONValue &data);
// The configuration with its first configEventsKept events.
[[nodiscard]] TvConfig decodeConfigAnswer(const JSONValue &data);
// The decodable programmes of a page (a bare list or "programs"), the first programsKept.
[[nodiscard]] QList<ProgramSummary> decodeProgramsAnswer(const JSONValue &data);
// The schedule (ScheduleData::parseAPIResponse) with its first scheduleEntriesKept entries.
[[nodiscard]] ScheduleData decodeScheduleAnswer(const QByteArray &body);

// The programme (nested, inline or bare) and its first-page episodes; never fails.
[[nodiscard]] ProgramWithEpisodes decodeProgramPage(const JSONValue &data);
// The first episodePageKept decodable episodes of an "episodes" array of an object; anything
// else gives none.
[[nodiscard]] QList<EpisodeSummary> decodeEpisodePage(const JSONValue &data);
// Appends the episodes of the further pages, in page order, whose ids were not seen yet, until
// the list holds programEpisodesKept.
[[nodiscard]] QList<EpisodeSummary> mergeEpisodePages(
    QList<EpisodeSummary> first, const QList<QList<EpisodeSummary>> &pages);

// A wrapped ("episode") or bare episode with its first relatedEpisodesKept related ones;
// APIError::empty for data that is not an object.
[[nodiscard]] EpisodeDetail decodeEpisodeAnswer(const JSONValue &data);
// A wrapped ("user") or bare profile.
[[nodiscard]] UserProfile decodeProfileAnswer(const JSONValue &data);
// A bare list, an "items" or "continue_watching" list, its first continueWatchingKept; other
// values give an empty list.
[[nodiscard]] QList<ContinueWatchingItem> decodeContinueWatchingAnswer(const JSONValue &data);
// The first searchResultsKept results.
[[nodiscard]] QList<SearchResult> decodeSearchAnswer(const JSONValue &data);

// Case- and diacritic-insensitive folding in the current locale, for title matching.
[[nodiscard]] QString foldForMatching(const QString &text);

// The device model text as sent: unchanged when it begins with "Mac", else prefixed "Mac — ".
[[nodiscard]] QString deviceModelText(const QString &model);

} // namespace orvella

#pragma once

#include "api/AccountModels.h"
#include "api/ApiLog.h"
#include "api/ContentModels.h"
#include "api/JSONValue.h"

#include <QList>
#include <QString>
#include <QStringList>
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
// not objects or do not decode are skipped.
template<class T>
[[nodiscard]] QList<T> decodeList(const JSONValue &value, QLatin1StringView key)
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
    result.reserve(candidates.size());
    const JsonPath root;
    for (const QCborValue candidate : std::as_const(candidates)) {
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

// What the client keeps of a home page: far more rails and items than any real page has, and
// few enough that the screens take the page in, and compare a fresh one with it, at once.
inline constexpr qsizetype homeRailsKept = 100;
inline constexpr qsizetype homeItemsKept = 500; // of each rail
// The home page. The whole of it decodes, as strictly as ever; then only the first
// homeRailsKept rails, each with its first homeItemsKept items, are kept.
[[nodiscard]] HomeData decodeHomeAnswer(const JSONValue &data);

// The programme (nested, inline or bare) and its first-page episodes; never fails.
[[nodiscard]] ProgramWithEpisodes decodeProgramPage(const JSONValue &data);
// The decodable episodes of an "episodes" array of an object; anything else gives none.
[[nodiscard]] QList<EpisodeSummary> decodeEpisodePage(const JSONValue &data);
// Appends the episodes of the further pages, in page order, whose ids were not seen yet.
[[nodiscard]] QList<EpisodeSummary> mergeEpisodePages(
    QList<EpisodeSummary> first, const QList<QList<EpisodeSummary>> &pages);

// A wrapped ("episode") or bare episode; APIError::empty for data that is not an object.
[[nodiscard]] EpisodeDetail decodeEpisodeAnswer(const JSONValue &data);
// A wrapped ("user") or bare profile.
[[nodiscard]] UserProfile decodeProfileAnswer(const JSONValue &data);
// A bare list, an "items" or "continue_watching" list; other values give an empty list.
[[nodiscard]] QList<ContinueWatchingItem> decodeContinueWatchingAnswer(const JSONValue &data);
[[nodiscard]] QList<SearchResult> decodeSearchAnswer(const JSONValue &data);

// Case- and diacritic-insensitive folding in the current locale, for title matching.
[[nodiscard]] QString foldForMatching(const QString &text);

// The device model text as sent: unchanged when it begins with "Mac", else prefixed "Mac — ".
[[nodiscard]] QString deviceModelText(const QString &model);

} // namespace orvella

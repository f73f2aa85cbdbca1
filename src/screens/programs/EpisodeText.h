#pragma once

#include "api/ContentModels.h"

#include <QList>
#include <QString>
#include <optional>

// Pure helpers shared by the episode views and the episode player.
namespace orvella::episodes {

// title (an empty one stays), else name, else "Episode"; "&#039;", "&quot;" and "&amp;" decoded
// once each, in this order.
[[nodiscard]] QString displayTitle(
    const std::optional<QString> &title, const std::optional<QString> &name);
[[nodiscard]] QString displayTitle(const EpisodeSummary &episode);
[[nodiscard]] QString displayTitle(const EpisodeDetail &episode);

// Seconds as a whole number, truncated toward zero; a value that is not finite or does not fit
// 64 bits counts as 0.
[[nodiscard]] qint64 wholeSeconds(double seconds);

// The card's duration badge: "m:ss" below an hour, else "h:mm:ss".
[[nodiscard]] QString formatDuration(qint64 seconds);
// The player's clock text; negative times read 0:00.
[[nodiscard]] QString formatTime(double seconds);
// The duration badge of a card, empty when there is no duration of at least 1 second.
[[nodiscard]] QString badgeText(const std::optional<qint64> &duration);

// The rows of a grid of `columns` (below 1 counts as 1): [start, end) index pairs in order.
struct RowSpan
{
    qsizetype start = 0;
    qsizetype end = 0;
    friend bool operator==(const RowSpan &, const RowSpan &) = default;
};
[[nodiscard]] QList<RowSpan> chunkRows(qsizetype count, int columns);

// The episode after `currentId` in the playlist, wrapping to the start; entries whose id is
// blank or equals the current one are passed over. When the current episode is not listed, the
// first usable entry. None when nothing usable is left.
[[nodiscard]] std::optional<EpisodeSummary> nextEpisode(
    const QList<EpisodeSummary> &playlist, const QString &currentId);

} // namespace orvella::episodes

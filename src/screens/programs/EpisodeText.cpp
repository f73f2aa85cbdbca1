#include "screens/programs/EpisodeText.h"

#include <cmath>
#include <limits>

namespace orvella::episodes {

QString displayTitle(const std::optional<QString> &title, const std::optional<QString> &name)
{
    QString text = title ? *title : name ? *name : QStringLiteral("Episode");
    text.replace(QLatin1String("&#039;"), QLatin1String("'"));
    text.replace(QLatin1String("&quot;"), QLatin1String("\""));
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text;
}

QString displayTitle(const EpisodeSummary &episode)
{
    return displayTitle(episode.title, episode.name);
}

QString displayTitle(const EpisodeDetail &episode)
{
    return displayTitle(episode.title, episode.name);
}

qint64 wholeSeconds(double seconds)
{
    // 2^63 as a double; anything at or beyond it (or NaN) does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (!std::isfinite(seconds) || seconds >= limit || seconds <= -limit)
        return 0;
    return static_cast<qint64>(std::trunc(seconds));
}

namespace {
QString clock(qint64 s, bool withHours)
{
    const qint64 seconds = s % 60;
    const qint64 minutes = (s % 3600) / 60;
    if (!withHours)
        return QStringLiteral("%1:%2").arg(minutes).arg(seconds, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'));
}
} // namespace

QString formatDuration(qint64 seconds)
{
    const qint64 s = std::max<qint64>(seconds, 0);
    return clock(s, s >= 3600);
}

QString formatTime(double seconds)
{
    const qint64 n = wholeSeconds(seconds);
    return clock(std::max<qint64>(n, 0), n >= 3600);
}

QString badgeText(const std::optional<qint64> &duration)
{
    return duration && *duration >= 1 ? formatDuration(*duration) : QString();
}

QList<RowSpan> chunkRows(qsizetype count, int columns)
{
    const qsizetype width = std::max(columns, 1);
    QList<RowSpan> rows;
    rows.reserve((count + width - 1) / width);
    for (qsizetype start = 0; start < count; start += width)
        rows.append({ start, std::min(start + width, count) });
    return rows;
}

std::optional<EpisodeSummary> nextEpisode(
    const QList<EpisodeSummary> &playlist, const QString &currentId)
{
    const QString current = currentId.trimmed();
    const qsizetype count = playlist.size();
    qsizetype from = 0;
    for (qsizetype i = 0; i < count; ++i) {
        if (playlist[i].id.stringValue.trimmed() == current) {
            from = i + 1;
            break;
        }
    }
    for (qsizetype k = 0; k < count; ++k) {
        const EpisodeSummary &candidate = playlist[(from + k) % count];
        const QString id = candidate.id.stringValue.trimmed();
        if (!id.isEmpty() && id != current)
            return candidate;
    }
    return std::nullopt;
}

} // namespace orvella::episodes

#include "platform/HlsItemSource.h"

#include "platform/BoundedFetch.h"
#include "platform/PlatformLog.h"

#include <QCoroFuture>
#include <QtConcurrent/QtConcurrentRun>

namespace orvella {

namespace {
// Far above any real playlist (a day of two-second segments with long addresses is about 8 MB).
constexpr qint64 maxPlaylistBytes = 16 * 1024 * 1024;
// Variants read before the item is given up: one that does not answer makes way for the next.
constexpr int triedVariants = 3;

FetchLimits itemLimits(const HlsReadTimeouts &timeouts)
{
    return { maxPlaylistBytes, timeouts.item, true, timeouts.item };
}

FetchLimits renditionLimits(const HlsReadTimeouts &timeouts)
{
    return { maxPlaylistBytes, timeouts.rendition, true, timeouts.item };
}

// A master playlist, or the timeline of a media playlist.
struct ParsedPlaylist
{
    std::optional<HlsMasterPlaylist> master;
    PlaylistTimeline timeline;
};

QCoro::Task<ParsedPlaylist> parseAway(QByteArray text, QUrl base)
{
    QFuture<ParsedPlaylist> parsing = QtConcurrent::run([text, base] {
        ParsedPlaylist parsed { parseHlsMaster(text, base), {} };
        if (!parsed.master) {
            if (const auto media = parseHlsMedia(text, base))
                parsed.timeline = PlaylistTimeline(*media);
        }
        return parsed;
    });
    co_return co_await parsing;
}

enum class Check { Media, Master, Unreadable, TooLarge };

// Reads a playlist the player would open, to learn whether it is a master; a media playlist's
// text is kept in `text` and `finalUrl`.
QCoro::Task<Check> checkPlaylist(QNetworkAccessManager &network, QUrl url, HlsReadTimeouts timeouts,
    std::stop_token stop, QString &error, QByteArray &text, QUrl &finalUrl,
    PlaylistTimeline *timeline = nullptr)
{
    auto fetching = fetchBounded(network, url, renditionLimits(timeouts), stop);
    const FetchedFile file = co_await fetching;
    switch (file.outcome) {
    case FetchedFile::Outcome::TooLarge:
        co_return Check::TooLarge;
    case FetchedFile::Outcome::Failed:
        error = file.error;
        co_return Check::Unreadable;
    case FetchedFile::Outcome::NotPlaylist:
        co_return Check::Media; // a file of its own: nothing of it is a playlist to follow
    case FetchedFile::Outcome::Complete:
        break;
    }
    auto parsing = parseAway(file.body, file.url);
    ParsedPlaylist parsed = co_await parsing;
    if (timeline)
        *timeline = std::move(parsed.timeline);
    if (parsed.master)
        co_return Check::Master;
    text = file.body;
    finalUrl = file.url;
    co_return Check::Media;
}

QString tooLarge(const QUrl &url)
{
    return QStringLiteral("the playlist %1 is larger than %2 MiB")
        .arg(url.toDisplayString(), QString::number(maxPlaylistBytes / (1024 * 1024)));
}
} // namespace

QCoro::Task<HlsItemRead> readHlsItem(
    QNetworkAccessManager &network, QUrl url, HlsReadTimeouts timeouts, std::stop_token stop)
{
    HlsItemRead read;
    auto fetching = fetchBounded(network, url, itemLimits(timeouts), stop);
    const FetchedFile file = co_await fetching;
    if (stop.stop_requested())
        co_return read;
    switch (file.outcome) {
    case FetchedFile::Outcome::TooLarge:
        read.refusal = tooLarge(url);
        co_return read;
    case FetchedFile::Outcome::Failed:
        read.refusal
            = QStringLiteral("%1 could not be read: %2").arg(url.toDisplayString(), file.error);
        co_return read;
    case FetchedFile::Outcome::NotPlaylist:
        co_return read;
    case FetchedFile::Outcome::Complete:
        break;
    }
    auto parsing = parseAway(file.body, file.url);
    ParsedPlaylist parsed = co_await parsing;
    read.master = std::move(parsed.master);
    read.timeline = std::move(parsed.timeline);
    if (!read.master)
        read.texts = { file.body, file.url, {}, {} };
    if (read.master && read.master->variants.isEmpty())
        read.refusal = QStringLiteral("the master %1 names no variant").arg(url.toDisplayString());
    co_return read;
}

QCoro::Task<HlsVariantChoice> chooseHlsVariant(QNetworkAccessManager &network,
    HlsMasterPlaylist master, QList<int> preference, HlsReadTimeouts timeouts, std::stop_token stop)
{
    HlsVariantChoice choice;
    choice.refusal = QStringLiteral("the master names no variant on the web");
    for (qsizetype i = 0; i < preference.size() && i < triedVariants; ++i) {
        const HlsVariant &variant = master.variants[preference[i]];
        QString error;
        auto checking = checkPlaylist(network, variant.uri, timeouts, stop, error,
            choice.texts.video, choice.texts.videoUrl, &choice.timeline);
        const Check check = co_await checking;
        if (stop.stop_requested())
            co_return choice;
        if (check == Check::Unreadable) {
            choice.refusal = QStringLiteral("no variant could be read (%1: %2)")
                                 .arg(variant.uri.toDisplayString(), error);
            continue;
        }
        if (check == Check::TooLarge) {
            choice.refusal = tooLarge(variant.uri);
            co_return choice;
        }
        if (check == Check::Master) {
            choice.refusal = QStringLiteral("the variant %1 is itself a master playlist")
                                 .arg(variant.uri.toDisplayString());
            co_return choice;
        }
        HlsPlayable playable { variant.uri, audioRenditionFor(master, variant) };
        if (playable.audio) {
            auto checkingAudio = checkPlaylist(network, *playable.audio, timeouts, stop, error,
                choice.texts.audio, choice.texts.audioUrl);
            const Check audio = co_await checkingAudio;
            if (stop.stop_requested())
                co_return choice;
            if (audio == Check::Master || audio == Check::TooLarge) {
                choice.refusal = audio == Check::Master
                    ? QStringLiteral("the audio rendition %1 is a master playlist")
                          .arg(playable.audio->toDisplayString())
                    : tooLarge(*playable.audio);
                co_return choice;
            }
            if (audio == Check::Unreadable) {
                qCWarning(lcPlayer) << "Playing without the audio rendition"
                                    << playable.audio->toDisplayString() << ":" << error;
                playable.audio.reset();
            }
        }
        choice.playable = playable;
        choice.refusal.clear();
        co_return choice;
    }
    co_return choice;
}

} // namespace orvella

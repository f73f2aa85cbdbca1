#pragma once

#include "platform/HlsPlaylist.h"
#include "platform/PlaylistTimeline.h"

#include <QCoro/QCoroTask>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>
#include <stop_token>

class QNetworkAccessManager;

namespace orvella {

// What the player gives libmpv for an item: one media playlist (a variant of the master, or the
// item itself when it names no variants) and the separate audio rendition that plays beside it.
// Never a master: libmpv's HLS reader opens every variant a master names, and without end when
// a variant is a master itself.
struct HlsPlayable
{
    QUrl video;
    std::optional<QUrl> audio;
    bool operator==(const HlsPlayable &) const = default;
};

// The text of the media playlists behind a playable, and where each came from at last (its
// addresses are relative to that): what a load from one segment on is cut from.
struct HlsPlaylistTexts
{
    QByteArray video;
    QUrl videoUrl;
    QByteArray audio;
    QUrl audioUrl;
};

// The item's own playlist as read: a master, something else to open as it is, or a refusal.
struct HlsItemRead
{
    std::optional<HlsMasterPlaylist> master;
    std::optional<QString> refusal;
    PlaylistTimeline timeline; // the item's, when it is a media playlist
    HlsPlaylistTexts texts;
};

struct HlsVariantChoice
{
    std::optional<HlsPlayable> playable;
    QString refusal; // why none, when none
    PlaylistTimeline timeline; // the chosen variant's
    HlsPlaylistTexts texts;
};

// How long the playlist reads of a load may take.
struct HlsReadTimeouts
{
    // The item's own playlist, and any read in all: as long as the load may take to show a
    // picture, so a slow server still starts within it.
    std::chrono::milliseconds item { 30000 };
    // A variant or audio rendition that sends nothing for this long makes way for the next.
    std::chrono::milliseconds rendition { 10000 };
};

// Reads the item's address: a master is parsed (off the GUI thread); a media playlist or a file
// that is no playlist is left to the player. A playlist past its bound, an answer with an error
// status or an address that cannot be read refuses the item.
[[nodiscard]] QCoro::Task<HlsItemRead> readHlsItem(
    QNetworkAccessManager &network, QUrl url, HlsReadTimeouts timeouts, std::stop_token stop);

// Reads the preferred variants in turn (a few at most) until one answers: it must be a media
// playlist, as its separate audio rendition must be (a variant or rendition that is a master
// refuses the item; audio that cannot be read is left out).
[[nodiscard]] QCoro::Task<HlsVariantChoice> chooseHlsVariant(QNetworkAccessManager &network,
    HlsMasterPlaylist master, QList<int> preference, HlsReadTimeouts timeouts,
    std::stop_token stop);

} // namespace orvella

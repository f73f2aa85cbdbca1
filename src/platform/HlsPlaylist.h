#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QSize>
#include <QString>
#include <QUrl>
#include <optional>
#include <utility>

namespace orvella {

// The parts of HLS playlists the player needs: a master playlist's variants and subtitle
// renditions, and a media playlist's segments. Renditions and segments whose address is not
// http(s) are left out, as if the playlist did not list them.
struct HlsVariant
{
    double bandwidth = 0; // bits per second
    QSize resolution;
    QUrl uri;
    QString audioGroup; // its AUDIO attribute: the group of its separate audio renditions
};

struct HlsRendition
{
    QString groupId;
    QString language;
    QString name;
    bool isDefault = false;
    QUrl uri;
};

struct HlsMasterPlaylist
{
    QList<HlsVariant> variants;
    QList<HlsRendition> subtitles;
    // Audio renditions with an address of their own (audio kept apart from the variants).
    QList<HlsRendition> audio;
};

struct HlsSegment
{
    QUrl uri;
    double duration = 0;
    qint64 sequence = 0;
    // An EXT-X-DISCONTINUITY comes before it: its time stamps need not follow the segment before.
    bool discontinuity = false;
    // Its first bytes at its address are not MPEG-TS of its own: it is encrypted, a byte range of
    // a larger file, or fragmented MP4 (a map is in force).
    bool sealed = false;
    // Fragmented MP4 (a map is in force).
    bool fragmented = false;
    // Its part of the file at its address (EXT-X-BYTERANGE): offset and length.
    std::optional<std::pair<qint64, qint64>> byteRange;
    // Fragmented MP4: the address of the map in force (empty when it is not on the web) and,
    // when its EXT-X-MAP names one, its part of that file (offset and length).
    QUrl mapUri;
    std::optional<std::pair<qint64, qint64>> mapRange;
    // A key is in force (METHOD other than NONE).
    bool encrypted = false;
};

struct HlsMediaPlaylist
{
    double targetDuration = 0;
    qint64 mediaSequence = 0;
    bool ended = false;
    QList<HlsSegment> segments;
};

// The number of an EXT-X-MEDIA-SEQUENCE or EXT-X-DISCONTINUITY-SEQUENCE tag (the text after its
// colon), kept from 0 to 2^52: counting segments on from it never overflows. Every reader of the
// tags takes them through it, so the player and a cut count alike.
[[nodiscard]] qint64 hlsSequenceNumber(QByteArrayView value);

// One attribute of a tag's attribute list (the text after the tag's colon), read as FFmpeg's HLS
// reader reads it, so that what the player checks is what FFmpeg opens: attributes are parted by
// whitespace or commas; a name runs to the next '=' whatever it holds, and FFmpeg compares it
// exactly; a quoted value ends at the next quote a backslash does not take (a backslash takes the
// next character as it is), an unquoted one at whitespace or a comma; a zero byte ends the list.
// Of several attributes of one name FFmpeg keeps the last.
struct HlsAttribute
{
    QByteArray name;
    QByteArray value;
    // The value as written in the list, its quotes and backslashes included.
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
};

[[nodiscard]] QList<HlsAttribute> readHlsAttributes(QByteArrayView list);

// True for the only addresses a playlist may lead the player to: http and https with a host.
// Anything else a playlist names (file:, data:, qrc: ...) is never fetched.
[[nodiscard]] bool isWebUrl(const QUrl &url);

// None when the text is not a master playlist (a media playlist, or not HLS at all).
[[nodiscard]] std::optional<HlsMasterPlaylist> parseHlsMaster(
    const QByteArray &text, const QUrl &base);
[[nodiscard]] std::optional<HlsMediaPlaylist> parseHlsMedia(
    const QByteArray &text, const QUrl &base);

// The variants a player may open for the caps, best first: those within both caps (all of them
// without caps; a zero cap is no cap) from the highest bandwidth down, then the rest from the
// lowest up, so that when none fits the lowest comes first. Only variants with a web address.
[[nodiscard]] QList<int> variantPreference(
    const QList<HlsVariant> &variants, double maxBitrate, QSize maxResolution);

// The separate audio rendition a variant plays with: its group's default, else the group's first.
// None when its audio lies inside the variant.
[[nodiscard]] std::optional<QUrl> audioRenditionFor(
    const HlsMasterPlaylist &master, const HlsVariant &variant);

} // namespace orvella

#pragma once

#include <QByteArray>
#include <QUrl>
#include <optional>

namespace orvella {

// A media playlist that starts at one segment of an on-demand playlist: what libmpv is given to
// play a part of an item from that segment on, when its reader cannot seek there by time (a
// part whose time stamps start again). It is cut from the playlist's text, so every tag of the
// segments kept stays as it was, with those in force at the cut written before its first
// segment: the version, the target duration, the segment's own media sequence number (AES-128
// without an IV decrypts by it), the last key and map, and an explicit byte-range offset. Every
// address (every URI attribute of a tag too) is made absolute against the playlist's own, and
// must be a web address.
struct HlsPlaylistCut
{
    QByteArray text;
    // Where the cut's first segment starts, by the playlist's durations (segments that are not
    // web addresses count for nothing, as in the item's timeline).
    double start = 0;
    // Its segments are fragmented MP4 (a map is in force): FFmpeg's HLS reader passes over every
    // packet of a seek inside them, so a load of the cut starts at its first picture.
    bool fragmented = false;
    // Where its last segment ends, by the same durations: the playlist's length for a cut that
    // runs to the end.
    double end = 0;
};

// The playlist from the segment that holds `from` on (the last segment for a time past the end),
// up to the first segment that starts at `until` or later when that is given (the first segment
// is kept whatever `until` says). None when the text is no ended media playlist, or a tag it
// keeps (a key or map in force included) names an address off the web.
[[nodiscard]] std::optional<HlsPlaylistCut> cutHlsMediaPlaylist(const QByteArray &text,
    const QUrl &base, double from, std::optional<double> until = std::nullopt);

} // namespace orvella

#pragma once

#include <QByteArrayView>
#include <cstdint>
#include <optional>

namespace orvella {

// Where a fragmented-MP4 segment's time stamps lie, as FFmpeg's reader (and so libmpv) reports
// them: read from the segment's first fragment with what its map (the initialisation section)
// says of the picture's track.

// What the map says of the picture's track: all a segment's start time needs, so that a map
// read once serves every segment it is in force for.
struct Fmp4Map
{
    std::uint32_t videoTrack = 0;
    // Ticks a second of the track's time stamps (its media header's).
    std::uint32_t timescale = 0;
    // Ticks added to every stamp of the track by its edit list, as FFmpeg applies it: the leading
    // empty edit (in the movie's timescale, rounded to the track's) less the media time the
    // presentation starts at.
    std::int64_t editShift = 0;

    friend bool operator==(const Fmp4Map &, const Fmp4Map &) = default;
};

// The most of a map that is read: a map holds a few kilobytes.
inline constexpr qint64 fmp4MapBytes = 1024 * 1024;

// The picture's track of an initialisation section (`moov` with its `trak`s): the first track
// whose handler is video. None when the bytes hold no such track, its media header names no
// timescale, or a box it needs is cut short or malformed.
[[nodiscard]] std::optional<Fmp4Map> parseFmp4Map(QByteArrayView bytes);

// The start time, in seconds, of a fragmented-MP4 segment from its first bytes: the presentation
// time of the first sample of the map's picture track in the first fragment (`moof`) with a track
// fragment of it: the decode time (`tfdt`) with the map's edit shift, plus the sample's
// composition offset (`trun`). Boxes before the fragment (`styp`, `sidx`, `prft`, `emsg`, ...) are
// passed over. None when the bytes end before such a fragment ends (a head cut inside it), that
// track fragment has no decode time or no sample, or a box on the way is malformed. It may lie
// below 0 where the media's stamps do.
[[nodiscard]] std::optional<double> firstFmp4Time(QByteArrayView bytes, const Fmp4Map &map);

} // namespace orvella

#pragma once

#include "platform/HlsPlaylist.h"
#include "platform/MediaPlayer.h"

#include <QList>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace orvella {

// An item's own time over the time stamps libmpv reports for it. A playlist with an end marker
// may join parts with discontinuities, each part on time stamps of its own (FFmpeg's HLS reader
// and libmpv pass them through), while the item's time runs from 0 to the playlist's length
// across the joins. Each part is placed by the time stamp at its start in the item, as the media
// carries it: read from the head of one of its segments, from where libmpv's reader starts a
// load (its demuxer-start-time), or from the first position after playback jumped into it. What
// is learnt holds for the item, whatever file libmpv plays of it: the variants share their time
// stamps.
//
// libmpv may be given the playlist from one segment on (a cut): it then counts from that load's
// first time stamp. Within a load every raw time is taken on that load's footing: `origin`, the
// item's time where the load begins, is added to what libmpv reports.
//
// Segments of fragmented MP4 are kept here even without joins: FFmpeg's reader cannot seek in
// them beyond libmpv's cache, so such an item is loaded from the target's segment on, and the
// load's time is counted as a cut's. Without joins or fragments, and on a live window, raw time
// is the item's time and nothing is kept.
class PlaylistTimeline
{
public:
    PlaylistTimeline() = default;
    explicit PlaylistTimeline(const HlsMediaPlaylist &playlist);

    // The item's time is kept here, not libmpv's taken.
    [[nodiscard]] bool keepsTime() const { return !m_parts.empty(); }
    [[nodiscard]] bool isJoined() const { return m_parts.size() > 1; }
    // The sum of the playlist's segment durations.
    [[nodiscard]] double length() const { return m_length; }

    // The part playback is in (the first while nothing is kept) and where it ends in the item.
    struct PlayingPart
    {
        int index = 0;
        double end = 0;
    };
    [[nodiscard]] PlayingPart playingPart() const
    {
        return m_parts.empty() ? PlayingPart {} : PlayingPart { m_part, m_parts[m_part].end() };
    }

    // Where the item is: the last position libmpv reported, in the item's time; from a seek's
    // start until it lands, where it goes.
    [[nodiscard]] double position() const { return m_target ? *m_target : m_position; }
    // A position libmpv reported while it plays the item and nothing seeks.
    void observe(double raw);
    // The item's time of a raw time (the ends of cached ranges, of what was read).
    [[nodiscard]] double itemTime(double raw) const;
    [[nodiscard]] QList<MediaTimeRange> itemRanges(const QList<MediaTimeRange> &raw) const;

    // How libmpv is asked to go to a time of the item: the raw time of its seek (or the start of
    // a load) and its hr-seek-demuxer-offset.
    struct Seek
    {
        double raw = 0;
        double demuxerOffset = 0;
        // Only libmpv's cache reaches it (fragmented MP4): sent once the cache holds it.
        bool cacheOnly = false;
    };
    // A seek to `item` begins: the position shows it from now on, through what is read or
    // loaded before the seek itself goes out.
    void aim(double item);
    // `cached` is what libmpv's cache holds, in raw time.
    [[nodiscard]] Seek seekTo(double item, const QList<MediaTimeRange> &cached);
    [[nodiscard]] bool isSeeking() const { return m_target.has_value(); }
    // libmpv shows the seek's first picture at `raw`. Returns the seek that goes on to the exact
    // target when a fragmented part's load started at its segment's first picture.
    [[nodiscard]] std::optional<Seek> landed(double raw);
    // The seek ended without landing.
    void seekEnded();

    // Takes what was learnt of the item on another variant or an earlier load of it (variants
    // share their time stamps), when its parts lie where this one's do.
    void keepLearnt(const PlaylistTimeline &earlier);

    // Whether a seek to `item` can stay in the file libmpv holds: its part is placed, reached by
    // the reader (or cached), and no other part held shares its raw time. Otherwise the item is
    // loaded again from `loadStart(item)`.
    [[nodiscard]] bool seeksInPlace(double item, const QList<MediaTimeRange> &cached) const;
    // Where a load that starts at `item` begins: 0 for the whole playlist (a start in the first
    // part, or in a part the whole playlist reaches), else the start of the item's segment.
    [[nodiscard]] double loadStart(double item) const;
    // How many seconds libmpv must read ahead of a load's start to reach `item` in its cache
    // (a fragmented part's load starts at its segment's first picture); 0 where no more than
    // usual.
    [[nodiscard]] double readAheadFor(double item) const;
    // libmpv is given the playlist from `origin` on (0 for all of it).
    void beginLoad(double origin);
    // libmpv opened the load's file; its time counts from `startStamp` (its demuxer-start-time),
    // the first time stamp its reader read: past the segments it could not open.
    void fileLoaded(std::optional<double> startStamp);
    [[nodiscard]] double origin() const { return m_origin; }

    // A segment whose head tells where a part not placed yet lies (when `readable`: MPEG-TS of
    // its own) or whether its server gives it at all.
    struct Head
    {
        size_t segment = 0;
        QUrl url;
        bool readable = false;
        bool operator==(const Head &) const = default;
    };
    // For a seek to `item` whose part is not placed: the target's own segment (past those known
    // refused).
    [[nodiscard]] std::optional<Head> headForSeek(double item) const;
    // While playback goes on: the first segment of the next part, when it is not placed.
    [[nodiscard]] std::optional<Head> headAhead() const;
    // What the head of `head` told: its server refused it (its reader will pass over it), or the
    // first time stamp in it.
    void headRead(const Head &head, bool refused, std::optional<double> stamp);

private:
    struct Segment
    {
        double start = 0;
        QUrl uri;
        bool sealed = false;
        bool refused = false;
    };
    struct Part
    {
        double start = 0; // in the item's time
        double length = 0;
        size_t firstSegment = 0;
        bool fragmented = false;
        // The time stamp at the part's start, as the media carries it.
        std::optional<double> stamp;
        // Seen or read, rather than taken over from the part before on time stamps that went on.
        bool placed = false;
        [[nodiscard]] double end() const { return start + length; }
        [[nodiscard]] bool holds(double item) const;
    };
    // Where raw times of a load lie: its first part, the item's time it begins at, and the time
    // stamp libmpv counts from (none while not known).
    struct Footing
    {
        int firstPart = 0;
        double origin = 0;
        std::optional<double> anchor;
    };
    [[nodiscard]] Footing current() const;
    [[nodiscard]] Footing whole() const;
    // The part's raw time less its item time, on a footing; none where it is not known.
    [[nodiscard]] std::optional<double> offsetOn(const Footing &footing, int index) const;
    [[nodiscard]] std::optional<double> offset(int index) const
    {
        return offsetOn(current(), index);
    }
    void setOffset(int index, double offset, bool placed);

    [[nodiscard]] int partAt(double item) const;
    [[nodiscard]] size_t segmentAt(double item) const;
    [[nodiscard]] double segmentStartAt(double item) const;
    // The time FFmpeg's reader is asked for to open the segment of `item`.
    [[nodiscard]] double insideSegment(double item) const;
    [[nodiscard]] Seek placedSeek(double item, const QList<MediaTimeRange> &cached) const;
    // Playback jumped to `raw`, the first position of the part after the one it was in.
    void enterNextPart(double raw);
    // The part holding `raw`, the current one first; -1 for none.
    [[nodiscard]] int partOfRaw(double raw) const;
    // The part's raw time stamps hold `raw`, at another time of the item than `item`.
    [[nodiscard]] bool sharesRaw(const Footing &footing, int index, double raw, double item) const;
    [[nodiscard]] bool reaches(
        const Footing &footing, int index, double item, const QList<MediaTimeRange> &cached) const;
    // The first segment from `index` on, within its part, that its server does not refuse.
    [[nodiscard]] size_t firstServedSegment(size_t index) const;
    // Where the part's picture begins from `segmentStart` on: past the segments refused.
    [[nodiscard]] double firstPlayedSegmentStart(double segmentStart) const;
    // Raw times of the load on the item's footing.
    [[nodiscard]] QList<MediaTimeRange> onFooting(const QList<MediaTimeRange> &raw) const;
    [[nodiscard]] double itemTimeOnFooting(double raw) const;
    void moveTo(double item);

    std::vector<Part> m_parts;
    std::vector<Segment> m_segments;
    // The item's time where the load libmpv plays begins, the part it begins in, and the time
    // stamp libmpv counts it from once its file is open.
    double m_origin = 0;
    int m_firstPart = 0;
    std::optional<double> m_loadStamp;
    double m_length = 0;
    // The part playback is in; it always has an offset.
    int m_part = 0;
    double m_position = 0;
    bool m_positionKnown = false;
    std::optional<double> m_target;
    // The seek on from a fragmented load's first picture went out.
    bool m_onward = false;
    // The first position after a jump, until playback goes on from it.
    std::optional<double> m_jump;
    // The raw times (on the load's footing) of the last seek's target and landing.
    std::array<double, 2> m_restarts { NAN, NAN };
};

} // namespace orvella

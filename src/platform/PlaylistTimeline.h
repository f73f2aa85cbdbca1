#pragma once

#include "platform/HlsPlaylist.h"
#include "platform/MediaPlayer.h"

#include <QList>
#include <optional>
#include <vector>

namespace orvella {

// An item's own time over the time stamps libmpv reports for it. A playlist with an end marker
// may join parts with discontinuities, each part on time stamps of its own (FFmpeg's HLS reader
// and libmpv pass them through), while the item's time runs from 0 to the playlist's length
// across the joins. Each part's offset (its raw time less its item time) is learnt from libmpv:
// the first part's is 0 (libmpv counts from the item's first time stamp); a later part's from
// the first position reported after playback jumped into it, or from where a seek into it
// landed. Without joins, and on a live window, raw time is the item's time and nothing is kept.
//
// libmpv may also be given the playlist from one segment on (a cut, where its reader cannot seek
// by time stamps that two parts share): it then counts from that segment's first time stamp, so
// its raw time is the item's less the cut's start in the part the cut begins in. Within a load
// every raw time is taken on that load's footing: `origin` is added to what libmpv reports.
class PlaylistTimeline
{
public:
    PlaylistTimeline() = default;
    explicit PlaylistTimeline(const HlsMediaPlaylist &playlist);

    [[nodiscard]] bool isJoined() const { return m_parts.size() > 1; }
    // The sum of the playlist's segment durations.
    [[nodiscard]] double length() const { return m_length; }

    // Where the item is: the last position libmpv reported, in the item's time; while a seek is
    // under way, where it goes.
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
    };
    // `cached` is what libmpv's cache holds, in raw time.
    [[nodiscard]] Seek seekTo(double item, const QList<MediaTimeRange> &cached);
    [[nodiscard]] bool isSeeking() const { return m_target.has_value(); }
    // libmpv shows the seek's first picture at `raw`. Returns the seek that goes on to the exact
    // target when it landed at the start of its segment in a part placed only now.
    [[nodiscard]] std::optional<Seek> landed(double raw, const QList<MediaTimeRange> &cached);
    // The seek ended without landing.
    void seekEnded();

    // Takes what was learnt of the parts on another variant of the item (variants share their
    // time stamps), when its parts are the same.
    void keepLearnt(const PlaylistTimeline &earlier);

    // Whether a seek to `item` can stay in the file libmpv holds: its part is placed, reached by
    // the reader (or cached), and no other part held shares its raw time. Otherwise the item is
    // loaded again from `loadStart(item)`.
    [[nodiscard]] bool seeksInPlace(double item, const QList<MediaTimeRange> &cached) const;
    // Where a load that starts at `item` begins: 0 for the whole playlist (a start in the first
    // part, or in a part the whole playlist reaches), else the start of the item's segment.
    [[nodiscard]] double loadStart(double item) const;
    // libmpv is given the playlist from `origin` on (0 for all of it): what was learnt of the
    // parts is taken over to its footing where the part it begins in was placed.
    void beginLoad(double origin);
    [[nodiscard]] double origin() const { return m_origin; }
    // The reader could not open the segment of that media sequence number and passed over it.
    void segmentFailed(qint64 sequence);

    // The part a seek to `item` goes into, when libmpv holds it and it is not placed yet, and the
    // address of its first segment where that segment's head tells its time stamps.
    struct UnplacedPart
    {
        int index = 0;
        QUrl firstSegment;
    };
    [[nodiscard]] std::optional<UnplacedPart> unplacedPartAt(double item) const;
    // Whether a seek reaches that part in the file libmpv holds, its first picture being stamped
    // `raw` (libmpv's time): its time stamps lie at or past its place in the item, and no other
    // part held shares them.
    [[nodiscard]] bool reachesUnplaced(int index, double raw) const;

private:
    struct Part
    {
        double start = 0; // in the item's time
        double length = 0;
        std::optional<double> offset;
        // Seen, rather than taken over from the part before on time stamps that went on.
        bool placed = false;
        // Its first segment, where that segment's head is MPEG-TS of its own.
        QUrl head;
        [[nodiscard]] double end() const { return start + length; }
        [[nodiscard]] bool holds(double item) const;
    };
    [[nodiscard]] int partAt(double item) const;
    [[nodiscard]] double segmentStartAt(double item) const;
    // The time FFmpeg's reader is asked for to open the segment of `item`.
    [[nodiscard]] double insideSegment(double item) const;
    [[nodiscard]] Seek placedSeek(double item, const QList<MediaTimeRange> &cached) const;
    // Playback jumped to `raw`, the first position of the part after the one it was in.
    void enterNextPart(double raw);
    // The part holding `raw`, the current one first; -1 for none.
    [[nodiscard]] int partOfRaw(double raw) const;
    // The part's raw time stamps hold `raw`, at another time of the item than `item`.
    [[nodiscard]] bool sharesRaw(int index, double raw, double item) const;
    [[nodiscard]] bool reachesInPlace(
        int index, double item, const QList<MediaTimeRange> &cached) const;
    // Where the part's picture begins from `segmentStart` on: past the segments the reader
    // passed over.
    [[nodiscard]] double firstPlayedSegmentStart(double segmentStart) const;
    // Raw times of the load on the item's footing.
    [[nodiscard]] QList<MediaTimeRange> onFooting(const QList<MediaTimeRange> &raw) const;
    [[nodiscard]] double itemTimeOnFooting(double raw) const;
    void moveTo(double item);

    std::vector<Part> m_parts;
    std::vector<double> m_segmentStarts;
    std::vector<qint64> m_segmentSequences;
    std::vector<bool> m_segmentFailed;
    // The item's time where the load libmpv plays begins, and the part it begins in.
    double m_origin = 0;
    int m_firstPart = 0;
    // The load's first segment, and whether libmpv reported a position of the load yet: its
    // time counts from the first segment its reader opened.
    size_t m_firstSegment = 0;
    bool m_loadObserved = false;
    double m_length = 0;
    // The part playback is in; it always has an offset.
    int m_part = 0;
    double m_position = 0;
    bool m_positionKnown = false;
    std::optional<double> m_target;
    // Where a seek into a part not placed yet lands: the start of the target's segment.
    std::optional<double> m_landingSegment;
    // The first position after a jump, until playback goes on from it.
    std::optional<double> m_jump;
};

} // namespace orvella

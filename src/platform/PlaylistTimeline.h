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
    // A plan's seek in the file went out (after `aim`): its restart is passed over until it lands.
    void seekSent(const Seek &seek);
    [[nodiscard]] bool isSeeking() const { return m_target.has_value(); }
    // libmpv shows the seek's first picture at `raw`. Returns the seek that goes on to the exact
    // target when a fragmented part's load started at its segment's first picture.
    [[nodiscard]] std::optional<Seek> landed(double raw);
    // The seek ended without landing.
    void seekEnded();

    // Takes what was learnt of the item on another variant or an earlier load of it (variants
    // share their time stamps), when its parts lie where this one's do.
    void keepLearnt(const PlaylistTimeline &earlier);

    // A segment whose head tells where a part not placed yet lies (when `readable`: MPEG-TS of
    // its own, or fragmented MP4 in the clear, read with its map) or whether its server gives it
    // at all.
    struct Head
    {
        size_t segment = 0;
        QUrl url;
        bool readable = false;
        // Its part of the file at its address (offset, length); none for the whole file.
        std::optional<std::pair<qint64, qint64>> range;
        // Fragmented MP4: the map in force and its part of its file.
        QUrl mapUrl;
        std::optional<std::pair<qint64, qint64>> mapRange;
        bool operator==(const Head &) const = default;
    };
    // What libmpv is given for a load of the item.
    struct Load
    {
        // Where it begins in the item: 0 for the whole playlist, else the start of a segment.
        double from = 0;
        // Where it ends, when before the item's end: a join libmpv cannot play across (a part of
        // fragmented MP4 whose next part's time stamps go back). Played to it, the item goes on
        // with a load from there.
        std::optional<double> until;
        // How many seconds libmpv must read ahead of the load's start to reach the start in its
        // cache (a fragmented part's load starts at its segment's first picture); 0 where no
        // more than usual.
        double readAhead = 0;
        bool operator==(const Load &) const = default;
    };
    // How a seek or a start goes to a time of the item.
    struct Plan
    {
        enum class Step {
            // A seek in the file libmpv holds: `seek`.
            InFile,
            // First the head of a segment (`head`) places the target's part; then plan again.
            ReadHead,
            // A load (`load`), whole or cut, then the start at the target.
            Load,
        };
        Step step = Step::InFile;
        Seek seek;
        std::optional<Head> head;
        Load load;
    };
    // The plan for a seek to `item`: in the file when it holds it (`fileOpen`), else by a head
    // read first when one may place its part (`headsAllowed`), else by a load.
    [[nodiscard]] Plan plan(double item, const QList<MediaTimeRange> &cached, bool fileOpen,
        bool headsAllowed = true) const;
    // The load for a start at `item` (the item's start, a resume, a reload in place).
    [[nodiscard]] Load loadFor(double item) const;
    // libmpv is given the playlist from `origin` on (0 for all of it), up to `until` when given.
    void beginLoad(double origin, std::optional<double> until = std::nullopt);
    // Where the load libmpv holds ends in the item, when it ends before the item does.
    [[nodiscard]] std::optional<double> loadEnd() const { return m_loadEnd; }
    // libmpv opened the load's file; its time counts from `startStamp` (its demuxer-start-time),
    // the first time stamp its reader read: past the segments it could not open.
    void fileLoaded(std::optional<double> startStamp);
    [[nodiscard]] double origin() const { return m_origin; }

    // For a seek to `item` whose part is not placed: the target's own segment (past those known
    // refused).
    [[nodiscard]] std::optional<Head> headForSeek(double item) const;
    // While playback goes on: the first segment of the next part, when it is not placed (past
    // those known refused, at most `mostRefusedInARow` of them).
    [[nodiscard]] std::optional<Head> headAhead() const;
    // How a segment's server answered its head.
    enum class Answer {
        Served,
        // For good (a 4xx but 408 and 429): its reader will pass over it.
        Refused,
        // For now (a 5xx, 408, 429): passed over by what is decided now, asked again when a
        // later seek needs it.
        RefusedForNow,
    };
    // What the head of `head` told: how its server answered, and the first time stamp in it.
    void headRead(const Head &head, Answer answer, std::optional<double> stamp);
    // Refused segments in a row after which no more heads are read for a part.
    static constexpr int mostRefusedInARow = 3;

private:
    struct Segment
    {
        double start = 0;
        QUrl uri;
        // Its head tells its first time stamp.
        bool readable = false;
        std::optional<std::pair<qint64, qint64>> range;
        QUrl mapUri;
        std::optional<std::pair<qint64, qint64>> mapRange;
        bool refused = false;
        // Refused for now: asked again by the next seek that needs it.
        bool refusedForNow = false;
        // Its head was served (and told what it could).
        bool headServed = false;
        [[nodiscard]] bool passedOver() const { return refused || refusedForNow; }
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
        // By the head of one of its segments, which tells better than where a load began.
        bool placedByHead = false;
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
    // Whether a seek to `item` can stay in the file libmpv holds: its part is placed, reached by
    // the reader (or cached), and no other part held shares its raw time.
    [[nodiscard]] bool seeksInPlace(double item, const QList<MediaTimeRange> &cached) const;
    // Where a load that starts at `item` begins: 0 for the whole playlist (a start in the first
    // part, or in a part the whole playlist reaches), else the start of the item's segment.
    [[nodiscard]] double loadStart(double item) const;
    [[nodiscard]] double readAheadFor(double item) const;
    // The join after the part is one libmpv cannot play across: both sides are fragmented MP4
    // and the next part's time stamps are not known to run on. FFmpeg's reader opens the next
    // part's first segment before its map, and libmpv's cache then holds pictures stamped below
    // the part before's last ones.
    [[nodiscard]] bool partsApart(int index) const;
    // Playback jumped to `raw`, the first position of the part after the one it was in.
    void enterNextPart(double raw);
    // The part holding `raw`, the current one first; -1 for none.
    [[nodiscard]] int partOfRaw(double raw) const;
    // The part's raw time stamps hold `raw`, at another time of the item than `item`.
    [[nodiscard]] bool sharesRaw(const Footing &footing, int index, double raw, double item) const;
    [[nodiscard]] bool reaches(
        const Footing &footing, int index, double item, const QList<MediaTimeRange> &cached) const;
    [[nodiscard]] Head headOf(size_t index) const;
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
    // Where that load ends, when before the item's end.
    std::optional<double> m_loadEnd;
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

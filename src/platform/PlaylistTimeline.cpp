#include "platform/PlaylistTimeline.h"

#include <algorithm>
#include <cmath>

namespace orvella {

namespace {
// Pictures and sound may run this far past a part's length in the playlist.
constexpr double partSlack = 1.0;
// Playback goes forward; a restart may report a little before the last position.
constexpr double backwardTolerance = 0.25;
// After a jump, positions go on from its first one within this.
constexpr double jumpConfirmation = 2.0;
// A landing this close to its target is there (under two pictures).
constexpr double landingPrecision = 0.05;
// Two parts share a raw time when their time stamps lie this far apart at most.
constexpr double sharedRawSlack = 0.1;
// FFmpeg's reader picks the segment of a seek from the playlist's durations counted from the
// first time stamp it read (which may differ from libmpv's zero by some milliseconds): the seek
// asks for a time this far inside its segment, so that segment is the one read.
constexpr double segmentMargin = 0.25;

bool contains(const QList<MediaTimeRange> &ranges, double time)
{
    return std::any_of(ranges.begin(), ranges.end(),
        [time](const MediaTimeRange &range) { return time >= range.start && time <= range.end(); });
}
} // namespace

bool PlaylistTimeline::Part::holds(double item) const
{
    return item >= start - partSlack && item <= end() + partSlack;
}

PlaylistTimeline::PlaylistTimeline(const HlsMediaPlaylist &playlist)
{
    // A live window keeps libmpv's time: its position is read inside the seekable window.
    if (!playlist.ended)
        return;
    double at = 0;
    for (const HlsSegment &segment : playlist.segments) {
        if (m_parts.empty() || segment.discontinuity)
            m_parts.push_back(
                { at, 0, std::nullopt, false, segment.sealed ? QUrl() : segment.uri });
        m_segmentStarts.push_back(at);
        m_segmentSequences.push_back(segment.sequence);
        if (std::isfinite(segment.duration) && segment.duration > 0)
            at += segment.duration;
        m_parts.back().length = at - m_parts.back().start;
    }
    if (m_parts.size() < 2) {
        *this = {};
        return;
    }
    m_length = at;
    m_segmentFailed.assign(m_segmentStarts.size(), false);
    // libmpv counts from the item's first time stamp.
    m_parts.front().offset = 0.0;
    m_parts.front().placed = true;
}

void PlaylistTimeline::observe(double raw)
{
    if (!isJoined() || m_target || !std::isfinite(raw))
        return;
    m_loadObserved = true;
    raw += m_origin;
    const auto fits = [this](int index, double item) {
        return m_parts[index].holds(item)
            && (!m_positionKnown || item >= m_position - backwardTolerance);
    };
    const int last = int(m_parts.size()) - 1;
    const Part &part = m_parts[m_part];
    const double item = raw - *part.offset;
    if (fits(m_part, item)) {
        // Past the part's end on time stamps that go on: the next part goes on with them.
        if (item > part.end() && m_part < last && !m_parts[m_part + 1].offset) {
            m_parts[m_part + 1].offset = part.offset;
            ++m_part;
        }
        m_jump.reset();
        moveTo(item);
        return;
    }
    if (m_part < last && m_parts[m_part + 1].offset) {
        if (const double next = raw - *m_parts[m_part + 1].offset; fits(m_part + 1, next)) {
            ++m_part;
            m_jump.reset();
            moveTo(next);
            return;
        }
    }
    // While libmpv restarts it reports its last seek's target for a moment: one just before the
    // last position is passed over, one further off may be a jump.
    if (m_positionKnown && item < m_position && item >= m_position - partSlack)
        return;
    // A jump into a part not placed yet: its first position is the one playback goes on from.
    if (m_jump && raw > *m_jump && raw <= *m_jump + jumpConfirmation) {
        enterNextPart(*std::exchange(m_jump, std::nullopt));
        observe(raw - m_origin);
        return;
    }
    m_jump = raw;
}

void PlaylistTimeline::enterNextPart(double raw)
{
    Part &part = m_parts[m_part];
    // The part's time stamps were taken over from the one before it, and playback had barely
    // entered it: it was still in the part before, and this is where the part starts.
    if (!part.placed && m_position < part.start + partSlack) {
        part.offset = raw - firstPlayedSegmentStart(part.start);
        part.placed = true;
        return;
    }
    part.placed = true;
    if (m_part + 1 >= int(m_parts.size()))
        return;
    Part &next = m_parts[++m_part];
    next.offset = raw - firstPlayedSegmentStart(next.start);
    next.placed = true;
}

void PlaylistTimeline::moveTo(double item)
{
    m_position = std::clamp(item, 0.0, m_length);
    m_positionKnown = true;
}

int PlaylistTimeline::partAt(double item) const
{
    const auto after = std::upper_bound(m_parts.begin(), m_parts.end(), item,
        [](double time, const Part &part) { return time < part.start; });
    return std::max(0, int(after - m_parts.begin()) - 1);
}

double PlaylistTimeline::segmentStartAt(double item) const
{
    const auto after = std::upper_bound(m_segmentStarts.begin(), m_segmentStarts.end(), item);
    return after == m_segmentStarts.begin() ? 0.0 : *std::prev(after);
}

int PlaylistTimeline::partOfRaw(double raw) const
{
    if (m_parts[m_part].holds(raw - *m_parts[m_part].offset))
        return m_part;
    // Only the parts of the load: those before its start share its footing only by chance.
    for (int i = m_firstPart; i < int(m_parts.size()); ++i) {
        if (m_parts[i].offset && m_parts[i].holds(raw - *m_parts[i].offset))
            return i;
    }
    return -1;
}

double PlaylistTimeline::itemTime(double raw) const
{
    return isJoined() ? itemTimeOnFooting(raw + m_origin) : raw;
}

double PlaylistTimeline::itemTimeOnFooting(double raw) const
{
    if (const int index = partOfRaw(raw); index >= 0)
        return std::clamp(raw - *m_parts[index].offset, 0.0, m_length);
    // Read ahead into a part not placed yet: what is known of it ends with the current part.
    const Part &part = m_parts[m_part];
    return std::clamp(raw - *part.offset, std::max(part.start, m_origin), part.end());
}

QList<MediaTimeRange> PlaylistTimeline::onFooting(const QList<MediaTimeRange> &raw) const
{
    QList<MediaTimeRange> ranges;
    for (const MediaTimeRange &range : raw)
        ranges.append({ range.start + m_origin, range.duration });
    return ranges;
}

QList<MediaTimeRange> PlaylistTimeline::itemRanges(const QList<MediaTimeRange> &raw) const
{
    if (!isJoined())
        return raw;
    QList<MediaTimeRange> ranges;
    for (const MediaTimeRange &range : onFooting(raw)) {
        const double start = itemTimeOnFooting(range.start);
        ranges.append({ start, std::max(0.0, itemTimeOnFooting(range.end()) - start) });
    }
    return ranges;
}

PlaylistTimeline::Seek PlaylistTimeline::seekTo(double item, const QList<MediaTimeRange> &cached)
{
    if (!isJoined())
        return { item, 0 };
    item = std::clamp(item, m_origin, m_length);
    m_target = item;
    m_jump.reset();
    m_landingSegment.reset();
    const int index = partAt(item);
    if (m_parts[index].placed) {
        const Seek seek = placedSeek(item, onFooting(cached));
        return { seek.raw - m_origin, seek.demuxerOffset };
    }
    // FFmpeg's reader opens the segment the playlist's durations give and libmpv shows its first
    // picture (the part's time stamps lying past the item's own, as a joined part's do): where
    // it lands places the part.
    m_landingSegment = segmentStartAt(item);
    return { insideSegment(item) - m_origin, 0 };
}

double PlaylistTimeline::insideSegment(double item) const
{
    const double start = segmentStartAt(item);
    const auto next = std::upper_bound(m_segmentStarts.begin(), m_segmentStarts.end(), start);
    const double end = next == m_segmentStarts.end() ? m_length : *next;
    const double margin = std::min(segmentMargin, (end - start) / 4);
    return std::clamp(item, start + margin, std::max(start + margin, end - margin));
}

PlaylistTimeline::Seek PlaylistTimeline::placedSeek(
    double item, const QList<MediaTimeRange> &cached) const
{
    const double offset = *m_parts[partAt(item)].offset;
    const double raw = item + offset;
    // libmpv seeks inside its cache on raw time. Beyond it FFmpeg's reader seeks by the
    // playlist's durations: libmpv asks it for the item's time inside the target's segment and
    // drops the pictures before the raw one.
    if (offset <= 0 || contains(cached, raw))
        return { raw, 0 };
    return { raw, std::max(0.0, raw - insideSegment(item)) };
}

std::optional<PlaylistTimeline::Seek> PlaylistTimeline::landed(
    double raw, const QList<MediaTimeRange> &cached)
{
    if (!m_target)
        return std::nullopt;
    m_loadObserved = true;
    raw += m_origin;
    const double target = *m_target;
    const int index = partAt(target);
    const auto start = std::exchange(m_landingSegment, std::nullopt);
    // Landed inside another part that is placed: the reader could not seek, nothing is learnt.
    const int other = partOfRaw(raw);
    if (start && (other < 0 || other == index || !m_parts[other].placed)) {
        Part &part = m_parts[index];
        const double landing = firstPlayedSegmentStart(*start);
        part.offset = raw - landing;
        part.placed = true;
        m_part = index;
        if (target - landing > landingPrecision) {
            const Seek seek = placedSeek(target, onFooting(cached));
            return Seek { seek.raw - m_origin, seek.demuxerOffset };
        }
    }
    m_target.reset();
    m_jump.reset();
    if (m_parts[index].offset && m_parts[index].holds(raw - *m_parts[index].offset))
        m_part = index;
    else if (const int found = partOfRaw(raw); found >= 0)
        m_part = found;
    moveTo(raw - *m_parts[m_part].offset);
    return std::nullopt;
}

void PlaylistTimeline::seekEnded()
{
    m_target.reset();
    m_landingSegment.reset();
}

void PlaylistTimeline::keepLearnt(const PlaylistTimeline &earlier)
{
    if (!isJoined() || earlier.m_parts.size() != m_parts.size())
        return;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        if (std::abs(earlier.m_parts[i].start - m_parts[i].start) > partSlack)
            return;
    }
    for (size_t i = 0; i < m_parts.size(); ++i) {
        m_parts[i].offset = earlier.m_parts[i].offset;
        m_parts[i].placed = earlier.m_parts[i].placed;
    }
    m_part = earlier.m_part;
    m_origin = earlier.m_origin;
    m_firstPart = earlier.m_firstPart;
    m_segmentFailed = earlier.m_segmentFailed;
    m_position = earlier.m_position;
    m_positionKnown = earlier.m_positionKnown;
}

bool PlaylistTimeline::sharesRaw(int index, double raw, double item) const
{
    const Part &part = m_parts[index];
    if (!part.offset)
        return false;
    const double there = raw - *part.offset;
    return std::abs(there - item) > landingPrecision && there >= part.start - sharedRawSlack
        && there <= part.end() + sharedRawSlack;
}

bool PlaylistTimeline::reachesInPlace(
    int index, double item, const QList<MediaTimeRange> &cached) const
{
    const Part &part = m_parts[index];
    if (!part.placed)
        return false;
    const double raw = item + *part.offset;
    // libmpv's cache and FFmpeg's reader both go by the raw time: one another part holds too
    // may be served from that part.
    for (int other = m_firstPart; other < int(m_parts.size()); ++other) {
        if (other != index && sharesRaw(other, raw, item))
            return false;
    }
    // Outside the cache the reader picks the segment by the playlist's durations and passes over
    // every time stamp before the one asked: a part on time stamps below its place is not reached.
    return contains(cached, raw) || *part.offset >= -landingPrecision;
}

bool PlaylistTimeline::seeksInPlace(double item, const QList<MediaTimeRange> &cached) const
{
    if (!isJoined())
        return true;
    item = std::clamp(item, 0.0, m_length);
    if (item < m_origin)
        return false;
    return reachesInPlace(partAt(item), item, onFooting(cached));
}

double PlaylistTimeline::loadStart(double item) const
{
    if (!isJoined())
        return 0;
    item = std::clamp(item, 0.0, m_length);
    const int index = partAt(item);
    if (index == 0 || (m_origin == 0 && reachesInPlace(index, item, {})))
        return 0;
    return segmentStartAt(item);
}

void PlaylistTimeline::beginLoad(double origin)
{
    if (!isJoined())
        return;
    origin = std::clamp(origin, 0.0, m_length);
    const int first = partAt(origin);
    m_firstSegment = size_t(
        std::lower_bound(m_segmentStarts.begin(), m_segmentStarts.end(), origin - landingPrecision)
        - m_segmentStarts.begin());
    m_loadObserved = false;
    if (origin == m_origin)
        return;
    // The new load's raw time is the old one's less the offset of the part it begins in.
    const std::optional<double> base = m_parts[first].offset;
    for (int i = 0; i < int(m_parts.size()); ++i) {
        Part &part = m_parts[i];
        if (i == first) {
            part.offset = 0.0;
            part.placed = true;
        } else if (base && part.offset) {
            *part.offset -= *base;
        } else {
            part.offset.reset();
            part.placed = false;
        }
    }
    m_origin = origin;
    m_firstPart = first;
    m_part = first;
    m_jump.reset();
    m_landingSegment.reset();
}

std::optional<PlaylistTimeline::UnplacedPart> PlaylistTimeline::unplacedPartAt(double item) const
{
    if (!isJoined())
        return std::nullopt;
    item = std::clamp(item, 0.0, m_length);
    const int index = partAt(item);
    if (item < m_origin || index == m_firstPart || m_parts[index].placed)
        return std::nullopt;
    return UnplacedPart { index, m_parts[index].head };
}

bool PlaylistTimeline::reachesUnplaced(int index, double raw) const
{
    // Read from a segment's head, the stamp may be a stream's other than libmpv's first.
    constexpr double readingSlack = 0.5;
    const Part &part = m_parts[index];
    const double offset = raw + m_origin - part.start;
    if (offset < -readingSlack)
        return false;
    for (int other = m_firstPart; other < int(m_parts.size()); ++other) {
        const Part &held = m_parts[other];
        if (other == index || !held.offset)
            continue;
        const double overlap = std::min(part.end() + offset, held.end() + *held.offset)
            - std::max(part.start + offset, held.start + *held.offset);
        if (overlap > readingSlack)
            return false;
    }
    return true;
}

void PlaylistTimeline::segmentFailed(qint64 sequence)
{
    const auto found = std::find(m_segmentSequences.begin(), m_segmentSequences.end(), sequence);
    if (found == m_segmentSequences.end())
        return;
    const size_t index = size_t(found - m_segmentSequences.begin());
    m_segmentFailed[index] = true;
    // The load's first segment failed before anything played: libmpv counts from the next one.
    if (index == m_firstSegment && !m_loadObserved && index + 1 < m_segmentStarts.size()
        && m_segmentStarts[index + 1] < m_parts[m_firstPart].end()) {
        ++m_firstSegment;
        m_origin = m_segmentStarts[m_firstSegment];
    }
}

double PlaylistTimeline::firstPlayedSegmentStart(double segmentStart) const
{
    auto at = std::lower_bound(m_segmentStarts.begin(), m_segmentStarts.end(), segmentStart);
    size_t index = size_t(at - m_segmentStarts.begin());
    // Only within the part: its picture begins at the first segment the reader opened.
    const double partEnd = m_parts[partAt(segmentStart)].end();
    while (index + 1 < m_segmentStarts.size() && m_segmentFailed[index]
        && m_segmentStarts[index + 1] < partEnd)
        ++index;
    return index < m_segmentStarts.size() ? m_segmentStarts[index] : segmentStart;
}

} // namespace orvella

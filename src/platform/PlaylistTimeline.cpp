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
            m_parts.push_back({ at, 0, std::nullopt, false });
        m_segmentStarts.push_back(at);
        if (std::isfinite(segment.duration) && segment.duration > 0)
            at += segment.duration;
        m_parts.back().length = at - m_parts.back().start;
    }
    if (m_parts.size() < 2) {
        *this = {};
        return;
    }
    m_length = at;
    // libmpv counts from the item's first time stamp.
    m_parts.front().offset = 0.0;
    m_parts.front().placed = true;
}

void PlaylistTimeline::observe(double raw)
{
    if (!isJoined() || m_target || !std::isfinite(raw))
        return;
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
        observe(raw);
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
        part.offset = raw - part.start;
        part.placed = true;
        return;
    }
    part.placed = true;
    if (m_part + 1 >= int(m_parts.size()))
        return;
    Part &next = m_parts[++m_part];
    next.offset = raw - next.start;
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
    for (int i = 0; i < int(m_parts.size()); ++i) {
        if (m_parts[i].offset && m_parts[i].holds(raw - *m_parts[i].offset))
            return i;
    }
    return -1;
}

double PlaylistTimeline::itemTime(double raw) const
{
    if (!isJoined())
        return raw;
    const int index = partOfRaw(raw);
    return std::clamp(raw - *m_parts[index < 0 ? m_part : index].offset, 0.0, m_length);
}

QList<MediaTimeRange> PlaylistTimeline::itemRanges(const QList<MediaTimeRange> &raw) const
{
    if (!isJoined())
        return raw;
    QList<MediaTimeRange> ranges;
    for (const MediaTimeRange &range : raw) {
        const double start = itemTime(range.start);
        ranges.append({ start, std::max(0.0, itemTime(range.end()) - start) });
    }
    return ranges;
}

PlaylistTimeline::Seek PlaylistTimeline::seekTo(double item, const QList<MediaTimeRange> &cached)
{
    if (!isJoined())
        return { item, 0 };
    item = std::clamp(item, 0.0, m_length);
    m_target = item;
    m_jump.reset();
    m_landingSegment.reset();
    const int index = partAt(item);
    if (m_parts[index].placed)
        return placedSeek(item, cached);
    // FFmpeg's reader opens the segment the playlist's durations give and libmpv shows its first
    // picture (the part's time stamps lying past the item's own, as a joined part's do): where
    // it lands places the part.
    m_landingSegment = segmentStartAt(item);
    return { insideSegment(item), 0 };
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
    const double target = *m_target;
    const int index = partAt(target);
    const auto start = std::exchange(m_landingSegment, std::nullopt);
    // Landed inside another part that is placed: the reader could not seek, nothing is learnt.
    const int other = partOfRaw(raw);
    if (start && (other < 0 || other == index || !m_parts[other].placed)) {
        Part &part = m_parts[index];
        part.offset = raw - *start;
        part.placed = true;
        m_part = index;
        if (target - *start > landingPrecision)
            return placedSeek(target, cached);
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
    m_position = earlier.m_position;
    m_positionKnown = earlier.m_positionKnown;
}

} // namespace orvella

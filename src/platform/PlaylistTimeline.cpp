#include "platform/PlaylistTimeline.h"

#include "platform/PlaylistTimelineTolerances.h"

#include <algorithm>
#include <cmath>

namespace orvella {

using namespace timelinetolerances;

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
    bool fragmented = false;
    for (const HlsSegment &segment : playlist.segments) {
        if (m_parts.empty() || segment.discontinuity)
            m_parts.push_back({ at, 0, m_segments.size(), segment.fragmented, {}, false, false });
        // MPEG-TS of its own, or fragmented MP4 in the clear with a map on the web.
        const bool readable = !segment.sealed
            || (segment.fragmented && !segment.encrypted && !segment.mapUri.isEmpty());
        m_segments.push_back(
            { at, segment.uri, readable, segment.byteRange, segment.mapUri, segment.mapRange });
        fragmented = fragmented || segment.fragmented;
        if (std::isfinite(segment.duration) && segment.duration > 0)
            at += segment.duration;
        m_parts.back().length = at - m_parts.back().start;
    }
    if (m_parts.size() < 2 && !fragmented) {
        *this = {};
        return;
    }
    m_length = at;
}

PlaylistTimeline::Footing PlaylistTimeline::current() const
{
    if (m_loadStamp)
        return { m_firstPart, m_origin, m_loadStamp };
    // Before its file opens, a load is expected to count from its first segment's stamp.
    const Part &first = m_parts[m_firstPart];
    if (first.stamp)
        return { m_firstPart, m_origin, *first.stamp + (m_origin - first.start) };
    return { m_firstPart, m_origin, std::nullopt };
}

PlaylistTimeline::Footing PlaylistTimeline::whole() const
{
    return { 0, 0, m_parts.front().stamp };
}

std::optional<double> PlaylistTimeline::offsetOn(const Footing &footing, int index) const
{
    const Part &part = m_parts[index];
    if (!footing.anchor || !part.stamp)
        return index == footing.firstPart ? std::optional(0.0) : std::nullopt;
    return *part.stamp - part.start - *footing.anchor + footing.origin;
}

void PlaylistTimeline::setOffset(int index, double offset, bool placed)
{
    if (!current().anchor) {
        // Nothing told where the load's stamps lie: they are counted from its first one.
        m_loadStamp = 0.0;
        m_parts[m_firstPart].stamp = m_parts[m_firstPart].start - m_origin;
    }
    const Footing footing = current();
    Part &part = m_parts[index];
    part.stamp = offset + part.start + footing.anchor.value_or(0) - footing.origin;
    part.placed = placed;
}

void PlaylistTimeline::observe(double raw)
{
    if (!keepsTime() || m_target || !std::isfinite(raw))
        return;
    raw += m_origin;
    const auto fits = [this](int index, double item) {
        return m_parts[index].holds(item)
            && (!m_positionKnown || item >= m_position - backwardTolerance);
    };
    const int last = int(m_parts.size()) - 1;
    const Part &part = m_parts[m_part];
    const double here = offset(m_part).value_or(0);
    const double item = raw - here;
    if (fits(m_part, item)) {
        // Past the part's end on time stamps that go on: the next part goes on with them.
        if (item > part.end() && m_part < last && !offset(m_part + 1)) {
            setOffset(m_part + 1, here, false);
            ++m_part;
        }
        m_jump.reset();
        moveTo(item);
        return;
    }
    // While libmpv restarts it reports its last seek's target or landing for a moment: one just
    // before the last position is passed over, one further off may be a jump.
    if (m_positionKnown && item < m_position
        && (item >= m_position - partSlack
            || std::any_of(m_restarts.begin(), m_restarts.end(),
                [raw](double at) { return std::abs(raw - at) < landingPrecision; })))
        return;
    if (m_part < last) {
        if (const auto next = offset(m_part + 1); next && fits(m_part + 1, raw - *next)) {
            ++m_part;
            m_jump.reset();
            moveTo(raw - *next);
            return;
        }
    }
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
        setOffset(m_part, raw - firstPlayedSegmentStart(part.start), true);
        return;
    }
    part.placed = true;
    if (m_part + 1 >= int(m_parts.size()))
        return;
    ++m_part;
    setOffset(m_part, raw - firstPlayedSegmentStart(m_parts[m_part].start), true);
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

size_t PlaylistTimeline::segmentAt(double item) const
{
    const auto after = std::upper_bound(m_segments.begin(), m_segments.end(), item,
        [](double time, const Segment &segment) { return time < segment.start; });
    return after == m_segments.begin() ? 0 : size_t(after - m_segments.begin()) - 1;
}

double PlaylistTimeline::segmentStartAt(double item) const
{
    return m_segments.empty() ? 0.0 : m_segments[segmentAt(item)].start;
}

int PlaylistTimeline::partOfRaw(double raw) const
{
    if (const auto here = offset(m_part); here && m_parts[m_part].holds(raw - *here))
        return m_part;
    // Only the parts of the load: those before its start share its footing only by chance.
    for (int i = m_firstPart; i < int(m_parts.size()); ++i) {
        if (const auto there = offset(i); there && m_parts[i].holds(raw - *there))
            return i;
    }
    return -1;
}

double PlaylistTimeline::itemTime(double raw) const
{
    return keepsTime() ? itemTimeOnFooting(raw + m_origin) : raw;
}

double PlaylistTimeline::itemTimeOnFooting(double raw) const
{
    if (const int index = partOfRaw(raw); index >= 0)
        return std::clamp(raw - *offset(index), 0.0, m_length);
    // Read ahead into a part not placed yet: what is known of it ends with the current part.
    const Part &part = m_parts[m_part];
    return std::clamp(raw - offset(m_part).value_or(0), std::max(part.start, m_origin), part.end());
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
    if (!keepsTime())
        return raw;
    QList<MediaTimeRange> ranges;
    for (const MediaTimeRange &range : onFooting(raw)) {
        const double start = itemTimeOnFooting(range.start);
        ranges.append({ start, std::max(0.0, itemTimeOnFooting(range.end()) - start) });
    }
    return ranges;
}

void PlaylistTimeline::aim(double item)
{
    if (!keepsTime())
        return;
    m_target = std::clamp(item, 0.0, m_length);
    m_jump.reset();
    m_onward = false;
    // A segment refused for now is asked again by the seek that needs it.
    for (Segment &segment : m_segments)
        segment.refusedForNow = false;
}

PlaylistTimeline::Seek PlaylistTimeline::seekTo(double item, const QList<MediaTimeRange> &cached)
{
    if (!keepsTime())
        return { item, 0 };
    item = std::clamp(item, m_origin, m_length);
    aim(item);
    const Seek seek = placedSeek(item, onFooting(cached));
    m_restarts = { seek.raw, seek.raw };
    return { seek.raw - m_origin, seek.demuxerOffset, seek.cacheOnly };
}

void PlaylistTimeline::seekSent(const Seek &seek)
{
    if (keepsTime())
        m_restarts = { seek.raw + m_origin, seek.raw + m_origin };
}

std::optional<PlaylistTimeline::Seek> PlaylistTimeline::landed(double raw)
{
    if (!m_target)
        return std::nullopt;
    raw += m_origin;
    const double target = *m_target;
    const int index = partAt(target);
    int at = index;
    if (const auto there = offset(index); !there || !m_parts[index].holds(raw - *there))
        at = partOfRaw(raw);
    if (at < 0)
        at = m_part;
    const double landing = raw - offset(at).value_or(0);
    // A fragmented part's reader starts at its segment's first picture: libmpv's cache takes
    // the seek the rest of the way once it holds the target.
    if (at == index && m_parts[index].fragmented && !m_onward
        && target - landing > landingPrecision) {
        m_onward = true;
        return Seek { target + offset(index).value_or(0) - m_origin, 0, true };
    }
    m_target.reset();
    m_jump.reset();
    m_onward = false;
    m_part = at;
    m_restarts[1] = raw;
    moveTo(landing);
    return std::nullopt;
}

void PlaylistTimeline::seekEnded()
{
    m_target.reset();
    m_onward = false;
}

void PlaylistTimeline::keepLearnt(const PlaylistTimeline &earlier)
{
    if (!keepsTime() || earlier.m_parts.size() != m_parts.size())
        return;
    for (size_t i = 0; i < m_parts.size(); ++i) {
        if (std::abs(earlier.m_parts[i].start - m_parts[i].start) > partSlack)
            return;
    }
    for (size_t i = 0; i < m_parts.size(); ++i) {
        m_parts[i].stamp = earlier.m_parts[i].stamp;
        m_parts[i].placed = earlier.m_parts[i].placed;
        m_parts[i].placedByHead = earlier.m_parts[i].placedByHead;
    }
    // What is known of segments holds only for the same segments: another variant's are others.
    const bool sameSegments = std::equal(m_segments.begin(), m_segments.end(),
        earlier.m_segments.begin(), earlier.m_segments.end(),
        [](const Segment &a, const Segment &b) { return a.start == b.start && a.uri == b.uri; });
    if (sameSegments)
        m_segments = earlier.m_segments;
    // mpv plays the earlier file until this one's load goes out.
    m_origin = earlier.m_origin;
    m_loadEnd = earlier.m_loadEnd;
    m_firstPart = earlier.m_firstPart;
    m_loadStamp = earlier.m_loadStamp;
    m_part = earlier.m_part;
    m_position = earlier.m_position;
    m_positionKnown = earlier.m_positionKnown;
    m_target = earlier.m_target;
}

void PlaylistTimeline::beginLoad(double origin, std::optional<double> until)
{
    if (!keepsTime())
        return;
    m_origin = std::clamp(origin, 0.0, m_length);
    m_loadEnd = until && *until < m_length ? until : std::nullopt;
    m_firstPart = partAt(m_origin);
    m_part = m_firstPart;
    m_loadStamp.reset();
    m_jump.reset();
    m_onward = false;
    m_restarts = { NAN, NAN };
}

void PlaylistTimeline::fileLoaded(std::optional<double> startStamp)
{
    if (!keepsTime())
        return;
    Part &first = m_parts[m_firstPart];
    if (!startStamp || !std::isfinite(*startStamp)) {
        if (const Footing footing = current(); footing.anchor) {
            m_loadStamp = footing.anchor;
            return;
        }
        // Nothing places this load among what other loads learnt: that is dropped.
        for (Part &part : m_parts) {
            part.stamp.reset();
            part.placed = false;
            part.placedByHead = false;
        }
        startStamp = 0.0;
    }
    m_loadStamp = startStamp;
    if (first.stamp && first.placed) {
        // The reader starts later in the part than the load: it passed over its first segments.
        // One that starts earlier tells the part's stamps are not where they were thought to be.
        const double begins = first.start + (*startStamp - *first.stamp);
        if (begins > m_origin + passedOverSlack && begins < first.end()) {
            m_origin = begins;
            return;
        }
        if (begins > m_origin - passedOverSlack)
            return;
    }
    m_origin = std::max(m_origin, firstPlayedSegmentStart(segmentStartAt(m_origin)));
    first.stamp = *startStamp - (m_origin - first.start);
    first.placed = true;
}

size_t PlaylistTimeline::firstServedSegment(size_t index) const
{
    const double partEnd = m_parts[partAt(m_segments[index].start)].end();
    while (index + 1 < m_segments.size() && m_segments[index].passedOver()
        && m_segments[index + 1].start < partEnd)
        ++index;
    return index;
}

double PlaylistTimeline::firstPlayedSegmentStart(double segmentStart) const
{
    if (m_segments.empty())
        return segmentStart;
    return m_segments[firstServedSegment(segmentAt(segmentStart))].start;
}

std::optional<PlaylistTimeline::Head> PlaylistTimeline::headForSeek(double item) const
{
    if (!isJoined())
        return std::nullopt;
    item = std::clamp(item, 0.0, m_length);
    if (m_parts[partAt(item)].placed)
        return std::nullopt;
    const size_t index = firstServedSegment(segmentAt(item));
    const Segment &segment = m_segments[index];
    if (segment.passedOver() || segment.headServed)
        return std::nullopt;
    return headOf(index);
}

PlaylistTimeline::Head PlaylistTimeline::headOf(size_t index) const
{
    const Segment &segment = m_segments[index];
    return { index, segment.uri, segment.readable, segment.range, segment.mapUri,
        segment.mapRange };
}

std::optional<PlaylistTimeline::Head> PlaylistTimeline::headAhead() const
{
    if (!isJoined() || m_part + 1 >= int(m_parts.size()) || m_parts[m_part + 1].placed)
        return std::nullopt;
    const size_t first = m_parts[m_part + 1].firstSegment;
    const size_t index = firstServedSegment(first);
    const Segment &segment = m_segments[index];
    if (segment.passedOver() || index - first >= size_t(mostRefusedInARow))
        return std::nullopt;
    return headOf(index);
}

void PlaylistTimeline::headRead(const Head &head, Answer answer, std::optional<double> stamp)
{
    // Read for another variant's segments.
    if (head.segment >= m_segments.size() || m_segments[head.segment].uri != head.url)
        return;
    Segment &segment = m_segments[head.segment];
    if (answer != Answer::Served) {
        (answer == Answer::Refused ? segment.refused : segment.refusedForNow) = true;
        return;
    }
    segment.headServed = true;
    // A part placed by where a load began is placed again: that load may have passed over its
    // first segments.
    Part &part = m_parts[partAt(segment.start)];
    if (!stamp || !std::isfinite(*stamp) || !segment.readable || part.placedByHead)
        return;
    part.stamp = *stamp - (segment.start - part.start);
    part.placed = true;
    part.placedByHead = true;
}

} // namespace orvella

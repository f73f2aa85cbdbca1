// How a seek or a start goes to a time of the item: in the file libmpv holds, after a head
// read, or by a load, and where such a load starts and ends.
#include "platform/PlaylistTimeline.h"
#include "platform/PlaylistTimelineTolerances.h"

#include <algorithm>
#include <cmath>

namespace orvella {

using namespace timelinetolerances;

PlaylistTimeline::Plan PlaylistTimeline::plan(
    double item, const QList<MediaTimeRange> &cached, bool fileOpen, bool headsAllowed) const
{
    if (!keepsTime())
        return { Plan::Step::InFile, { item, 0 }, std::nullopt, {} };
    item = std::clamp(item, 0.0, m_length);
    if (fileOpen && seeksInPlace(item, cached)) {
        Seek seek = placedSeek(item, onFooting(cached));
        seek.raw -= m_origin;
        return { Plan::Step::InFile, seek, std::nullopt, {} };
    }
    if (fileOpen && headsAllowed) {
        if (auto head = headForSeek(item))
            return { Plan::Step::ReadHead, {}, std::move(head), {} };
    }
    return { Plan::Step::Load, {}, std::nullopt, loadFor(item) };
}

PlaylistTimeline::Load PlaylistTimeline::loadFor(double item) const
{
    if (!keepsTime())
        return {};
    item = std::clamp(item, 0.0, m_length);
    Load load { loadStart(item), std::nullopt, readAheadFor(item) };
    for (int index = partAt(load.from); index + 1 < int(m_parts.size()); ++index) {
        if (partsApart(index)) {
            load.until = m_parts[index].end();
            break;
        }
    }
    return load;
}

bool PlaylistTimeline::partsApart(int index) const
{
    const Part &part = m_parts[index];
    const Part &next = m_parts[index + 1];
    if (!part.fragmented || !next.fragmented)
        return false;
    const bool runsOn = part.stamp && next.stamp && next.placed
        && *next.stamp >= *part.stamp + part.length - sharedRawSlack;
    return !runsOn;
}

double PlaylistTimeline::insideSegment(double item) const
{
    const size_t index = segmentAt(item);
    const double start = m_segments[index].start;
    const double end = index + 1 < m_segments.size() ? m_segments[index + 1].start : m_length;
    const double margin = std::min(segmentMargin, (end - start) / 4);
    return std::clamp(item, start + margin, std::max(start + margin, end - margin));
}

PlaylistTimeline::Seek PlaylistTimeline::placedSeek(
    double item, const QList<MediaTimeRange> &cached) const
{
    const int index = partAt(item);
    // A part not placed (only where nothing better is known) is asked for by its segment.
    const auto known = offset(index);
    if (!known)
        return { insideSegment(item), 0 };
    const double raw = item + *known;
    if (m_parts[index].fragmented)
        return { raw, 0, true };
    // libmpv seeks inside its cache on raw time. Beyond it FFmpeg's reader seeks by the
    // playlist's durations: libmpv asks it for the item's time inside the target's segment (or
    // the one before) and drops the pictures before the raw one. The load's first part is
    // stamped from where those durations count.
    if (index == m_firstPart || rangesHold(cached, raw))
        return { raw, 0 };
    const size_t segment = segmentAt(item);
    const double asked = *known >= keyFrameLead || segment == 0
        ? insideSegment(item)
        : insideSegment(m_segments[segment - 1].start);
    return { raw, std::max(0.0, raw - asked) };
}

bool PlaylistTimeline::sharesRaw(const Footing &footing, int index, double raw, double item) const
{
    const auto offset = offsetOn(footing, index);
    if (!offset)
        return false;
    const Part &part = m_parts[index];
    const double there = raw - *offset;
    return std::abs(there - item) > landingPrecision && there >= part.start - sharedRawSlack
        && there <= part.end() + sharedRawSlack;
}

bool PlaylistTimeline::reaches(
    const Footing &footing, int index, double item, const QList<MediaTimeRange> &cached) const
{
    const Part &part = m_parts[index];
    const auto offset = offsetOn(footing, index);
    if (!part.placed || !offset)
        return false;
    const double raw = item + *offset;
    // libmpv's cache and FFmpeg's reader both go by the raw time: one another part holds too
    // may be served from that part.
    for (int other = footing.firstPart; other < int(m_parts.size()); ++other) {
        if (other != index && sharesRaw(footing, other, raw, item))
            return false;
    }
    // FFmpeg's reader cannot seek inside fragmented MP4: only the cache reaches it.
    if (part.fragmented)
        return rangesHold(cached, raw);
    // Outside the cache the reader picks the segment by the playlist's durations and passes over
    // every time stamp before the one asked: a part on time stamps below its place is not reached.
    return rangesHold(cached, raw) || index == footing.firstPart || *offset >= -reachBelow;
}

bool PlaylistTimeline::seeksInPlace(double item, const QList<MediaTimeRange> &cached) const
{
    if (!keepsTime())
        return true;
    item = std::clamp(item, 0.0, m_length);
    if (item < m_origin || (m_loadEnd && item >= *m_loadEnd))
        return false;
    return reaches(current(), partAt(item), item, onFooting(cached));
}

double PlaylistTimeline::loadStart(double item) const
{
    if (!keepsTime())
        return 0;
    item = std::clamp(item, 0.0, m_length);
    const int index = partAt(item);
    if (m_parts[index].fragmented)
        return segmentStartAt(item);
    if (index == 0 || (m_parts.front().placed && reaches(whole(), index, item, {})))
        return 0;
    return segmentStartAt(item);
}

double PlaylistTimeline::readAheadFor(double item) const
{
    if (!keepsTime())
        return 0;
    item = std::clamp(item, 0.0, m_length);
    if (!m_parts[partAt(item)].fragmented)
        return 0;
    const size_t index = segmentAt(item);
    const double end = index + 2 < m_segments.size() ? m_segments[index + 2].start : m_length;
    return end - loadStart(item) + cacheReachMargin;
}

} // namespace orvella

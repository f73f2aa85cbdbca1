#include "support/LivePlaylist.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace orvella::test {

namespace {

struct Segment
{
    QList<QByteArray> lines; // the tags before the URI, then the URI
};

bool isWindowTag(const QByteArray &line)
{
    // Tags the window writes itself.
    return line.startsWith("#EXT-X-MEDIA-SEQUENCE") || line.startsWith("#EXT-X-PLAYLIST-TYPE")
        || line.startsWith("#EXT-X-ENDLIST") || line.startsWith("#EXT-X-DISCONTINUITY-SEQUENCE");
}

} // namespace

QByteArray liveWindow(const QByteArray &completePlaylist, qint64 elapsedMs, int window, bool loops)
{
    QList<QByteArray> header;
    QList<Segment> segments;
    Segment pending;
    bool inSegments = false;
    double segmentSeconds = 0;
    for (QByteArray line : completePlaylist.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || isWindowTag(line))
            continue;
        if (line.startsWith("#EXTINF:")) {
            inSegments = true;
            if (segmentSeconds <= 0)
                segmentSeconds = line.mid(8, line.indexOf(',') - 8).toDouble();
        }
        if (!inSegments) {
            header.append(line);
            continue;
        }
        pending.lines.append(line);
        if (!line.startsWith('#')) {
            segments.append(pending);
            pending = {};
        }
    }
    const qsizetype count = segments.size();
    if (count == 0 || segmentSeconds <= 0)
        return completePlaylist;

    window = int(std::clamp<qsizetype>(window, 1, count));
    const qint64 segmentMs = std::max<qint64>(1, std::llround(segmentSeconds * 1000));
    qint64 first = std::max<qint64>(0, elapsedMs) / segmentMs;
    bool ended = false;
    if (!loops) {
        // The last window stays until its last segment has played out, then the stream ends.
        ended = first >= count;
        first = std::min<qint64>(first, count - window);
    }
    const qint64 discontinuitiesBefore = first > 0 ? (first - 1) / count : 0;

    QByteArray out;
    for (const QByteArray &line : header)
        out += line + '\n';
    out += "#EXT-X-MEDIA-SEQUENCE:" + QByteArray::number(first) + '\n';
    if (loops)
        out += "#EXT-X-DISCONTINUITY-SEQUENCE:" + QByteArray::number(discontinuitiesBefore) + '\n';
    for (qint64 index = first; index < first + window; ++index) {
        if (index > 0 && index % count == 0)
            out += "#EXT-X-DISCONTINUITY\n";
        for (const QByteArray &line : segments[index % count].lines)
            out += line + '\n';
    }
    if (ended)
        out += "#EXT-X-ENDLIST\n";
    return out;
}

} // namespace orvella::test

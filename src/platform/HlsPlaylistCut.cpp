#include "platform/HlsPlaylistCut.h"

#include "platform/HlsPlaylist.h"

#include <QByteArrayList>
#include <algorithm>
#include <cmath>
#include <vector>

namespace orvella {

namespace {

// A segment starting this close before `until` is past it (durations are written rounded).
constexpr double untilSlack = 0.001;

bool hasTag(const QByteArray &line, const char *tag)
{
    return line.startsWith(tag);
}

struct Segment
{
    qsizetype uriLine = 0;
    double duration = 0;
    qint64 sequence = 0;
    bool web = false;
    // Its byte range's offset, explicit or following the segment before.
    std::optional<qint64> rangeOffset;
    // Where it starts by the durations of the web segments before it.
    double start = 0;
};

// A tag's URI attributes made absolute; none when one names no web address. The attributes are
// those FFmpeg's reader finds (`readHlsAttributes`), so no URI it would open escapes the check,
// and each value is written quoted in its place, holding no quote or backslash, so the rest of
// the line reads as before. A tag without one stays as it is.
std::optional<QByteArray> withAbsoluteUri(const QByteArray &line, const QUrl &base)
{
    const qsizetype colon = line.indexOf(':');
    if (colon < 0 || !line.contains("URI="))
        return line;
    const qsizetype list = colon + 1;
    QByteArray result;
    qsizetype copied = 0;
    for (const HlsAttribute &attribute : readHlsAttributes(QByteArrayView(line).sliced(list))) {
        if (attribute.name != "URI")
            continue;
        const QUrl resolved = base.resolved(QUrl(QString::fromUtf8(attribute.value)));
        const QByteArray encoded = resolved.toEncoded(QUrl::FullyEncoded);
        if (!isWebUrl(resolved) || encoded.contains('"') || encoded.contains('\\'))
            return std::nullopt;
        result += line.mid(copied, list + attribute.valueBegin - copied) + '"' + encoded + '"';
        copied = list + attribute.valueEnd;
    }
    return result + line.mid(copied);
}

// "n@o" or "n": the length and, when given, the offset (-1 for none).
struct ByteRange
{
    qint64 length = 0;
    qint64 offset = -1;
};

ByteRange byteRange(const QByteArray &line)
{
    const QByteArray value = line.mid(int(sizeof("#EXT-X-BYTERANGE:")) - 1).trimmed();
    const qsizetype at = value.indexOf('@');
    const qint64 length = value.left(at < 0 ? value.size() : at).toLongLong();
    return { std::max<qint64>(0, length),
        at < 0 ? -1 : std::max<qint64>(0, value.mid(at + 1).toLongLong()) };
}

} // namespace

std::optional<HlsPlaylistCut> cutHlsMediaPlaylist(
    const QByteArray &text, const QUrl &base, double from, std::optional<double> until)
{
    QByteArrayList lines;
    for (const QByteArray &line : text.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        // FFmpeg's reader ends a line at a carriage return or a zero byte too: a tag hidden
        // behind one inside a line would pass unchecked.
        if (trimmed.contains('\r') || trimmed.contains('\0'))
            return std::nullopt;
        if (!trimmed.isEmpty())
            lines.append(trimmed);
    }
    if (lines.isEmpty() || !lines.first().startsWith("#EXTM3U"))
        return std::nullopt;

    // The segments as the player's parser counts them.
    std::vector<Segment> segments;
    bool ended = false;
    double pendingDuration = -1;
    // A segment's own byte range, pending until its address (no length: none).
    ByteRange pendingRange { -1, -1 };
    qint64 sequence = 0;
    bool sequenceSet = false;
    qint64 rangeEnd = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        if (hasTag(line, "#EXT-X-MEDIA-SEQUENCE:")) {
            if (!sequenceSet)
                sequence = hlsSequenceNumber(QByteArrayView(line).sliced(22));
        } else if (hasTag(line, "#EXT-X-ENDLIST")) {
            ended = true;
        } else if (hasTag(line, "#EXTINF:")) {
            pendingDuration = line.mid(8).split(',').first().toDouble();
        } else if (hasTag(line, "#EXT-X-BYTERANGE:")) {
            pendingRange = byteRange(line);
        } else if (!line.startsWith('#') && pendingDuration >= 0) {
            sequenceSet = true;
            Segment segment { i, pendingDuration, sequence++,
                isWebUrl(base.resolved(QUrl(QString::fromUtf8(line)))), std::nullopt };
            if (pendingRange.length >= 0) {
                segment.rangeOffset = pendingRange.offset < 0 ? rangeEnd : pendingRange.offset;
                rangeEnd = *segment.rangeOffset + pendingRange.length;
            }
            segments.push_back(segment);
            pendingDuration = -1;
            pendingRange = { -1, -1 };
        }
    }
    if (!ended)
        return std::nullopt;

    // The segment that holds `from`, by the durations of the web segments before it.
    std::optional<size_t> cut;
    double start = 0;
    double cutStart = 0;
    for (size_t i = 0; i < segments.size(); ++i) {
        segments[i].start = start;
        if (!segments[i].web)
            continue;
        if (!cut || start <= from) {
            cut = i;
            cutStart = start;
        }
        if (std::isfinite(segments[i].duration) && segments[i].duration > 0)
            start += segments[i].duration;
    }
    if (!cut)
        return std::nullopt;
    // The segments kept end before the first one that starts at `until` (the cut's first is
    // kept whatever it says); its tags and those after it are left out with it.
    size_t end = segments.size();
    if (until) {
        for (size_t i = *cut + 1; i < segments.size(); ++i) {
            if (segments[i].web && segments[i].start >= *until - untilSlack) {
                end = i;
                break;
            }
        }
    }
    const qsizetype endLine = end < segments.size() ? segments[end - 1].uriLine + 1 : lines.size();

    // Where the cut's first segment's own tags begin: after the segment before it.
    const qsizetype firstLine = *cut == 0 ? 1 : segments[*cut - 1].uriLine + 1;
    QByteArrayList header { "#EXTM3U" };
    std::optional<QByteArray> key;
    std::optional<QByteArray> map;
    // FFmpeg's reader decrypts a map with the key in force at its tag: a key that came after it
    // is written after it.
    std::optional<QByteArray> keyAtMap;
    qint64 discontinuitySequence = 0;
    qint64 discontinuities = 0;
    // The playlist's own tags are the header's wherever they stand before the first segment
    // kept (a cut from the first segment included), and never the body's.
    const auto playlistTag = [](const QByteArray &line) {
        return hasTag(line, "#EXT-X-VERSION:") || hasTag(line, "#EXT-X-TARGETDURATION:")
            || hasTag(line, "#EXT-X-PLAYLIST-TYPE:") || hasTag(line, "#EXT-X-INDEPENDENT-SEGMENTS")
            || hasTag(line, "#EXT-X-MEDIA-SEQUENCE:")
            || hasTag(line, "#EXT-X-DISCONTINUITY-SEQUENCE:");
    };
    for (qsizetype i = 1; i < segments[*cut].uriLine; ++i) {
        const QByteArray &line = lines[i];
        if (hasTag(line, "#EXT-X-DISCONTINUITY-SEQUENCE:"))
            discontinuitySequence = hlsSequenceNumber(QByteArrayView(line).sliced(30));
        else if (playlistTag(line) && !hasTag(line, "#EXT-X-MEDIA-SEQUENCE:"))
            header.append(line);
    }
    for (qsizetype i = 1; i < firstLine; ++i) {
        const QByteArray &line = lines[i];
        if (line == "#EXT-X-DISCONTINUITY")
            ++discontinuities;
        else if (hasTag(line, "#EXT-X-KEY:"))
            key = line;
        else if (hasTag(line, "#EXT-X-MAP:")) {
            map = line;
            keyAtMap = key;
        }
    }
    header.append("#EXT-X-MEDIA-SEQUENCE:" + QByteArray::number(segments[*cut].sequence));
    if (discontinuitySequence + discontinuities > 0)
        header.append("#EXT-X-DISCONTINUITY-SEQUENCE:"
            + QByteArray::number(discontinuitySequence + discontinuities));
    std::optional<QByteArray> keyAfterMap
        = map && key != keyAtMap ? key : std::optional<QByteArray>();
    if (map)
        key = keyAtMap;
    for (const auto *tag : { &key, &map, &keyAfterMap }) {
        if (!*tag)
            continue;
        const auto absolute = withAbsoluteUri(**tag, base);
        if (!absolute)
            return std::nullopt;
        header.append(*absolute);
    }

    QByteArrayList body;
    // A segment's own tags wait for its address: a segment left out takes its length and byte
    // range with it.
    QByteArrayList pending;
    size_t next = *cut;
    bool first = true;
    for (qsizetype i = firstLine; i < endLine; ++i) {
        const QByteArray &line = lines[i];
        if (hasTag(line, "#EXT-X-ENDLIST")) {
            break;
        } else if (hasTag(line, "#EXT-X-KEY:") || hasTag(line, "#EXT-X-MAP:")) {
            const auto absolute = withAbsoluteUri(line, base);
            if (!absolute)
                return std::nullopt;
            body.append(*absolute);
        } else if (playlistTag(line)) {
            continue;
        } else if (line == "#EXT-X-DISCONTINUITY") {
            // Nothing comes before the first segment to be discontinuous with.
            if (!first)
                body.append(line);
        } else if (line.startsWith('#')) {
            pending.append(line);
        } else if (next < segments.size() && segments[next].uriLine == i) {
            const Segment &segment = segments[next++];
            const QUrl uri = base.resolved(QUrl(QString::fromUtf8(line)));
            if (!segment.web) {
                pending.clear();
                continue;
            }
            for (const QByteArray &tag : std::as_const(pending)) {
                if (first && hasTag(tag, "#EXT-X-BYTERANGE:")) {
                    body.append("#EXT-X-BYTERANGE:" + QByteArray::number(byteRange(tag).length)
                        + '@' + QByteArray::number(segment.rangeOffset.value_or(0)));
                } else if (const auto absolute = withAbsoluteUri(tag, base)) {
                    // Any other tag naming an address (a rendition, say) is held to the web too.
                    body.append(*absolute);
                } else {
                    return std::nullopt;
                }
            }
            pending.clear();
            body.append(uri.toEncoded(QUrl::FullyEncoded));
            first = false;
        }
    }
    body.append("#EXT-X-ENDLIST");
    const bool fragmented = map.has_value()
        || std::any_of(body.begin(), body.end(),
            [](const QByteArray &line) { return hasTag(line, "#EXT-X-MAP:"); });
    const double cutEnd = end < segments.size() ? segments[end].start : start;
    return HlsPlaylistCut { (header + body).join('\n') + '\n', cutStart, fragmented, cutEnd };
}

} // namespace orvella

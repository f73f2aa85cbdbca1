#include "platform/SegmentTimeStamp.h"

#include "platform/BoundedFetch.h"
#include "platform/HlsPlaylist.h"
#include "platform/PlatformLog.h"

#include <QList>
#include <algorithm>
#include <cstdint>

namespace orvella {

namespace {
constexpr qsizetype packetSize = 188;
constexpr std::uint8_t syncByte = 0x47;
constexpr double ticksPerSecond = 90000;
constexpr qint64 timeWrap = qint64(1) << 33;

std::uint8_t byteAt(QByteArrayView bytes, qsizetype index)
{
    return std::uint8_t(bytes[index]);
}

// The payload of a transport packet (the last one may be cut short) when a PES packet or a
// table begins in it, past any adaptation field.
std::optional<QByteArrayView> unitStart(QByteArrayView packet)
{
    if (packet.size() < 5)
        return std::nullopt;
    const bool damaged = byteAt(packet, 1) & 0x80;
    const bool starts = byteAt(packet, 1) & 0x40;
    const bool scrambled = byteAt(packet, 3) & 0xC0;
    const int control = (byteAt(packet, 3) >> 4) & 0x3; // 1 payload, 2 adaptation, 3 both
    if (damaged || !starts || scrambled || !(control & 0x1))
        return std::nullopt;
    const qsizetype payload = control & 0x2 ? 5 + byteAt(packet, 4) : 4;
    if (payload >= packet.size())
        return std::nullopt;
    return packet.sliced(payload);
}

// The presentation time stamp, in 90-kHz ticks, of a PES packet of sound or picture.
std::optional<qint64> presentationTime(QByteArrayView pes)
{
    // Start code, stream id, length (2), flags (2), header length, then the time stamp (5).
    if (pes.size() < 14 || byteAt(pes, 0) != 0 || byteAt(pes, 1) != 0 || byteAt(pes, 2) != 1)
        return std::nullopt;
    const std::uint8_t stream = byteAt(pes, 3);
    const bool timed = stream == 0xBD || (stream >= 0xC0 && stream <= 0xEF);
    const int timeFlags = byteAt(pes, 7) >> 6; // 2: PTS, 3: PTS and DTS
    if (!timed || (byteAt(pes, 6) & 0xC0) != 0x80 || timeFlags < 2 || byteAt(pes, 8) < 5)
        return std::nullopt;
    const auto field = [pes](int index) { return qint64(byteAt(pes, 9 + index)); };
    // The stamp's first byte repeats the flags; each of its three pieces ends in a marker bit.
    if (field(0) >> 4 != timeFlags || !(field(0) & 1) || !(field(2) & 1) || !(field(4) & 1))
        return std::nullopt;
    return (field(0) >> 1 & 0x7) << 30 | field(1) << 22 | (field(2) >> 1) << 15 | field(3) << 7
        | field(4) >> 1;
}
} // namespace

std::optional<double> firstMpegTsTime(QByteArrayView bytes)
{
    struct First
    {
        int pid;
        qint64 ticks;
    };
    QList<First> firsts;
    for (qsizetype offset = 0; offset < bytes.size(); offset += packetSize) {
        const QByteArrayView packet
            = bytes.sliced(offset, std::min(packetSize, bytes.size() - offset));
        // Data that loses step is no stream read here.
        if (byteAt(packet, 0) != syncByte)
            return std::nullopt;
        const auto payload = unitStart(packet);
        if (!payload)
            continue;
        const int pid = (byteAt(packet, 1) & 0x1F) << 8 | byteAt(packet, 2);
        const bool known = std::any_of(
            firsts.cbegin(), firsts.cend(), [pid](const First &first) { return first.pid == pid; });
        if (known)
            continue;
        if (const auto ticks = presentationTime(*payload))
            firsts.append({ pid, *ticks });
    }
    if (firsts.isEmpty())
        return std::nullopt;
    const auto [lowest, highest] = std::minmax_element(firsts.cbegin(), firsts.cend(),
        [](const First &a, const First &b) { return a.ticks < b.ticks; });
    qint64 start = lowest->ticks;
    if (highest->ticks - lowest->ticks > timeWrap / 2) {
        // Both sides of the wrap: the low stamps came after it.
        start = highest->ticks;
        for (const First &first : firsts) {
            const qint64 ticks = first.ticks < highest->ticks - timeWrap / 2
                ? first.ticks + timeWrap
                : first.ticks;
            start = std::min(start, ticks);
        }
    }
    return double(start) / ticksPerSecond;
}

namespace {
using Part = std::optional<std::pair<qint64, qint64>>;

// The first bytes of a file, or of its part, read as one bounded fetch.
struct FileHead
{
    bool refused = false;
    bool refusedForGood = false;
    std::optional<QByteArray> bytes;
};

// Reads at most `most` bytes from the part's start (the file's when none is given), asked for as
// a range; a server that sends the whole file is read no further.
QCoro::Task<FileHead> readHead(QNetworkAccessManager &network, QUrl url, Part part, qint64 most,
    std::chrono::milliseconds timeout, std::stop_token stop, const char *what)
{
    if (!isWebUrl(url)) {
        qCDebug(lcPlayer) << "Not read for its time stamps, not a web address:"
                          << url.scheme().left(16);
        co_return FileHead {};
    }
    const std::pair<qint64, qint64> range = part.value_or(std::pair<qint64, qint64>(0, most));
    FetchLimits limits;
    // A server that trickles or never answers is bounded as a whole.
    limits.idleTimeout = std::max(timeout, std::chrono::milliseconds(1));
    limits.wholeTimeout = limits.idleTimeout;
    limits.range = ByteRange { range.first, std::min(range.second, most) };
    auto fetching = fetchBounded(network, url, limits, stop);
    FetchedFile head = co_await fetching;
    if (stop.stop_requested())
        co_return FileHead {};
    if (head.outcome != FetchedFile::Outcome::Complete) {
        qCDebug(lcPlayer).noquote() << "The" << what << url.toDisplayString()
                                    << "could not be read for its time stamps:" << head.error;
        co_return FileHead { head.refused, head.refusedForGood(), std::nullopt };
    }
    co_return FileHead { false, false, std::move(head.body) };
}

// What a segment's head tells once read, its start time as `startOf` finds it.
template<typename StartOf>
SegmentHead segmentHead(const FileHead &head, const QUrl &url, StartOf startOf, const char *kind)
{
    if (!head.bytes)
        return SegmentHead { head.refused, head.refusedForGood, std::nullopt, !head.refused };
    const std::optional<double> start = startOf(*head.bytes);
    if (!start) {
        qCDebug(lcPlayer).noquote()
            << "No" << kind << "time stamp in the first" << head.bytes->size()
            << "bytes of the segment" << url.toDisplayString();
    }
    return SegmentHead { false, false, start };
}
} // namespace

QCoro::Task<SegmentHead> readSegmentHead(QNetworkAccessManager &network, QUrl url,
    std::optional<std::pair<qint64, qint64>> byteRange, std::chrono::milliseconds timeout,
    std::stop_token stop)
{
    auto reading = readHead(network, url, byteRange, segmentHeadBytes, timeout, stop, "segment");
    const FileHead head = co_await reading;
    co_return segmentHead(head, url, firstMpegTsTime, "MPEG-TS");
}

QCoro::Task<SegmentHead> readFmp4SegmentHead(QNetworkAccessManager &network, QUrl url,
    std::optional<std::pair<qint64, qint64>> byteRange, Fmp4Map map,
    std::chrono::milliseconds timeout, std::stop_token stop)
{
    auto reading = readHead(network, url, byteRange, segmentHeadBytes, timeout, stop, "segment");
    const FileHead head = co_await reading;
    co_return segmentHead(
        head, url, [&map](QByteArrayView bytes) { return firstFmp4Time(bytes, map); },
        "fragmented-MP4");
}

QCoro::Task<Fmp4MapHead> readFmp4Map(QNetworkAccessManager &network, QUrl url,
    std::optional<std::pair<qint64, qint64>> byteRange, std::chrono::milliseconds timeout,
    std::stop_token stop)
{
    auto reading = readHead(network, url, byteRange, fmp4MapBytes, timeout, stop, "map");
    const FileHead head = co_await reading;
    if (!head.bytes)
        co_return Fmp4MapHead { head.refused, std::nullopt };
    std::optional<Fmp4Map> map = parseFmp4Map(*head.bytes);
    if (!map) {
        qCDebug(lcPlayer).noquote() << "No picture track in the first" << head.bytes->size()
                                    << "bytes of the map" << url.toDisplayString();
    }
    co_return Fmp4MapHead { false, map };
}

} // namespace orvella

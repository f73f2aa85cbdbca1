#include "ui/DecodeBounds.h"

#include <algorithm>
#include <cstring>

namespace orvella {

namespace {

// Whether a JPEG marker has a segment after it (its length first): not a restart, SOI or TEM,
// which stand alone, nor a reserved code below C0, which libjpeg either fails on or, resyncing
// after a restart went wrong, passes over to the next marker.
bool jpegMarkerHasSegment(uchar code)
{
    return code >= 0xC0 && (code < 0xD0 || code > 0xD8);
}

} // namespace

qsizetype DecodeBounds::jpegScans(QByteArrayView data, qsizetype enough)
{
    constexpr uchar endOfImage = 0xD9;
    constexpr uchar startOfScan = 0xDA;
    const auto *at = reinterpret_cast<const uchar *>(data.data());
    const uchar *const end = at + data.size();
    qsizetype count = 0;
    while (count <= enough) {
        // The next marker, found as libjpeg finds one in coded data and between segments alike:
        // an FF, any fill FFs, then its code. FF 00 is a stuffed data byte; it and the markers
        // without a segment are passed over, as is anything between.
        const auto *mark = static_cast<const uchar *>(std::memchr(at, 0xFF, size_t(end - at)));
        if (!mark)
            return count;
        at = mark + 1;
        while (at < end && *at == 0xFF)
            ++at;
        if (at == end)
            return count;
        const uchar code = *at++;
        if (code == endOfImage)
            return count;
        if (!jpegMarkerHasSegment(code))
            continue;
        if (end - at < 2)
            return count;
        if (code == startOfScan)
            ++count;
        // The segment's length counts its own two bytes. libjpeg skips a smaller one as if it
        // were 2, or fails on it; one past the end of the data leaves it nothing more to read.
        const qsizetype length = std::max(at[0] << 8 | at[1], 2);
        at += std::min(length, qsizetype(end - at));
    }
    return count;
}

std::optional<QSize> DecodeBounds::gifFrameOver(QByteArrayView data, qint64 maxPixels)
{
    constexpr qsizetype headerAndScreen = 6 + 7;
    constexpr qsizetype descriptor = 10;
    if (data.size() < headerAndScreen || !data.startsWith("GIF"))
        return std::nullopt;
    const auto byteAt = [&](qsizetype at) { return uchar(data[at]); };
    const auto colourTable = [](uchar flags) -> qsizetype {
        return flags & 0x80 ? 3 * (qsizetype(2) << (flags & 7)) : 0;
    };
    qsizetype at = headerAndScreen + colourTable(byteAt(10));
    // Sub-blocks, each a length byte and that many bytes, to the empty one that ends them;
    // false when the data ends first.
    const auto passSubBlocks = [&] {
        while (at < data.size()) {
            const uchar length = byteAt(at++);
            if (length == 0)
                return true;
            at += length;
        }
        return false;
    };
    while (at < data.size()) {
        switch (byteAt(at)) {
        case 0x21: // an extension: its label, then its sub-blocks
            at += 2;
            break;
        case 0x2C: { // a frame: its descriptor, a colour table, the LZW code size, its data
            if (data.size() - at < descriptor)
                return std::nullopt;
            const QSize frame(
                byteAt(at + 5) | byteAt(at + 6) << 8, byteAt(at + 7) | byteAt(at + 8) << 8);
            if (qint64(frame.width()) * frame.height() > maxPixels)
                return frame;
            at += descriptor + colourTable(byteAt(at + 9)) + 1;
            break;
        }
        default: // the trailer, or a block no reader goes past
            return std::nullopt;
        }
        if (!passSubBlocks())
            return std::nullopt;
    }
    return std::nullopt;
}

} // namespace orvella

#include "ui/DecodeBounds.h"

#include <cstring>

namespace orvella {

qsizetype DecodeBounds::jpegScanMarkers(QByteArrayView data, qsizetype enough)
{
    qsizetype count = 0;
    const char *at = data.data();
    const char *const end = at + data.size();
    while (count <= enough && end - at >= 2) {
        // An FF with a byte after it; fill bytes (FF FF ... DA) are passed one at a time.
        const auto *mark = static_cast<const char *>(std::memchr(at, 0xFF, size_t(end - at - 1)));
        if (!mark)
            break;
        if (uchar(mark[1]) == 0xDA)
            ++count;
        at = mark + 1;
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

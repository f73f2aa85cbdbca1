#pragma once

// Pictures of any size in pixels that stay small in bytes: black, so that their compressed data
// is short, but whole, so that a decoder would take every pixel through. And small pictures whose
// structure costs more than their size says: JPEGs of many scans, GIFs of any frames.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QRect>
#include <QSize>
#include <QtEndian>
#include <algorithm>
#include <limits>
#include <zlib.h>

namespace orvella::test {

namespace detail {

inline void appendBigEndian(QByteArray &to, quint32 value)
{
    char bytes[4];
    qToBigEndian(value, bytes);
    to.append(bytes, 4);
}

inline void appendPngChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    appendBigEndian(png, quint32(data.size()));
    const QByteArray typed = QByteArray(type, 4) + data;
    png += typed;
    appendBigEndian(png,
        quint32(crc32(0, reinterpret_cast<const Bytef *>(typed.constData()), uInt(typed.size()))));
}

// A raw deflate stream of `count` zero bytes: ended by a full flush, it refers to nothing before
// it, so copies of it follow each other; the last one, ended by Z_FINISH, closes the stream.
inline QByteArray deflatedZeros(qint64 count, bool last)
{
    z_stream stream {};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_RLE);
    QByteArray zeros(int(count), '\0');
    QByteArray out(int(count / 500 + 1024), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(zeros.data());
    stream.avail_in = uInt(zeros.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, last ? Z_FINISH : Z_FULL_FLUSH);
    out.truncate(int(stream.total_out));
    deflateEnd(&stream);
    return out;
}

} // namespace detail

// An 8-bit RGB PNG of that size, every pixel black: 2.6 MB for 30000 x 30000, which Qt decodes
// scaled (past its allocation limit) in about ten seconds.
inline QByteArray blackPng(QSize size)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    detail::appendBigEndian(header, quint32(size.width()));
    detail::appendBigEndian(header, quint32(size.height()));
    header.append("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB, deflate, no filter, no interlace
    detail::appendPngChunk(png, "IHDR", header);

    // Each row is its filter byte and its pixels, all zero.
    const qint64 total = (1 + 3 * qint64(size.width())) * size.height();
    constexpr qint64 piece = 1 << 20;
    QByteArray data("\x78\x01", 2); // zlib's header
    const QByteArray whole = detail::deflatedZeros(piece, false);
    for (qint64 i = 0; i < total / piece; ++i)
        data += whole;
    data += detail::deflatedZeros(total % piece, true);
    // The Adler-32 of n zeros: 1, and n in the upper half.
    detail::appendBigEndian(data, quint32((total % 65521) << 16 | 1));
    detail::appendPngChunk(png, "IDAT", data);
    detail::appendPngChunk(png, "IEND", {});
    return png;
}

namespace detail {

// Makes the frame header of a JPEG declare that size; false when it has none.
inline bool declareJpegSize(QByteArray &jpeg, QSize size, const char *frameMarker)
{
    const qsizetype frame = jpeg.indexOf(frameMarker);
    if (frame < 0)
        return false;
    // Marker, length, precision, then height and width.
    qToBigEndian(quint16(size.height()), jpeg.data() + frame + 5);
    qToBigEndian(quint16(size.width()), jpeg.data() + frame + 7);
    return true;
}

// A 64 x 64 JPEG of that colour.
inline QByteArray smallJpeg(QColor colour, bool progressive)
{
    QImage small(64, 64, QImage::Format_RGB32);
    small.fill(colour);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(progressive);
    writer.write(small);
    return jpeg;
}

} // namespace detail

// A baseline JPEG whose frame header declares that size over the scan of a small picture.
inline QByteArray jpegDeclaring(QSize size)
{
    QByteArray jpeg = detail::smallJpeg(Qt::black, false);
    return detail::declareJpegSize(jpeg, size, "\xff\xc0") ? jpeg : QByteArray();
}

// The scans the JPEG writer gives a progressive colour picture.
inline constexpr int writtenProgressiveScans = 10;

// A progressive JPEG of 64 x 64 red pixels with that many scans (at least the writer's own), the
// last of them repeated; its frame header declares `declared` when given. The decoder takes a
// repeated scan as a further refinement, which costs a pass over every block of the picture.
inline QByteArray progressiveJpeg(int scans, QSize declared = {})
{
    QByteArray jpeg = detail::smallJpeg(Qt::red, true);
    // Scan data holds no FF DA (an FF in it is followed by 00): each one starts a scan.
    if (jpeg.count("\xff\xda") != writtenProgressiveScans || !jpeg.endsWith("\xff\xd9"))
        return {};
    if (declared.isValid() && !detail::declareJpegSize(jpeg, declared, "\xff\xc2"))
        return {};
    jpeg.chop(2);
    const QByteArray last = jpeg.mid(jpeg.lastIndexOf("\xff\xda"));
    for (int i = writtenProgressiveScans; i < scans; ++i)
        jpeg += last;
    return jpeg + "\xff\xd9";
}

// A JPEG segment: its marker, its length (its own two bytes counted) and its payload.
inline QByteArray jpegSegment(uchar marker, const QByteArray &payload)
{
    QByteArray segment("\xff");
    segment.append(char(marker)).append("\0\0", 2).append(payload);
    qToBigEndian(quint16(payload.size() + 2), segment.data() + 2);
    return segment;
}

// That JPEG with those bytes right after its start-of-image marker, where metadata stands.
inline QByteArray withAfterStart(QByteArray jpeg, const QByteArray &bytes)
{
    return jpeg.insert(2, bytes);
}

// An ICC profile as cameras store it: in APP2 segments of at most 64 KiB, each numbered.
inline QByteArray iccSegments(const QByteArray &profile)
{
    constexpr qsizetype perSegment = 65519;
    const qsizetype segments = (profile.size() + perSegment - 1) / perSegment;
    QByteArray all;
    for (qsizetype i = 0; i < segments; ++i) {
        all += jpegSegment(0xE2,
            QByteArray("ICC_PROFILE\0", 12).append(char(i + 1)).append(char(segments))
                + profile.mid(i * perSegment, perSegment));
    }
    return all;
}

// An APP1 segment of EXIF data whose second directory holds that thumbnail, as cameras write it.
inline QByteArray exifWithThumbnail(const QByteArray &thumbnail)
{
    // A big-endian TIFF header, an empty first directory and a second of two entries: the
    // thumbnail's offset and its length, both LONGs; the thumbnail follows at offset 44.
    QByteArray tiff("MM\0\x2a\0\0\0\x08\0\0\0\0\0\x0e\0\x02", 16);
    tiff.append("\x02\x01\0\x04\0\0\0\x01\0\0\0\x2c", 12);
    tiff.append("\x02\x02\0\x04\0\0\0\x01", 8);
    detail::appendBigEndian(tiff, quint32(thumbnail.size()));
    tiff.append("\0\0\0\0", 4);
    return jpegSegment(0xE1, QByteArray("Exif\0\0", 6) + tiff + thumbnail);
}

// The colours a GIF of gifOfFrames draws with, by index.
inline const QRgb gifColours[]
    = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255) };

// A frame of a GIF: where it stands on the screen and the colour it is filled with. Its data
// holds at most `coded` of its pixels, and no end code short of all of them.
struct GifFrame
{
    QRect area;
    int colour = 0;
    qint64 coded = std::numeric_limits<qint64>::max();
};

namespace detail {

inline void appendLittleEndian(QByteArray &to, int value)
{
    to.append(char(value & 0xff)).append(char(value >> 8 & 0xff));
}

// LZW codes of 3 bits for `pixels` pixels of one colour: a clear code before every two pixels
// keeps the code size from growing; then the end code when `end`.
inline QByteArray lzwOfOneColour(qint64 pixels, int colour, bool end)
{
    constexpr int clear = 4;
    constexpr int stop = 5;
    QByteArray bytes;
    quint32 bits = 0;
    int held = 0;
    const auto put = [&](int code) {
        bits |= quint32(code) << held;
        held += 3;
        while (held >= 8) {
            bytes.append(char(bits & 0xff));
            bits >>= 8;
            held -= 8;
        }
    };
    for (qint64 i = 0; i < pixels; ++i) {
        if (i % 2 == 0)
            put(clear);
        put(colour);
    }
    if (end)
        put(stop);
    if (held > 0)
        bytes.append(char(bits & 0xff));
    return bytes;
}

} // namespace detail

// A GIF89a of that screen, with the four gifColours as its global colour table, looping, each
// frame shown a tenth of a second.
inline QByteArray gifOfFrames(QSize screen, const QList<GifFrame> &frames)
{
    QByteArray gif("GIF89a");
    detail::appendLittleEndian(gif, screen.width());
    detail::appendLittleEndian(gif, screen.height());
    gif.append("\x81\x00\x00", 3); // a global table of 4 colours
    for (const QRgb colour : gifColours)
        gif.append(char(qRed(colour))).append(char(qGreen(colour))).append(char(qBlue(colour)));
    gif.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (const GifFrame &frame : frames) {
        gif.append("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);
        gif.append(',');
        detail::appendLittleEndian(gif, frame.area.x());
        detail::appendLittleEndian(gif, frame.area.y());
        detail::appendLittleEndian(gif, frame.area.width());
        detail::appendLittleEndian(gif, frame.area.height());
        gif.append('\0'); // no local table, not interlaced
        gif.append('\2'); // the LZW code size
        const qint64 pixels = qint64(frame.area.width()) * frame.area.height();
        const QByteArray data = detail::lzwOfOneColour(
            std::min(pixels, frame.coded), frame.colour, frame.coded >= pixels);
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            gif.append(char(block.size())).append(block);
        }
        gif.append('\0');
    }
    return gif + ';';
}

} // namespace orvella::test

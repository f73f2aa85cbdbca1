#pragma once

// Pictures of any size in pixels that stay small in bytes: black, so that their compressed data
// is short, but whole, so that a decoder would take every pixel through.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QSize>
#include <QtEndian>
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

// A baseline JPEG whose frame header declares that size over the scan of a small picture.
inline QByteArray jpegDeclaring(QSize size)
{
    QImage small(64, 64, QImage::Format_RGB32);
    small.fill(Qt::black);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(small);
    const qsizetype frame = jpeg.indexOf("\xff\xc0");
    if (frame < 0)
        return {};
    // Marker, length, precision, then height and width.
    qToBigEndian(quint16(size.height()), jpeg.data() + frame + 5);
    qToBigEndian(quint16(size.width()), jpeg.data() + frame + 7);
    return jpeg;
}

} // namespace orvella::test

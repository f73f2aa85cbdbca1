#pragma once

#include <QByteArray>
#include <QFuture>
#include <QImage>

class QThreadPool;

namespace orvella {

// Decodes picture bytes straight to the size they are shown at: the reader scales while it
// decodes (JPEG scales in the DCT), applies the orientation tag, and never enlarges.
namespace ImageDecoder {

// The most pixels a picture may declare (an 8K frame has 33 million). A scaled decode takes
// every one of them through the decoder whatever the size asked for: a PNG declaring 30000 x
// 30000 costs a decoder's thread ten seconds, though its bytes and its scaled result pass every
// other bound.
inline constexpr qint64 maxPixels = 50'000'000;

// A progressive JPEG is decoded scan after scan, each a pass over every block of the picture: a
// file repeating one small scan thousands of times costs minutes. Measured here on 7000 x 7000
// pictures, a scan costs 10 to 40 ms of a decoder's thread, up to 65 ms for the heaviest kind (a
// refinement of every coefficient of a detailed picture); an ordinary progressive JPEG has about
// 10 scans (0.2 to 0.4 s there). So a JPEG may have at most maxJpegScans, and its scans times its
// pixels may come to maxJpegScanPixels at most: 30 scans at 49 megapixels, about a second.
inline constexpr qsizetype maxJpegScans = 100;
inline constexpr qint64 maxJpegScanPixels = 1'500'000'000;

// The scans a JPEG declaring that size may have (maxJpegScans for a size not known).
[[nodiscard]] qsizetype jpegScansAllowed(QSize declared);

// On the calling thread. Gives a null image when the bytes are no picture, declare more than
// maxPixels in their header, hold a GIF frame of more than maxPixels or a JPEG of more scans
// than allowed (each refused before anything is decoded).
[[nodiscard]] QImage downsample(const QByteArray &data, int maxPixelSize);

// On the decoder's thread pool; the future's result is a null image on failure.
[[nodiscard]] QFuture<QImage> downsampleAsync(QByteArray data, int maxPixelSize);

[[nodiscard]] QThreadPool &pool();

// The longest side to decode to for a target size in pixels; 0 (no limit) for sizes below
// one pixel or that are not finite.
[[nodiscard]] int pixelLimit(double targetPixelSize);

} // namespace ImageDecoder

} // namespace orvella

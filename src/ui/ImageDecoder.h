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

// On the calling thread. Gives a null image when the bytes are no picture, or declare more than
// maxPixels in their header (refused before anything is decoded).
[[nodiscard]] QImage downsample(const QByteArray &data, int maxPixelSize);

// On the decoder's thread pool; the future's result is a null image on failure.
[[nodiscard]] QFuture<QImage> downsampleAsync(QByteArray data, int maxPixelSize);

[[nodiscard]] QThreadPool &pool();

// The longest side to decode to for a target size in pixels; 0 (no limit) for sizes below
// one pixel or that are not finite.
[[nodiscard]] int pixelLimit(double targetPixelSize);

} // namespace ImageDecoder

} // namespace orvella

#pragma once

#include <QByteArray>
#include <QFuture>
#include <QImage>

class QThreadPool;

namespace orvella {

// Decodes picture bytes straight to the size they are shown at: the reader scales while it
// decodes (JPEG scales in the DCT), applies the orientation tag, and never enlarges.
namespace ImageDecoder {

// On the calling thread. Gives a null image when the bytes are no picture.
[[nodiscard]] QImage downsample(const QByteArray &data, int maxPixelSize);

// On the decoder's thread pool; the future's result is a null image on failure.
[[nodiscard]] QFuture<QImage> downsampleAsync(QByteArray data, int maxPixelSize);

[[nodiscard]] QThreadPool &pool();

// The longest side to decode to for a target size in pixels; 0 (no limit) for sizes below
// one pixel or that are not finite.
[[nodiscard]] int pixelLimit(double targetPixelSize);

} // namespace ImageDecoder

} // namespace orvella

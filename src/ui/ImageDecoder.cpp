#include "ui/ImageDecoder.h"

#include "platform/PlatformLog.h"
#include "ui/DecodeBounds.h"

#include <QBuffer>
#include <QImageReader>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

// Whether the bytes of a picture within its declared size still promise more decoding than that
// size says: the scans of a JPEG, or a GIF frame larger than the screen its header declares.
bool refusedForItsStructure(const QByteArray &format, const QByteArray &data, QSize declared)
{
    if (format == "jpeg") {
        const qsizetype allowed = ImageDecoder::jpegScansAllowed(declared);
        if (DecodeBounds::jpegScans(data, allowed) > allowed) {
            qCDebug(lcPlatform) << "Picture refused: a JPEG of" << declared.width() << "x"
                                << declared.height() << "pixels with more than" << allowed
                                << "scans";
            return true;
        }
    } else if (format == "gif") {
        if (const auto frame = DecodeBounds::gifFrameOver(data, ImageDecoder::maxPixels)) {
            qCDebug(lcPlatform) << "Picture refused: a GIF frame declares" << frame->width() << "x"
                                << frame->height() << "pixels, more than"
                                << ImageDecoder::maxPixels;
            return true;
        }
    }
    return false;
}

} // namespace

qsizetype ImageDecoder::jpegScansAllowed(QSize declared)
{
    const qint64 pixels = declared.isValid() ? qint64(declared.width()) * declared.height() : 0;
    return pixels > 0 ? qsizetype(std::min<qint64>(maxJpegScans, maxJpegScanPixels / pixels))
                      : maxJpegScans;
}

QImage ImageDecoder::downsample(const QByteArray &data, int maxPixelSize)
{
    if (data.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    reader.setDecideFormatFromContent(true);

    // The header's size: reading it decodes nothing. A reader that cannot tell it before
    // decoding reads the picture whole, where Qt's allocation limit (128 MB) bounds it instead.
    const QSize full = reader.size();
    if (full.isValid() && qint64(full.width()) * full.height() > maxPixels) {
        qCDebug(lcPlatform) << "Picture refused: it declares" << full.width() << "x"
                            << full.height() << "pixels, more than" << maxPixels;
        return {};
    }
    if (refusedForItsStructure(reader.format(), data, full))
        return {};
    if (full.isValid() && maxPixelSize > 0 && std::max(full.width(), full.height()) > maxPixelSize)
        reader.setScaledSize(
            full.scaled(maxPixelSize, maxPixelSize, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));

    QImage image = reader.read();
    if (image.isNull())
        return {};
    // Readers without scaled decoding give the full picture: scale it here, still off the
    // main thread, so the cached copy is never larger than asked for.
    if (maxPixelSize > 0 && std::max(image.width(), image.height()) > maxPixelSize)
        image = image.scaled(
            maxPixelSize, maxPixelSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    // A format the scene graph uploads as it is, so drawing never converts on the main thread.
    image.convertTo(
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return image;
}

int ImageDecoder::pixelLimit(double targetPixelSize)
{
    if (!std::isfinite(targetPixelSize) || targetPixelSize < 1)
        return 0;
    return int(std::min(targetPixelSize, 16384.0));
}

QThreadPool &ImageDecoder::pool()
{
    static QThreadPool *decoders = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(std::clamp(QThread::idealThreadCount() / 2, 2, 4));
        p->setObjectName(QStringLiteral("ImageDecoder"));
        return p;
    }();
    return *decoders;
}

QFuture<QImage> ImageDecoder::downsampleAsync(QByteArray data, int maxPixelSize)
{
    return QtConcurrent::run(
        &pool(), [data = std::move(data), maxPixelSize] { return downsample(data, maxPixelSize); });
}

} // namespace orvella

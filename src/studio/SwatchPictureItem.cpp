#include "studio/SwatchPictureItem.h"

#include "ui/ImageDecoder.h"

#include <QImageReader>
#include <QQmlFile>
#include <QQuickWindow>
#include <QtConcurrent/QtConcurrentRun>
#include <cmath>

namespace orvella {

SwatchPictureItem::SwatchPictureItem(QQuickItem *parent)
    : PictureItem(QSGTexture::Linear, parent)
{ }

SwatchPictureItem::~SwatchPictureItem() = default;

void SwatchPictureItem::setSource(const QUrl &source)
{
    if (source == m_source)
        return;
    m_source = source;
    m_requested = {};
    emit sourceChanged();
    decode();
}

QImage SwatchPictureItem::decodeFilling(const QString &path, QSize size)
{
    QImageReader reader(path);
    const QSize full = reader.size();
    if (!full.isValid() || size.isEmpty())
        return {};
    const QSize covering = full.scaled(size, Qt::KeepAspectRatioByExpanding);
    reader.setScaledSize(covering);
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.copy(QRect(
        QPoint((image.width() - size.width()) / 2, (image.height() - size.height()) / 2), size));
}

void SwatchPictureItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    PictureItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        decode();
}

void SwatchPictureItem::itemChange(ItemChange change, const ItemChangeData &value)
{
    PictureItem::itemChange(change, value);
    // The window tells the pixel ratio; an item leaving its window keeps what it shows.
    if ((change == ItemSceneChange && value.window) || change == ItemDevicePixelRatioHasChanged)
        decode();
}

void SwatchPictureItem::decode()
{
    const QString path = QQmlFile::urlToLocalFileOrQrc(m_source);
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize target(int(std::ceil(width() * ratio)), int(std::ceil(height() * ratio)));
    if (path.isEmpty() || target.isEmpty()) {
        m_watcher.reset();
        m_requested = {};
        setPicture({});
        setReady(false);
        return;
    }
    if (target == m_requested)
        return;
    m_requested = target;
    setReady(false);
    // A newer request replaces the one under way; the old result is dropped with its watcher.
    m_watcher = std::make_unique<QFutureWatcher<QImage>>();
    connect(m_watcher.get(), &QFutureWatcher<QImage>::finished, this, [this] {
        setPicture(m_watcher->result());
        setReady(true);
    });
    m_watcher->setFuture(QtConcurrent::run(
        &ImageDecoder::pool(), [path, target] { return decodeFilling(path, target); }));
}

void SwatchPictureItem::setReady(bool ready)
{
    if (m_ready == ready)
        return;
    m_ready = ready;
    emit readyChanged();
}

} // namespace orvella

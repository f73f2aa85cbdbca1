#include "ui/RemoteImageItem.h"

#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageNetwork.h"

#include <QCoreApplication>
#include <QPointer>

namespace orvella {

RemoteImageItem::RemoteImageItem(QQuickItem *parent)
    : PictureItem(QSGTexture::Linear, Fit::Crop, parent)
{ }

RemoteImageItem::~RemoteImageItem()
{
    cancelLoad();
}

void RemoteImageItem::setUrl(const QString &url)
{
    if (m_url == url)
        return;
    m_url = url;
    emit urlChanged();
    keyChanged();
}

void RemoteImageItem::setTargetPixelSize(double size)
{
    if (m_targetPixelSize == size)
        return;
    const QString before = cacheKey();
    m_targetPixelSize = size;
    emit targetPixelSizeChanged();
    if (before != cacheKey())
        keyChanged();
}

QString RemoteImageItem::cacheKey() const
{
    return ImageCache::key(m_url, m_targetPixelSize);
}

void RemoteImageItem::componentComplete()
{
    QQuickItem::componentComplete();
    applyCacheHit();
    load();
}

void RemoteImageItem::keyChanged()
{
    emit cacheKeyChanged();
    if (!isComponentComplete())
        return;
    applyCacheHit();
    load();
}

void RemoteImageItem::applyCacheHit()
{
    if (picture().isNull()) {
        if (auto hit = ImageCache::shared().find(cacheKey()))
            setImage(*hit);
    }
}

void RemoteImageItem::load()
{
    cancelLoad();
    const quint64 generation = ++m_generation;
    if (m_url.isEmpty())
        return;
    const QUrl url = resolveImageUrl(m_url);
    if (!url.isValid())
        return;
    const QString key = cacheKey();
    if (auto hit = ImageCache::shared().find(key)) {
        setImage(*hit);
        return;
    }
    QPointer<RemoteImageItem> self(this);
    m_fetchId = ImageNetwork::shared().load(
        url, key, ImageDecoder::pixelLimit(m_targetPixelSize),
        [self, generation](QImage image) {
            QCoreApplication *application = QCoreApplication::instance();
            if (image.isNull() || !application) // nothing decoded, or the process is ending
                return;
            QMetaObject::invokeMethod(
                application,
                [self, generation, image = std::move(image)] {
                    if (self && self->m_generation == generation) {
                        self->m_fetchId = 0;
                        self->setImage(image);
                    }
                },
                Qt::QueuedConnection);
        },
        QNetworkRequest::HighPriority);
}

void RemoteImageItem::cancelLoad()
{
    if (m_fetchId != 0) {
        ImageNetwork::shared().abort(m_fetchId);
        m_fetchId = 0;
    }
}

void RemoteImageItem::setImage(const QImage &image)
{
    setPicture(image);
    emit hasImageChanged();
}

} // namespace orvella

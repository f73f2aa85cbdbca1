#include "ui/RemoteImageItem.h"

#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageNetwork.h"

#include <QPointer>
#include <QQuickWindow>
#include <QSGClipNode>
#include <QSGGeometry>
#include <QSGImageNode>
#include <QSGTexture>
#include <cmath>

namespace orvella {

namespace { } // namespace

QList<QPointF> RemoteImageItem::clipTriangles(const QRectF &rect, double radius)
{
    constexpr int segments = 8; // per corner
    const double r = std::clamp(radius, 0.0, std::min(rect.width(), rect.height()) / 2);
    const QPointF centres[4] = {
        { rect.right() - r, rect.top() + r },
        { rect.right() - r, rect.bottom() - r },
        { rect.left() + r, rect.bottom() - r },
        { rect.left() + r, rect.top() + r },
    };
    QList<QPointF> outline;
    for (int corner = 0; corner < 4; ++corner) {
        for (int s = 0; s <= segments; ++s) {
            const double angle = (corner - 1 + double(s) / segments) * M_PI / 2;
            outline.append(centres[corner] + QPointF(r * std::cos(angle), r * std::sin(angle)));
        }
    }
    QList<QPointF> triangles;
    triangles.reserve(outline.size() * 3);
    for (qsizetype i = 0; i < outline.size(); ++i) {
        triangles.append(rect.center());
        triangles.append(outline[i]);
        triangles.append(outline[(i + 1) % outline.size()]);
    }
    return triangles;
}

RemoteImageItem::RemoteImageItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
}

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

void RemoteImageItem::setCornerRadius(double radius)
{
    if (m_cornerRadius == radius)
        return;
    m_cornerRadius = radius;
    m_geometryDirty = true;
    emit cornerRadiusChanged();
    update();
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
    if (m_image.isNull()) {
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
    m_image = image;
    m_imageDirty = true;
    update();
    emit hasImageChanged();
}

void RemoteImageItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size()) {
        m_geometryDirty = true;
        update();
    }
}

QSGNode *RemoteImageItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    const QRectF bounds = boundingRect();
    if (m_image.isNull() || bounds.isEmpty() || !window()) {
        delete oldNode;
        return nullptr;
    }

    auto *clip = static_cast<QSGClipNode *>(oldNode);
    QSGImageNode *imageNode = nullptr;
    if (!clip) {
        clip = new QSGClipNode;
        auto *geometry = new QSGGeometry(QSGGeometry::defaultAttributes_Point2D(), 0);
        clip->setGeometry(geometry);
        clip->setFlag(QSGNode::OwnsGeometry);
        imageNode = window()->createImageNode();
        imageNode->setOwnsTexture(true);
        imageNode->setFiltering(QSGTexture::Linear);
        clip->appendChildNode(imageNode);
        m_imageDirty = true;
        m_geometryDirty = true;
    } else {
        imageNode = static_cast<QSGImageNode *>(clip->firstChild());
    }

    if (m_imageDirty) {
        imageNode->setTexture(window()->createTextureFromImage(m_image));
        m_imageDirty = false;
        m_geometryDirty = true;
    }
    if (m_geometryDirty) {
        // Fill the frame with the aspect kept; the clip cuts what overflows.
        const QSizeF picture = m_image.size();
        const double scale
            = std::max(bounds.width() / picture.width(), bounds.height() / picture.height());
        const QSizeF visible(bounds.width() / scale, bounds.height() / scale);
        imageNode->setSourceRect(QRectF(QPointF((picture.width() - visible.width()) / 2,
                                            (picture.height() - visible.height()) / 2),
            visible));
        imageNode->setRect(bounds);
        clip->setClipRect(bounds);
        clip->setIsRectangular(m_cornerRadius <= 0);
        const QList<QPointF> triangles = clipTriangles(bounds, m_cornerRadius);
        QSGGeometry *geometry = clip->geometry();
        geometry->allocate(int(triangles.size()));
        geometry->setDrawingMode(QSGGeometry::DrawTriangles);
        auto *vertices = geometry->vertexDataAsPoint2D();
        for (qsizetype i = 0; i < triangles.size(); ++i)
            vertices[i].set(float(triangles[i].x()), float(triangles[i].y()));
        clip->markDirty(QSGNode::DirtyGeometry);
        m_geometryDirty = false;
    }
    return clip;
}

} // namespace orvella

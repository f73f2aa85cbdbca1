#include "ui/PictureItem.h"

#include "ui/RoundedCorners.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <cmath>

namespace orvella {

PictureItem::PictureItem(QSGTexture::Filtering filtering, Fit fit, QQuickItem *parent)
    : QQuickItem(parent)
    , m_filtering(filtering)
    , m_fit(fit)
{
    setFlag(ItemHasContents, true);
}

void PictureItem::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    m_pictureChanged = true;
    update();
}

void PictureItem::setPictureCornerRadius(double radius)
{
    if (m_cornerRadius == radius)
        return;
    m_cornerRadius = radius;
    update();
}

void PictureItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

QSGNode *PictureItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    const QRectF bounds = boundingRect();
    if (m_picture.isNull() || bounds.isEmpty() || !window()) {
        delete oldNode;
        m_pictureChanged = true;
        return nullptr;
    }
    auto *node = static_cast<QSGImageNode *>(oldNode);
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(m_filtering);
        m_pictureChanged = true;
    }
    const QRectF source = m_fit == Fit::Crop
        ? RoundedCorners::cropToFill(m_picture.size(), bounds.size())
        : QRectF(QPointF(0, 0), m_picture.size());
    if (m_cornerRadius <= 0) {
        if (m_pictureChanged)
            node->setTexture(window()->createTextureFromImage(m_picture));
        m_cutTexture = {};
        node->setSourceRect(source);
    } else {
        // Whole pixels of the picture, so the cut copy is made without resampling.
        const QRect crop = QRect(int(std::lround(source.x())), int(std::lround(source.y())),
            std::max(1, int(std::lround(source.width()))),
            std::max(1, int(std::lround(source.height()))))
                               .intersected(m_picture.rect());
        // Device pixels per picture pixel: the radius is cut in picture pixels, its edge
        // smoothed over one device pixel.
        const double scale
            = std::min(bounds.width() / crop.width(), bounds.height() / crop.height())
            * window()->effectiveDevicePixelRatio();
        const CutTexture wanted { crop,
            m_cornerRadius * window()->effectiveDevicePixelRatio() / scale,
            std::max(1.0, 1 / scale) };
        if (m_pictureChanged || wanted != m_cutTexture) {
            node->setTexture(window()->createTextureFromImage(
                RoundedCorners::cut(m_picture.copy(crop), wanted.radius, wanted.edge)));
            m_cutTexture = wanted;
        }
        node->setSourceRect(QRectF(QPointF(0, 0), crop.size()));
    }
    m_pictureChanged = false;
    node->setRect(bounds);
    return node;
}

} // namespace orvella

#include "studio/StudioPreviewItem.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace orvella {

StudioPreviewItem::StudioPreviewItem(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(false);
}

void StudioPreviewItem::setImage(const QImage &image)
{
    if (image.isNull() && m_image.isNull())
        return;
    m_image = image;
    emit imageChanged();
    update();
}

void StudioPreviewItem::setCornerRadius(double radius)
{
    if (radius == m_cornerRadius)
        return;
    m_cornerRadius = radius;
    emit cornerRadiusChanged();
    update();
}

QRectF StudioPreviewItem::fillRect(QSizeF imageSize, QSizeF itemSize)
{
    if (imageSize.isEmpty() || itemSize.isEmpty())
        return {};
    const double scale
        = std::max(itemSize.width() / imageSize.width(), itemSize.height() / imageSize.height());
    const QSizeF scaled = imageSize * scale;
    return QRectF(
        QPointF((itemSize.width() - scaled.width()) / 2, (itemSize.height() - scaled.height()) / 2),
        scaled);
}

void StudioPreviewItem::paint(QPainter *painter)
{
    if (m_image.isNull())
        return;
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(fillRect(m_image.size(), size()), m_image);
    if (m_cornerRadius <= 0)
        return;
    // What lies outside the rounded rectangle is wiped out, its arcs smoothed.
    const QRectF bounds = boundingRect();
    QPainterPath corners;
    corners.addRect(bounds);
    QPainterPath inside;
    inside.addRoundedRect(bounds, m_cornerRadius, m_cornerRadius);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter->fillPath(corners.subtracted(inside), Qt::black);
}

} // namespace orvella

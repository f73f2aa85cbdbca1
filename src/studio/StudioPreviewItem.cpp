#include "studio/StudioPreviewItem.h"

#include <QPainter>
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
}

} // namespace orvella

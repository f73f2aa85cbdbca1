#include "ui/PictureItem.h"

#include "ui/RoundedCorners.h"
#include "ui/RoundedPictureNodes.h"

#include <QQuickWindow>
#include <QSGImageNode>
#include <utility>

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
    const NodeKind kind = m_picture.isNull() || bounds.isEmpty() || !window() ? NodeKind::None
        : m_cornerRadius > 0                                                  ? NodeKind::Rounded
                                                                              : NodeKind::Image;
    if (kind != m_nodeKind) {
        delete oldNode;
        oldNode = nullptr;
        m_nodeKind = kind;
        m_pictureChanged = true;
    }
    if (kind == NodeKind::None)
        return nullptr;
    const QRectF source = m_fit == Fit::Crop
        ? RoundedCorners::cropToFill(m_picture.size(), bounds.size())
        : QRectF(QPointF(0, 0), m_picture.size());
    const bool pictureChanged = std::exchange(m_pictureChanged, false);
    if (kind == NodeKind::Rounded) {
        return RoundedPictureNodes::updateNode(oldNode, *window(),
            { m_picture, source, bounds, QPolygonF(RoundedCorners::outline(bounds, m_cornerRadius)),
                m_filtering },
            pictureChanged);
    }
    auto *node = static_cast<QSGImageNode *>(oldNode);
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(m_filtering);
    }
    if (pictureChanged || !node->texture())
        node->setTexture(window()->createTextureFromImage(m_picture));
    node->setSourceRect(source);
    node->setRect(bounds);
    return node;
}

} // namespace orvella

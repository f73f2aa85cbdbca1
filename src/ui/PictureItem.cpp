#include "ui/PictureItem.h"

#include "ui/RoundedCorners.h"

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

void PictureItem::setCornerRadius(double radius)
{
    if (m_cornerRadius == radius)
        return;
    m_cornerRadius = radius;
    update();
    emit cornerRadiusChanged();
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
    const QRectF source = m_fit == Fit::Crop
        ? RoundedCorners::cropToFill(m_picture.size(), bounds.size())
        : QRectF(QPointF(0, 0), m_picture.size());
    return m_node.update(oldNode, window(),
        { m_picture, source, bounds, m_cornerRadius, m_filtering, m_changesOften },
        std::exchange(m_pictureChanged, false));
}

QSGNode *PictureNode::update(
    QSGNode *oldNode, QQuickWindow *window, const Picture &picture, bool imageChanged)
{
    const Kind kind = picture.image.isNull() || picture.bounds.isEmpty() || !window ? Kind::None
        : picture.cornerRadius > 0                                                  ? Kind::Rounded
                                                                                    : Kind::Image;
    if (kind != m_kind) {
        delete oldNode;
        oldNode = nullptr;
        m_kind = kind;
        imageChanged = true;
    }
    if (kind == Kind::None)
        return nullptr;
    if (kind == Kind::Rounded) {
        return RoundedPictureNodes::updateNode(oldNode, *window, picture, imageChanged);
    }
    auto *node = static_cast<QSGImageNode *>(oldNode);
    if (!node) {
        node = window->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(picture.filtering);
    }
    // An opaque picture lets the renderer skip blending and whatever lies under it.
    if (imageChanged || !node->texture())
        node->setTexture(window->createTextureFromImage(picture.image));
    node->setSourceRect(picture.source);
    node->setRect(picture.bounds);
    return node;
}

} // namespace orvella

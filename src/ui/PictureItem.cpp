#include "ui/PictureItem.h"

#include <QQuickWindow>
#include <QSGImageNode>

namespace orvella {

PictureItem::PictureItem(QSGTexture::Filtering filtering, QQuickItem *parent)
    : QQuickItem(parent)
    , m_filtering(filtering)
{
    setFlag(ItemHasContents, true);
}

void PictureItem::setPicture(QImage picture)
{
    m_picture = std::move(picture);
    m_dirty = true;
    update();
}

QSGNode *PictureItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    if (m_picture.isNull() || boundingRect().isEmpty() || !window()) {
        delete oldNode;
        return nullptr;
    }
    auto *node = static_cast<QSGImageNode *>(oldNode);
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(m_filtering);
        m_dirty = true;
    }
    if (m_dirty) {
        node->setTexture(window()->createTextureFromImage(m_picture));
        m_dirty = false;
    }
    node->setRect(boundingRect());
    return node;
}

} // namespace orvella

#include "ui/BundledImageItem.h"

#include "platform/PlatformLog.h"

#include <QQmlFile>
#include <QQuickWindow>
#include <QSGImageNode>

namespace orvella {

BundledImageItem::BundledImageItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
}

void BundledImageItem::setSource(const QUrl &source)
{
    if (source == m_source)
        return;
    m_source = source;
    // Only pictures compiled into the application or next to it: nothing from the network.
    const QString path = QQmlFile::urlToLocalFileOrQrc(source);
    m_image = path.isEmpty() ? QImage() : QImage(path);
    if (m_image.isNull() && !source.isEmpty())
        qCWarning(lcPlatform) << "No bundled picture at" << source;
    m_imageDirty = true;
    update();
    emit sourceChanged();
}

QSGNode *BundledImageItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    if (m_image.isNull() || boundingRect().isEmpty() || !window()) {
        delete oldNode;
        return nullptr;
    }
    auto *node = static_cast<QSGImageNode *>(oldNode);
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        node->setFiltering(QSGTexture::Linear);
        m_imageDirty = true;
    }
    if (m_imageDirty) {
        node->setTexture(window()->createTextureFromImage(m_image));
        m_imageDirty = false;
    }
    node->setRect(boundingRect());
    return node;
}

} // namespace orvella

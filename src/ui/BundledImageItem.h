#pragma once

#include <QImage>
#include <QQuickItem>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// A picture shipped inside the application, stretched over the item. Unlike Image, its texture
// belongs to the item's own scene-graph node, so it goes with the window instead of waiting in
// the shared picture cache until the process ends.
class BundledImageItem : public QQuickItem
{
    Q_OBJECT
    QML_NAMED_ELEMENT(BundledImage)
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)

public:
    explicit BundledImageItem(QQuickItem *parent = nullptr);

    QUrl source() const { return m_source; }
    void setSource(const QUrl &source);

signals:
    void sourceChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;

private:
    QUrl m_source;
    QImage m_image;
    bool m_imageDirty = false;
};

} // namespace orvella

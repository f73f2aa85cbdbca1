#pragma once

#include <QImage>
#include <QQuickItem>
#include <QSGTexture>

namespace orvella {

// An item that stretches one picture over itself. The texture belongs to the item's own
// scene-graph node, so it goes with the item and its window.
class PictureItem : public QQuickItem
{
    Q_OBJECT

public:
    explicit PictureItem(QSGTexture::Filtering filtering, QQuickItem *parent = nullptr);

protected:
    [[nodiscard]] const QImage &picture() const { return m_picture; }
    void setPicture(QImage picture);
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;

private:
    QImage m_picture;
    QSGTexture::Filtering m_filtering;
    bool m_dirty = true;
};

} // namespace orvella

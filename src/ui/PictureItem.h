#pragma once

#include <QImage>
#include <QQuickItem>
#include <QSGTexture>

namespace orvella {

// An item that shows one picture over itself, stretched or cropped to fill it with its aspect
// kept, optionally inside rounded corners (drawn alike by every scene-graph back end, the
// software one included; see RoundedPictureNodes). The texture belongs to the item's own
// scene-graph node, so it goes with the item and its window.
class PictureItem : public QQuickItem
{
    Q_OBJECT

public:
    enum class Fit { Stretch, Crop };

    explicit PictureItem(QSGTexture::Filtering filtering, QQuickItem *parent = nullptr)
        : PictureItem(filtering, Fit::Stretch, parent)
    { }
    PictureItem(QSGTexture::Filtering filtering, Fit fit, QQuickItem *parent = nullptr);

protected:
    [[nodiscard]] const QImage &picture() const { return m_picture; }
    void setPicture(QImage picture);
    [[nodiscard]] double pictureCornerRadius() const { return m_cornerRadius; }
    void setPictureCornerRadius(double radius);
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    // Which node draws the picture: a plain image node, or one that keeps to the corners.
    enum class NodeKind { None, Image, Rounded };

    QImage m_picture;
    QSGTexture::Filtering m_filtering;
    Fit m_fit;
    double m_cornerRadius = 0;
    bool m_pictureChanged = true;
    NodeKind m_nodeKind = NodeKind::None;
};

} // namespace orvella

#pragma once

#include "ui/RoundedPictureNodes.h"

#include <QImage>
#include <QQuickItem>
#include <QRectF>
#include <QSGTexture>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The node an item draws one picture with: a plain image node, or a node that keeps to rounded
// corners (drawn alike by every scene-graph back end, the software one included; see
// RoundedPictureNodes) while the corners are rounded. The texture belongs to the node, so it
// goes with the item and its window.
class PictureNode
{
public:
    using Picture = RoundedPictureNodes::Picture;

    // `oldNode` (null, or what the last call gave) made to draw `picture`, null where there is
    // nothing to draw; `imageChanged` says whether its image differs from the last call's.
    [[nodiscard]] QSGNode *update(
        QSGNode *oldNode, QQuickWindow *window, const Picture &picture, bool imageChanged);

private:
    enum class Kind { None, Image, Rounded };
    Kind m_kind = Kind::None;
};

// An item that shows one picture over itself, stretched or cropped to fill it with its aspect
// kept, inside corners of `cornerRadius` (see PictureNode).
class PictureItem : public QQuickItem
{
    Q_OBJECT
    QML_ANONYMOUS
    Q_PROPERTY(
        double cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)

public:
    enum class Fit { Stretch, Crop };

    explicit PictureItem(QSGTexture::Filtering filtering, QQuickItem *parent = nullptr)
        : PictureItem(filtering, Fit::Stretch, parent)
    { }
    PictureItem(QSGTexture::Filtering filtering, Fit fit, QQuickItem *parent = nullptr);

    [[nodiscard]] double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);

signals:
    void cornerRadiusChanged();

protected:
    [[nodiscard]] const QImage &picture() const { return m_picture; }
    void setPicture(QImage picture);
    // For items whose picture is replaced many times a second.
    void setPictureChangesOften(bool often) { m_changesOften = often; }
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    QImage m_picture;
    QSGTexture::Filtering m_filtering;
    Fit m_fit;
    double m_cornerRadius = 0;
    bool m_pictureChanged = true;
    bool m_changesOften = false;
    PictureNode m_node;
};

} // namespace orvella

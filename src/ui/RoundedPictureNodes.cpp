#include "ui/RoundedPictureNodes.h"

#include "ui/PaintedNode.h"
#include "ui/RoundedCorners.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QQuickWindow>
#include <QSGGeometryNode>
#include <QSGOpaqueTextureMaterial>
#include <QSGRendererInterface>
#include <QSGTextureMaterial>
#include <memory>

namespace orvella {

namespace {

using Picture = RoundedPictureNodes::Picture;

QPolygonF outline(const Picture &picture)
{
    return QPolygonF(RoundedCorners::outline(picture.bounds, picture.cornerRadius));
}

// The graphics back ends: the outline as triangles around its centre, textured with the
// picture. The texture belongs to the node.
class TexturedOutline : public QSGGeometryNode
{
public:
    TexturedOutline()
        : m_geometry(QSGGeometry::defaultAttributes_TexturedPoint2D(), 0)
    {
        m_geometry.setDrawingMode(QSGGeometry::DrawTriangles);
        setGeometry(&m_geometry);
        // The opaque material serves while the item is fully opaque, the other fades with it.
        setOpaqueMaterial(&m_opaqueMaterial);
        setMaterial(&m_material);
    }

    void setTexture(std::unique_ptr<QSGTexture> texture, QSGTexture::Filtering filtering)
    {
        m_texture = std::move(texture);
        for (QSGOpaqueTextureMaterial *material :
            { &m_opaqueMaterial, static_cast<QSGOpaqueTextureMaterial *>(&m_material) }) {
            material->setTexture(m_texture.get());
            material->setFiltering(filtering);
            material->setHorizontalWrapMode(QSGTexture::ClampToEdge);
            material->setVerticalWrapMode(QSGTexture::ClampToEdge);
        }
        m_opaqueMaterial.setFlag(QSGMaterial::Blending, m_texture->hasAlphaChannel());
        markDirty(QSGNode::DirtyMaterial);
    }

    void place(const Picture &picture)
    {
        // Where the shown part lies in the texture (which may be a part of an atlas).
        const QRectF part = m_texture->normalizedTextureSubRect();
        const QSizeF size = picture.image.size();
        const QRectF &s = picture.source, &b = picture.bounds;
        const QRectF source(part.x() + s.x() / size.width() * part.width(),
            part.y() + s.y() / size.height() * part.height(),
            s.width() / size.width() * part.width(), s.height() / size.height() * part.height());
        const auto vertex = [&](QSGGeometry::TexturedPoint2D &v, QPointF p) {
            v.set(float(p.x()), float(p.y()),
                float(source.x() + (p.x() - b.x()) / b.width() * source.width()),
                float(source.y() + (p.y() - b.y()) / b.height() * source.height()));
        };
        const QPolygonF corners = outline(picture);
        const qsizetype n = corners.size();
        m_geometry.allocate(int(3 * n));
        QSGGeometry::TexturedPoint2D *vertices = m_geometry.vertexDataAsTexturedPoint2D();
        for (qsizetype i = 0; i < n; ++i) {
            vertex(vertices[3 * i], b.center());
            vertex(vertices[3 * i + 1], corners[i]);
            vertex(vertices[3 * i + 2], corners[(i + 1) % n]);
        }
        markDirty(QSGNode::DirtyGeometry);
    }

private:
    QSGGeometry m_geometry;
    QSGOpaqueTextureMaterial m_opaqueMaterial;
    QSGTextureMaterial m_material;
    std::unique_ptr<QSGTexture> m_texture;
};

// The software back end: QPainter draws the picture clipped to the outline.
class PaintedPicture : public PaintedNode
{
public:
    using PaintedNode::PaintedNode;

    void set(const Picture &picture)
    {
        m_picture = picture;
        repaint(picture.bounds);
    }

protected:
    void paint(QPainter &painter) override
    {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(
            QPainter::SmoothPixmapTransform, m_picture.filtering == QSGTexture::Linear);
        QPainterPath clip;
        clip.addPolygon(outline(m_picture));
        clip.closeSubpath();
        painter.setClipPath(clip, Qt::IntersectClip);
        painter.drawImage(m_picture.bounds, m_picture.image, m_picture.source);
    }

private:
    Picture m_picture;
};

} // namespace

QSGNode *RoundedPictureNodes::updateNode(
    QSGNode *oldNode, QQuickWindow &window, const Picture &picture, bool imageChanged)
{
    if (window.rendererInterface()->graphicsApi() == QSGRendererInterface::Software) {
        auto *node = static_cast<PaintedPicture *>(oldNode);
        if (!node)
            node = new PaintedPicture(&window);
        node->set(picture);
        return node;
    }
    auto *node = static_cast<TexturedOutline *>(oldNode);
    if (!node) {
        node = new TexturedOutline;
        imageChanged = true;
    }
    if (imageChanged) {
        const auto options = picture.changesOften ? QQuickWindow::CreateTextureOptions()
                                                  : QQuickWindow::TextureCanUseAtlas;
        node->setTexture(
            std::unique_ptr<QSGTexture>(window.createTextureFromImage(picture.image, options)),
            picture.filtering);
    }
    node->place(picture);
    return node;
}

} // namespace orvella

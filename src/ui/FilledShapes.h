#pragma once

#include <QBrush>
#include <QColor>
#include <QList>
#include <QPolygonF>
#include <QSGGeometry>
#include <vector>

class QQuickWindow;
class QSGNode;

namespace orvella {

// A linear gradient from `start` to `end` through `stops`, padded with its end colours beyond
// them; a single stop is a plain colour.
struct ShapeFill
{
    QPointF start;
    QPointF end;
    QGradientStops stops;

    [[nodiscard]] static ShapeFill solid(const QColor &colour);
};

// A convex outline, clockwise on screen, and what fills it.
struct FilledShape
{
    QPolygonF outline;
    ShapeFill fill;
};

// Filled shapes drawn by one scene-graph node in one pass, alike on every back end: triangles
// with vertex colours on the graphics back ends (the shader every plain rectangle uses, and no
// stencil), QPainter on the software one, which draws no custom geometry. Edges are smooth.
namespace FilledShapes {

// `top` laid over `bottom` (source over), in plain (not premultiplied) alpha.
[[nodiscard]] QColor over(const QColor &top, const QColor &bottom);

// The fill's colour at `point`, premultiplied.
[[nodiscard]] QSGGeometry::ColoredPoint2D colourAt(const ShapeFill &fill, QPointF point);

// The shape as triangles (three vertices each) with premultiplied colours: cut where the
// gradient bends, so blending vertex colours draws it exactly, and faded to transparent over
// `edge` units across the outline.
[[nodiscard]] QList<QSGGeometry::ColoredPoint2D> triangles(const FilledShape &shape, double edge);

// `oldNode` (null, or what the last call for the same item gave) made to draw `shapes`, back to
// front, within `bounds`.
[[nodiscard]] QSGNode *updateNode(
    QSGNode *oldNode, QQuickWindow &window, const QRectF &bounds, std::vector<FilledShape> shapes);

} // namespace FilledShapes

} // namespace orvella

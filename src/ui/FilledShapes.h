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

// A convex outline, clockwise on screen, what fills it and how its edge meets what lies beyond.
struct FilledShape
{
    enum class Edge { Smooth, Sharp };

    QPolygonF outline;
    ShapeFill fill;
    Edge edge = Edge::Smooth;
    // What lies beyond the outline, when it is known: a smooth edge fades into it rather than
    // into transparency, so an opaque shape needs no blending.
    QColor beyond;
};

// Filled shapes drawn alike on every scene-graph back end: triangles with vertex colours on the
// graphics back ends (the shader every plain rectangle uses, and no stencil; the renderer
// batches them into one draw), QPainter on the software one, which draws no custom geometry. Shapes
// that end up wholly opaque are drawn without blending: on a software OpenGL driver every blended
// kind of drawing costs a shader compiled for it alone.
namespace FilledShapes {

// `top` laid over `bottom` (source over), in plain (not premultiplied) alpha.
[[nodiscard]] QColor over(const QColor &top, const QColor &bottom);

// The fill's colour at `point`, premultiplied.
[[nodiscard]] QSGGeometry::ColoredPoint2D colourAt(const ShapeFill &fill, QPointF point);
// The same in plain alpha.
[[nodiscard]] QColor colourOf(const ShapeFill &fill, QPointF point);

// The shape as triangles (three vertices each) with premultiplied colours: cut where the
// gradient bends, so blending vertex colours draws it exactly; a smooth edge fades into what
// lies beyond over `edge` units across the outline.
[[nodiscard]] QList<QSGGeometry::ColoredPoint2D> triangles(const FilledShape &shape, double edge);

// `oldNode` (null, or what the last call for the same item gave) made to draw `shapes`, back to
// front, within `bounds`.
[[nodiscard]] QSGNode *updateNode(
    QSGNode *oldNode, QQuickWindow &window, const QRectF &bounds, std::vector<FilledShape> shapes);

} // namespace FilledShapes

} // namespace orvella

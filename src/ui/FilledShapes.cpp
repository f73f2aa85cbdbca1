#include "ui/FilledShapes.h"

#include "ui/PaintedNode.h"

#include <QLinearGradient>
#include <QPainter>
#include <QQuickWindow>
#include <QSGGeometryNode>
#include <QSGRendererInterface>
#include <QSGVertexColorMaterial>
#include <algorithm>
#include <cmath>
#include <limits>

namespace orvella {

namespace {

using Vertex = QSGGeometry::ColoredPoint2D;

// The software back end: QPainter fills the same outlines with the same gradients.
class PaintedShapes : public PaintedNode
{
public:
    using PaintedNode::PaintedNode;

    void set(const QRectF &bounds, std::vector<FilledShape> shapes)
    {
        m_shapes = std::move(shapes);
        repaint(bounds);
    }

protected:
    void paint(QPainter &painter) override
    {
        painter.setPen(Qt::NoPen);
        for (const FilledShape &shape : m_shapes) {
            painter.setRenderHint(QPainter::Antialiasing, shape.edge == FilledShape::Edge::Smooth);
            const ShapeFill &fill = shape.fill;
            if (fill.stops.size() == 1) {
                painter.setBrush(fill.stops.front().second);
            } else {
                QLinearGradient gradient(fill.start, fill.end);
                gradient.setStops(fill.stops);
                painter.setBrush(gradient);
            }
            painter.drawPolygon(shape.outline);
        }
    }

private:
    std::vector<FilledShape> m_shapes;
};

// Keeps the part of a convex polygon where `side` is not negative.
template<typename Side>
QList<QPointF> keepWhere(const QList<QPointF> &polygon, Side side)
{
    QList<QPointF> kept;
    for (qsizetype i = 0; i < polygon.size(); ++i) {
        const QPointF a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        const double sa = side(a), sb = side(b);
        if (sa >= 0)
            kept.append(a);
        if ((sa >= 0) != (sb >= 0))
            kept.append(a + (b - a) * (sa / (sa - sb)));
    }
    return kept;
}

QPointF unitNormal(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    return length > 0 ? QPointF(d.y() / length, -d.x() / length) : QPointF();
}

} // namespace

ShapeFill ShapeFill::solid(const QColor &colour)
{
    return { {}, {}, { { 0.0, colour } } };
}

QColor FilledShapes::over(const QColor &top, const QColor &bottom)
{
    const double a = top.alphaF(), b = bottom.alphaF() * (1 - a);
    const double alpha = a + b;
    if (alpha <= 0)
        return QColor::fromRgbF(0, 0, 0, 0);
    const auto mix = [&](double t, double u) { return float((t * a + u * b) / alpha); };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
        mix(top.blueF(), bottom.blueF()), float(alpha));
}

QColor FilledShapes::colourOf(const ShapeFill &fill, QPointF point)
{
    const Vertex v = colourAt(fill, point);
    if (v.a == 0)
        return QColor::fromRgbF(0, 0, 0, 0);
    const auto plain = [&v](uchar c) { return std::min(255, int(std::lround(c * 255.0 / v.a))); };
    return QColor(plain(v.r), plain(v.g), plain(v.b), v.a);
}

Vertex FilledShapes::colourAt(const ShapeFill &fill, QPointF point)
{
    const QPointF axis = fill.end - fill.start;
    const double length2 = QPointF::dotProduct(axis, axis);
    const double t = length2 > 0 ? QPointF::dotProduct(point - fill.start, axis) / length2 : 0;
    const auto premultiplied = [](const QColor &c) {
        const double a = c.alphaF();
        return std::array { c.redF() * a, c.greenF() * a, c.blueF() * a, a };
    };
    const QGradientStops &stops = fill.stops;
    std::array<double, 4> colour = premultiplied(stops.front().second);
    if (t >= stops.back().first) {
        colour = premultiplied(stops.back().second);
    } else {
        for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
            const auto &[p0, c0] = stops[i];
            const auto &[p1, c1] = stops[i + 1];
            if (t >= p0 && t < p1) {
                const double f = (t - p0) / (p1 - p0);
                const auto a = premultiplied(c0), b = premultiplied(c1);
                for (int k = 0; k < 4; ++k)
                    colour[k] = a[k] + (b[k] - a[k]) * f;
                break;
            }
        }
    }
    const auto byte = [](double v) { return uchar(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    Vertex vertex;
    vertex.set(float(point.x()), float(point.y()), byte(colour[0]), byte(colour[1]),
        byte(colour[2]), byte(colour[3]));
    return vertex;
}

QList<Vertex> FilledShapes::triangles(const FilledShape &shape, double edge)
{
    QList<Vertex> vertices;
    const ShapeFill &fill = shape.fill;
    const QRectF rect = shape.outline.boundingRect();
    if (rect.isEmpty() || fill.stops.isEmpty())
        return vertices;
    const QPointF axis = fill.end - fill.start;
    const double length2 = QPointF::dotProduct(axis, axis);
    const auto along = [&](QPointF p) {
        return length2 > 0 ? QPointF::dotProduct(p - fill.start, axis) / length2 : 0.0;
    };

    // The outline with a point wherever it crosses a stop, so that each piece of the edge lies
    // within one stretch of the gradient.
    const QPolygonF &corners = shape.outline;
    QList<QPointF> outline;
    for (qsizetype i = 0; i < corners.size(); ++i) {
        const QPointF a = corners[i], b = corners[(i + 1) % corners.size()];
        if (std::hypot(b.x() - a.x(), b.y() - a.y()) < 1e-6)
            continue;
        outline.append(a);
        const double ta = along(a), tb = along(b);
        std::vector<double> crossings;
        for (const auto &stop : fill.stops) {
            const double f = (stop.first - ta) / (tb - ta);
            if (tb != ta && f > 1e-6 && f < 1 - 1e-6)
                crossings.push_back(f);
        }
        std::ranges::sort(crossings);
        for (const double f : crossings)
            outline.append(a + (b - a) * f);
    }
    const qsizetype n = outline.size();
    if (n < 3)
        return vertices;

    // Across the outline, half the edge inwards and half outwards, mitred at sharp corners.
    const double half = shape.edge == FilledShape::Edge::Smooth
        ? std::min(edge / 2, std::min(rect.width(), rect.height()) / 4)
        : 0.0;
    QList<QPointF> inner(n), outer(n);
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF before = unitNormal(outline[(i + n - 1) % n], outline[i]);
        const QPointF after = unitNormal(outline[i], outline[(i + 1) % n]);
        const QPointF offset = (before + after) / (1 + QPointF::dotProduct(before, after)) * half;
        inner[i] = outline[i] - offset;
        outer[i] = outline[i] + offset;
    }

    const auto triangle = [&](const Vertex &a, const Vertex &b, const Vertex &c) {
        vertices.append(a);
        vertices.append(b);
        vertices.append(c);
    };
    // The inside, cut into the stretches between stops: within each the gradient is linear,
    // as triangles blend their vertex colours.
    std::vector<double> cuts { -std::numeric_limits<double>::infinity() };
    for (const auto &stop : fill.stops)
        cuts.push_back(stop.first);
    cuts.push_back(std::numeric_limits<double>::infinity());
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        QList<QPointF> piece = inner;
        if (std::isfinite(cuts[k]))
            piece = keepWhere(piece, [&](QPointF p) { return along(p) - cuts[k]; });
        if (std::isfinite(cuts[k + 1]))
            piece = keepWhere(piece, [&](QPointF p) { return cuts[k + 1] - along(p); });
        for (qsizetype i = 1; i + 1 < piece.size(); ++i)
            triangle(
                colourAt(fill, piece[0]), colourAt(fill, piece[i]), colourAt(fill, piece[i + 1]));
    }
    // The edge: from the inside's colour to what lies beyond, or to nothing.
    if (half > 0) {
        const ShapeFill beyond
            = ShapeFill::solid(shape.beyond.isValid() ? shape.beyond : QColor(Qt::transparent));
        const auto clear = [&beyond](QPointF p) { return colourAt(beyond, p); };
        for (qsizetype i = 0; i < n; ++i) {
            const qsizetype j = (i + 1) % n;
            const Vertex a = colourAt(fill, inner[i]), b = colourAt(fill, inner[j]);
            triangle(a, b, clear(outer[j]));
            triangle(a, clear(outer[j]), clear(outer[i]));
        }
    }
    return vertices;
}

QSGNode *FilledShapes::updateNode(
    QSGNode *oldNode, QQuickWindow &window, const QRectF &bounds, std::vector<FilledShape> shapes)
{
    if (window.rendererInterface()->graphicsApi() == QSGRendererInterface::Software) {
        auto *node = static_cast<PaintedShapes *>(oldNode);
        if (!node)
            node = new PaintedShapes(&window);
        node->set(bounds, std::move(shapes));
        return node;
    }
    // One node a shape: opaque nodes are drawn front to back with a depth test, so a shape
    // over another within one node would lose to it.
    QSGNode *root = oldNode ? oldNode : new QSGNode;
    while (root->childCount() > int(shapes.size())) {
        QSGNode *last = root->lastChild();
        root->removeChildNode(last);
        delete last;
    }
    while (root->childCount() < int(shapes.size())) {
        auto *node = new QSGGeometryNode;
        auto *geometry = new QSGGeometry(QSGGeometry::defaultAttributes_ColoredPoint2D(), 0);
        geometry->setDrawingMode(QSGGeometry::DrawTriangles);
        node->setGeometry(geometry);
        node->setMaterial(new QSGVertexColorMaterial);
        node->setFlags(QSGNode::OwnsGeometry | QSGNode::OwnsMaterial);
        root->appendChildNode(node);
    }
    // The edge fades over one device pixel.
    const double edge = 1 / window.effectiveDevicePixelRatio();
    QSGNode *child = root->firstChild();
    for (const FilledShape &shape : shapes) {
        auto *node = static_cast<QSGGeometryNode *>(child);
        child = child->nextSibling();
        const QList<Vertex> vertices = triangles(shape, edge);
        const bool opaque
            = std::ranges::all_of(vertices, [](const Vertex &vertex) { return vertex.a == 255; });
        if (QSGMaterial *material = node->material();
            material->flags().testFlag(QSGMaterial::Blending) == opaque) {
            material->setFlag(QSGMaterial::Blending, !opaque);
            node->markDirty(QSGNode::DirtyMaterial);
        }
        QSGGeometry *geometry = node->geometry();
        geometry->allocate(int(vertices.size()));
        std::copy(vertices.cbegin(), vertices.cend(), geometry->vertexDataAsColoredPoint2D());
        node->markDirty(QSGNode::DirtyGeometry);
    }
    return root;
}

} // namespace orvella

#include "ui/RoundDotItem.h"

#include "ui/FilledShapes.h"
#include "ui/RoundedCorners.h"

#include <QSGNode>
#include <algorithm>

namespace orvella {

RoundDotItem::RoundDotItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
}

void RoundDotItem::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    emit colorChanged();
    update();
}

void RoundDotItem::setDiameter(double diameter)
{
    if (diameter == m_diameter)
        return;
    m_diameter = diameter;
    emit diameterChanged();
    update();
}

void RoundDotItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

QSGNode *RoundDotItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    const QRectF bounds = boundingRect();
    const double diameter = std::min({ m_diameter, bounds.width(), bounds.height() });
    if (diameter <= 0 || m_color.alpha() == 0 || !window()) {
        delete oldNode;
        return nullptr;
    }
    QRectF circle(0, 0, diameter, diameter);
    circle.moveCenter(bounds.center());
    std::vector<FilledShape> shapes;
    shapes.push_back({ QPolygonF(RoundedCorners::outline(circle, diameter / 2)),
        ShapeFill::solid(m_color), FilledShape::Edge::Smooth, {} });
    return FilledShapes::updateNode(oldNode, *window(), bounds, std::move(shapes));
}

} // namespace orvella

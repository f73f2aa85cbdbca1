#include "ui/RoundedFillItem.h"

#include "ui/FilledShapes.h"
#include "ui/RoundedCorners.h"

#include <QSGNode>

namespace orvella {

RoundedFillItem::RoundedFillItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
}

template<typename Value>
void RoundedFillItem::change(Value &member, const Value &value)
{
    if (member == value)
        return;
    member = value;
    emit fillChanged();
    update();
}

void RoundedFillItem::setRadius(double radius)
{
    change(m_radius, radius);
}

void RoundedFillItem::setFromColor(const QColor &color)
{
    change(m_fromColor, color);
}

void RoundedFillItem::setToColor(const QColor &color)
{
    change(m_toColor, color);
}

void RoundedFillItem::setDiagonal(bool diagonal)
{
    change(m_diagonal, diagonal);
}

void RoundedFillItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

QSGNode *RoundedFillItem::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    const QRectF bounds = boundingRect();
    if (bounds.isEmpty() || (m_fromColor.alpha() == 0 && m_toColor.alpha() == 0) || !window()) {
        delete oldNode;
        return nullptr;
    }
    const ShapeFill fill = m_fromColor == m_toColor
        ? ShapeFill::solid(m_fromColor)
        : ShapeFill { bounds.topLeft(), m_diagonal ? bounds.bottomRight() : bounds.bottomLeft(),
              { { 0.0, m_fromColor }, { 1.0, m_toColor } } };
    std::vector<FilledShape> shapes;
    shapes.push_back({ QPolygonF(RoundedCorners::outline(bounds, m_radius)), fill,
        FilledShape::Edge::Smooth, {} });
    return FilledShapes::updateNode(oldNode, *window(), bounds, std::move(shapes));
}

} // namespace orvella

#include "ui/RoundDotItem.h"

#include <QPainter>
#include <algorithm>

namespace orvella {

RoundDotItem::RoundDotItem(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{ }

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

void RoundDotItem::paint(QPainter *painter)
{
    const double diameter = std::min({ m_diameter, width(), height() });
    if (diameter <= 0)
        return;
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_color);
    painter->drawEllipse(boundingRect().center(), diameter / 2, diameter / 2);
}

} // namespace orvella

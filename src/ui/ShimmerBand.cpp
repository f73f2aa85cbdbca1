#include "ui/ShimmerBand.h"

#include "core/PublishedValue.h"
#include "ui/RoundedCorners.h"

#include <QQuickWindow>
#include <cmath>

namespace orvella {

ShimmerBand::ShimmerBand(QQuickItem *parent)
    : AnimationTimeline(parent)
{
    setFlag(ItemHasContents, true);
    connect(this, &AnimationTimeline::timeChanged, this, &QQuickItem::update);
}

void ShimmerBand::setCornerRadius(double radius)
{
    if (publish(this, m_cornerRadius, radius, &ShimmerBand::cornerRadiusChanged))
        update();
}

void ShimmerBand::setBaseColor(const QColor &color)
{
    if (publish(this, m_baseColor, color, &ShimmerBand::baseColorChanged))
        update();
}

void ShimmerBand::setBandColor(const QColor &color)
{
    if (publish(this, m_bandColor, color, &ShimmerBand::bandColorChanged))
        update();
}

void ShimmerBand::setSpinnerColor(const QColor &color)
{
    if (publish(this, m_spinnerColor, color, &ShimmerBand::spinnerColorChanged))
        update();
}

void ShimmerBand::setBackgroundColor(const QColor &color)
{
    if (publish(this, m_backgroundColor, color, &ShimmerBand::backgroundColorChanged))
        update();
}

void ShimmerBand::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    AnimationTimeline::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        update();
}

ShapeFill ShimmerBand::fill(
    const QRectF &rect, double phase, const QColor &base, const QColor &band)
{
    const auto at = [&rect](double x, double y) {
        return QPointF(rect.x() + x * rect.width(), rect.y() + y * rect.height());
    };
    QColor light = Qt::white;
    light.setAlphaF(float(0.08 + 0.1 * phase));
    QColor veiledBand = band;
    veiledBand.setAlphaF(0.9f);
    return { at(phase - 0.2, 0), at(phase + 0.6, 1),
        { { 0.0, base }, { 1.0 / 3, light }, { 2.0 / 3, veiledBand }, { 1.0, base } } };
}

std::vector<FilledShape> ShimmerBand::shapes(const QRectF &rect, double time) const
{
    ShapeFill band = fill(rect, Pulse::shimmerPhase(time), m_baseColor, m_bandColor);
    if (m_backgroundColor.alpha() > 0) {
        for (auto &[position, colour] : band.stops)
            colour = FilledShapes::over(colour, m_backgroundColor);
    }
    // Over an opaque background everything drawn is opaque and needs no blending; the band's
    // outline, which borders what the item does not know, is then left sharp.
    const bool opaque = m_backgroundColor.alpha() == 255;
    std::vector<FilledShape> shapes;
    shapes.push_back({ QPolygonF(RoundedCorners::outline(rect, m_cornerRadius)), band,
        opaque ? FilledShape::Edge::Sharp : FilledShape::Edge::Smooth, {} });
    if (m_spinnerColor.alpha() == 0)
        return shapes;
    // Eight dots a fifth of the spinner across, each 11 % fainter than the one before it,
    // smoothed into the band beneath them.
    constexpr double diameter = 14, dot = diameter / 5, period = 0.9;
    const double turned = 2 * M_PI * (time / period - std::floor(time / period));
    const double orbit = diameter / 2 - dot / 2;
    const QPolygonF circle(RoundedCorners::outline(QRectF(-dot / 2, -dot / 2, dot, dot), dot / 2));
    for (int i = 0; i < 8; ++i) {
        const double angle = i * M_PI / 4 + turned;
        const QPointF centre
            = rect.center() + QPointF(std::sin(angle) * orbit, -std::cos(angle) * orbit);
        QColor colour = m_spinnerColor;
        colour.setAlphaF(float(m_spinnerColor.alphaF() * (1 - i * 0.11)));
        QColor beneath;
        if (opaque) {
            beneath = FilledShapes::colourOf(band, centre);
            colour = FilledShapes::over(colour, beneath);
        }
        shapes.push_back({ circle.translated(centre), ShapeFill::solid(colour),
            FilledShape::Edge::Smooth, beneath });
    }
    return shapes;
}

QSGNode *ShimmerBand::updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *)
{
    const QRectF bounds = boundingRect();
    if (bounds.isEmpty() || !window()) {
        delete oldNode;
        return nullptr;
    }
    return FilledShapes::updateNode(oldNode, *window(), bounds, shapes(bounds, time()));
}

} // namespace orvella

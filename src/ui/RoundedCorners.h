#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

namespace orvella {

// Rounded rectangles drawn without a clip (the scene graph's software back end clips to
// rectangles only) as outlines that every back end fills alike. Radii are clamped to half the
// shorter side.
namespace RoundedCorners {

// The outline of `rect` with circular corners, clockwise from the top edge's right end; each
// corner is a polyline close enough to the arc (within a tenth of a unit) for its radius.
[[nodiscard]] QList<QPointF> outline(const QRectF &rect, double radius);

// The centred part of a `picture` that fills `frame` with its aspect kept, in picture pixels.
[[nodiscard]] QRectF cropToFill(const QSizeF &picture, const QSizeF &frame);

} // namespace RoundedCorners

} // namespace orvella

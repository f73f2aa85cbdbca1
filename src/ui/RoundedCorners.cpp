#include "ui/RoundedCorners.h"

#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

double clampedRadius(double radius, double width, double height)
{
    return std::clamp(radius, 0.0, std::max(0.0, std::min(width, height) / 2));
}

// Straight pieces per quarter circle so that none strays more than a tenth of a unit from it.
int segmentsFor(double radius)
{
    constexpr double tolerance = 0.1;
    if (radius <= tolerance)
        return 0;
    const double step = 2 * std::acos(1 - tolerance / radius);
    return std::clamp(int(std::ceil(M_PI / 2 / step)), 1, 32);
}

} // namespace

QList<QPointF> RoundedCorners::outline(const QRectF &rect, double radius)
{
    const double r = clampedRadius(radius, rect.width(), rect.height());
    const int segments = segmentsFor(r);
    const QPointF centres[4] = {
        { rect.right() - r, rect.top() + r },
        { rect.right() - r, rect.bottom() - r },
        { rect.left() + r, rect.bottom() - r },
        { rect.left() + r, rect.top() + r },
    };
    QList<QPointF> points;
    points.reserve(4 * (segments + 1));
    for (int corner = 0; corner < 4; ++corner) {
        if (segments == 0) {
            points.append(centres[corner]);
            continue;
        }
        for (int s = 0; s <= segments; ++s) {
            const double angle = (corner - 1 + double(s) / segments) * M_PI / 2;
            points.append(centres[corner] + QPointF(r * std::cos(angle), r * std::sin(angle)));
        }
    }
    return points;
}

QRectF RoundedCorners::cropToFill(const QSizeF &picture, const QSizeF &frame)
{
    if (picture.isEmpty() || frame.isEmpty())
        return { QPointF(0, 0), picture };
    const double scale
        = std::max(frame.width() / picture.width(), frame.height() / picture.height());
    const QSizeF visible(frame.width() / scale, frame.height() / scale);
    return { QPointF((picture.width() - visible.width()) / 2,
                 (picture.height() - visible.height()) / 2),
        visible };
}

} // namespace orvella

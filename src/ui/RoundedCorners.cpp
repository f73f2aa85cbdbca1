#include "ui/RoundedCorners.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

// The indices within `size` that lie less than `radius` from either end.
std::vector<int> nearEnds(int size, double radius)
{
    std::vector<int> indices;
    for (int i = 0; i < size; ++i) {
        if (std::min(i + 0.5, size - i - 0.5) < radius)
            indices.push_back(i);
    }
    return indices;
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

QImage RoundedCorners::cut(const QImage &image, double radius, double edgeWidth)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const double r = clampedRadius(radius, result.width(), result.height());
    if (result.isNull() || r <= 0)
        return result;
    const double edge = std::max(edgeWidth, 1e-3);
    const int width = result.width(), height = result.height();
    const std::vector<int> columns = nearEnds(width, r);
    for (const int y : nearEnds(height, r)) {
        // Distances are taken from the nearest corner's centre, so every pixel is cut once
        // even where the arcs of two corners meet.
        const double dy = r - std::min(y + 0.5, height - y - 0.5);
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (const int x : columns) {
            const double dx = r - std::min(x + 0.5, width - x - 0.5);
            if (dx <= 0 || dy <= 0)
                continue;
            const double coverage = std::clamp((r - std::hypot(dx, dy)) / edge + 0.5, 0.0, 1.0);
            if (coverage >= 1)
                continue;
            const QRgb pixel = line[x];
            const auto scaled = [coverage](int channel) { return int(channel * coverage + 0.5); };
            line[x] = qRgba(scaled(qRed(pixel)), scaled(qGreen(pixel)), scaled(qBlue(pixel)),
                scaled(qAlpha(pixel)));
        }
    }
    return result;
}

} // namespace orvella

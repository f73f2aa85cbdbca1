#include "Brushwork.h"

#include <QPainter>
#include <QPainterPath>
#include <numbers>

namespace paint {

namespace {

struct Stroke
{
    QPainterPath path;
    QColor colour;
    float width = 1;
    float order = 0;
};

float distance(Rgb a, Rgb b)
{
    const Rgb d = a - b;
    return std::sqrt((d.r * d.r + d.g * d.g + d.b * d.b) / 3.0f);
}

QColor toColour(Rgb c, float alpha)
{
    return QColor::fromRgbF(clamp01(c.r), clamp01(c.g), clamp01(c.b), clamp01(alpha));
}

// The direction a stroke takes at a point: along the edges of the reference, or the calm
// direction of the surface where there are no edges.
QPointF strokeDirection(
    const Canvas &ref, float x, float y, float r, std::uint32_t seed, float wander)
{
    const float gx = luminance(ref.sample(x + r, y)) - luminance(ref.sample(x - r, y));
    const float gy = luminance(ref.sample(x, y + r)) - luminance(ref.sample(x, y - r));
    const float magnitude = std::hypot(gx, gy);
    // Mostly level with a slow wander where the surface is even.
    const float calm = 0.55f * fbm(x / 300.0f, y / 300.0f, seed + 7, 2) + wander;
    QPointF along(std::cos(calm), std::sin(calm));
    if (magnitude > 0.02f) {
        QPointF edge(-gy / magnitude, gx / magnitude);
        if (edge.x() < 0)
            edge = -edge;
        const float k = smoothstep(0.02f, 0.08f, magnitude);
        along = along * (1 - k) + edge * k;
    }
    const double length = std::hypot(along.x(), along.y());
    return length > 0 ? along / length : QPointF(1, 0);
}

void paintPass(QImage &target, const Canvas &ref, const Canvas &current, float r, bool everywhere,
    const BrushPlan &plan, std::uint32_t seed)
{
    std::vector<Stroke> strokes;
    const int step = std::max(2, int(r * 0.8f));
    std::uint32_t index = 0;
    for (int gy = 0; gy < ref.height() + step; gy += step) {
        for (int gx = 0; gx < ref.width() + step; gx += step) {
            ++index;
            const float x = float(gx) + (hash01(index, seed) - 0.5f) * float(step);
            const float y = float(gy) + (hash01(index, seed + 1) - 0.5f) * float(step);
            const Rgb target = ref.sample(x, y);
            if (!everywhere) {
                // The cell's error, measured at a few points.
                float error = 0;
                for (int i = 0; i < 4; ++i) {
                    const float sx = x + (float(i % 2) - 0.5f) * r;
                    const float sy = y + (float(i / 2) - 0.5f) * r;
                    error += distance(ref.sample(sx, sy), current.sample(sx, sy));
                }
                if (error / 4 < plan.threshold)
                    continue;
            }
            Stroke stroke;
            stroke.path.moveTo(x, y);
            QPointF p(x, y);
            const float wander = (hash01(index, seed + 6) - 0.5f) * 0.5f;
            QPointF previous = strokeDirection(ref, x, y, r, seed, wander);
            const int maxSteps = std::max(1, int(plan.lengthFactor));
            for (int i = 0; i < maxSteps; ++i) {
                QPointF direction
                    = strokeDirection(ref, float(p.x()), float(p.y()), r, seed, wander);
                if (direction.x() * previous.x() + direction.y() * previous.y() < 0)
                    direction = -direction;
                const QPointF next = p + direction * r;
                if (i > 0
                    && distance(ref.sample(float(next.x()), float(next.y())), target)
                        > plan.threshold * 1.4f)
                    break;
                stroke.path.lineTo(next);
                p = next;
                previous = direction;
            }
            const float jitter = 1 + (hash01(index, seed + 2) - 0.5f) * 2 * plan.valueJitter;
            const float warm = (hash01(index, seed + 3) - 0.5f) * plan.valueJitter;
            const Rgb colour
                = Rgb { target.r * jitter + warm, target.g * jitter, target.b * jitter - warm };
            stroke.colour = toColour(colour, plan.opacity);
            stroke.width = r * (0.85f + 0.4f * hash01(index, seed + 4));
            stroke.order = hash01(index, seed + 5);
            strokes.push_back(std::move(stroke));
        }
    }
    std::sort(strokes.begin(), strokes.end(),
        [](const Stroke &a, const Stroke &b) { return a.order < b.order; });
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (const Stroke &stroke : strokes) {
        QPen pen(stroke.colour, stroke.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        painter.drawPath(stroke.path);
    }
}

} // namespace

Canvas brushwork(const Canvas &reference, const BrushPlan &plan)
{
    if (plan.radii.empty())
        return reference;
    // The underpainting: the picture itself, softened to the broadest brush.
    QImage target = reference.blurred(int(plan.radii.front() / 2)).toImage();
    target = target.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Canvas current = Canvas::fromImage(target);
    std::uint32_t seed = plan.seed * 977U;
    bool first = true;
    for (float r : plan.radii) {
        const Canvas ref = reference.blurred(std::max(1, int(r / 3)));
        paintPass(target, ref, current, r, first, plan, seed);
        current = Canvas::fromImage(target);
        first = false;
        seed += 17;
    }
    return current;
}

void finish(Canvas &canvas, float vignette, float grain, std::uint32_t seed)
{
    const float cx = float(canvas.width()) / 2;
    const float cy = float(canvas.height()) / 2;
    const float reach = std::hypot(cx, cy);
    apply(canvas, [&](int x, int y, Rgb old) {
        const float d = std::hypot(float(x) - cx, float(y) - cy) / reach;
        const float dark = 1 - vignette * smoothstep(0.45f, 1.1f, d);
        // A woven ground, barely there.
        const float weave = grain
            * (0.6f * noise(float(x) / 2.2f, float(y) / 2.2f, seed)
                + 0.4f * noise(float(x) / 7.0f, float(y) / 1.5f, seed + 1));
        return old * (dark * (1 + weave));
    });
}

} // namespace paint

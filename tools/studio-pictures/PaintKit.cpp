#include "PaintKit.h"

#include <QPainter>
#include <numbers>

namespace paint {

namespace {

std::uint32_t mixBits(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

std::uint32_t cellHash(int x, int y, std::uint32_t seed)
{
    return mixBits(std::uint32_t(x) * 0x9E3779B1U ^ mixBits(std::uint32_t(y) + seed * 0x85EBCA77U));
}

float gradientDot(int ix, int iy, float dx, float dy, std::uint32_t seed)
{
    const float angle
        = float(cellHash(ix, iy, seed) & 0xFFFF) / 65536.0f * 2 * std::numbers::pi_v<float>;
    return std::cos(angle) * dx + std::sin(angle) * dy;
}

float fade(float t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

void boxBlurRows(std::vector<Rgb> &pixels, int width, int height, int radius)
{
    std::vector<Rgb> row(static_cast<std::size_t>(width));
    const float scale = 1.0f / float(2 * radius + 1);
    for (int y = 0; y < height; ++y) {
        Rgb *line = pixels.data() + std::size_t(y) * width;
        Rgb sum {};
        for (int i = -radius; i <= radius; ++i)
            sum = sum + line[std::clamp(i, 0, width - 1)];
        for (int x = 0; x < width; ++x) {
            row[std::size_t(x)] = sum * scale;
            sum = sum + line[std::min(x + radius + 1, width - 1)] - line[std::max(x - radius, 0)];
        }
        std::copy(row.begin(), row.end(), line);
    }
}

std::vector<Rgb> transposed(const std::vector<Rgb> &pixels, int width, int height)
{
    std::vector<Rgb> out(pixels.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[std::size_t(x) * height + y] = pixels[std::size_t(y) * width + x];
    return out;
}

} // namespace

Rgb hex(std::uint32_t rgb)
{
    return { float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
        float(rgb & 0xFF) / 255.0f };
}

Rgb Ramp::at(float t) const
{
    if (stops.empty())
        return {};
    if (t <= stops.front().first)
        return stops.front().second;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].first) {
            const auto &[t0, c0] = stops[i - 1];
            const auto &[t1, c1] = stops[i];
            return mix(c0, c1, (t - t0) / std::max(t1 - t0, 1e-6f));
        }
    }
    return stops.back().second;
}

float noise(float x, float y, std::uint32_t seed)
{
    const int ix = int(std::floor(x));
    const int iy = int(std::floor(y));
    const float fx = x - float(ix);
    const float fy = y - float(iy);
    const float u = fade(fx);
    const float v = fade(fy);
    const float a = gradientDot(ix, iy, fx, fy, seed);
    const float b = gradientDot(ix + 1, iy, fx - 1, fy, seed);
    const float c = gradientDot(ix, iy + 1, fx, fy - 1, seed);
    const float d = gradientDot(ix + 1, iy + 1, fx - 1, fy - 1, seed);
    return 1.41f * (a + (b - a) * u + (c - a) * v + (a - b - c + d) * u * v);
}

float fbm(float x, float y, std::uint32_t seed, int octaves, float gain)
{
    float sum = 0;
    float amplitude = 1;
    float norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * noise(x, y, seed + std::uint32_t(i) * 101U);
        norm += amplitude;
        amplitude *= gain;
        // A slight rotation between octaves hides the grid.
        const float nx = x * 1.6f - y * 1.2f;
        y = x * 1.2f + y * 1.6f;
        x = nx;
    }
    return sum / norm;
}

float ridged(float x, float y, std::uint32_t seed, int octaves)
{
    float sum = 0;
    float amplitude = 1;
    float norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * (1 - std::abs(noise(x, y, seed + std::uint32_t(i) * 131U)));
        norm += amplitude;
        amplitude *= 0.5f;
        x *= 2.03f;
        y *= 2.03f;
    }
    return sum / norm;
}

float hash01(std::uint32_t index, std::uint32_t seed)
{
    return float(mixBits(index * 0x27d4eb2dU + mixBits(seed)) >> 8) / float(1 << 24);
}

Canvas::Canvas(int width, int height, Rgb fill)
    : m_width(width)
    , m_height(height)
    , m_pixels(std::size_t(width) * std::size_t(height), fill)
{ }

Rgb Canvas::sample(float x, float y) const
{
    x = std::clamp(x, 0.0f, float(m_width - 1));
    y = std::clamp(y, 0.0f, float(m_height - 1));
    const int x0 = int(x);
    const int y0 = int(y);
    const int x1 = std::min(x0 + 1, m_width - 1);
    const int y1 = std::min(y0 + 1, m_height - 1);
    const float fx = x - float(x0);
    const float fy = y - float(y0);
    return mix(mix(at(x0, y0), at(x1, y0), fx), mix(at(x0, y1), at(x1, y1), fx), fy);
}

QImage Canvas::toImage() const
{
    QImage image(m_width, m_height, QImage::Format_RGB32);
    for (int y = 0; y < m_height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const Rgb c = at(x, y);
            line[x] = qRgb(int(clamp01(c.r) * 255.0f + 0.5f), int(clamp01(c.g) * 255.0f + 0.5f),
                int(clamp01(c.b) * 255.0f + 0.5f));
        }
    }
    return image;
}

Canvas Canvas::fromImage(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    Canvas canvas(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            canvas.at(x, y) = { float(qRed(line[x])) / 255.0f, float(qGreen(line[x])) / 255.0f,
                float(qBlue(line[x])) / 255.0f };
    }
    return canvas;
}

Canvas Canvas::blurred(int radius) const
{
    Canvas out = *this;
    if (radius <= 0)
        return out;
    for (int pass = 0; pass < 3; ++pass)
        boxBlurRows(out.m_pixels, m_width, m_height, radius);
    std::vector<Rgb> columns = transposed(out.m_pixels, m_width, m_height);
    for (int pass = 0; pass < 3; ++pass)
        boxBlurRows(columns, m_height, m_width, radius);
    out.m_pixels = transposed(columns, m_height, m_width);
    return out;
}

Mask::Mask(const QPainterPath &path, int canvasWidth, int canvasHeight)
{
    m_bounds = path.boundingRect()
                   .toAlignedRect()
                   .adjusted(-1, -1, 1, 1)
                   .intersected(QRect(0, 0, canvasWidth, canvasHeight));
    if (m_bounds.isEmpty())
        return;
    m_alpha = QImage(m_bounds.size(), QImage::Format_Alpha8);
    m_alpha.fill(0);
    QPainter painter(&m_alpha);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(-m_bounds.x(), -m_bounds.y());
    painter.fillPath(path, Qt::black);
}

void fill(Canvas &canvas, const QPainterPath &path, const Shader &shader, float opacity)
{
    const Mask mask(path, canvas.width(), canvas.height());
    const QRect bounds = mask.bounds();
    for (int y = bounds.top(); y <= bounds.bottom(); ++y)
        for (int x = bounds.left(); x <= bounds.right(); ++x) {
            const float coverage = mask.at(x, y);
            if (coverage > 0)
                canvas.blend(x, y, shader(float(x) + 0.5f, float(y) + 0.5f), coverage * opacity);
        }
}

void fill(Canvas &canvas, const QPainterPath &path, Rgb colour, float opacity)
{
    fill(
        canvas, path, [colour](float, float) { return colour; }, opacity);
}

void apply(Canvas &canvas, const std::function<Rgb(int x, int y, Rgb old)> &shader)
{
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            canvas.at(x, y) = shader(x, y, canvas.at(x, y));
}

void fillBelow(
    Canvas &canvas, const std::function<float(float x)> &ridge, const Shader &shader, float opacity)
{
    for (int x = 0; x < canvas.width(); ++x) {
        const float top = ridge(float(x) + 0.5f);
        const int first = std::max(0, int(std::floor(top)));
        for (int y = first; y < canvas.height(); ++y) {
            const float coverage = clamp01(float(y) + 1.0f - top);
            canvas.blend(x, y, shader(float(x) + 0.5f, float(y) + 0.5f), coverage * opacity);
        }
    }
}

void glow(Canvas &canvas, float cx, float cy, float radius, Rgb colour, float strength)
{
    const int x0 = std::max(0, int(cx - radius));
    const int x1 = std::min(canvas.width() - 1, int(cx + radius));
    const int y0 = std::max(0, int(cy - radius));
    const int y1 = std::min(canvas.height() - 1, int(cy + radius));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(float(x) - cx, float(y) - cy) / radius;
            if (d >= 1)
                continue;
            const float k = strength * (1 - d) * (1 - d);
            canvas.at(x, y) = canvas.at(x, y) + colour * k;
        }
}

QPainterPath rect(float x, float y, float w, float h)
{
    QPainterPath path;
    path.addRect(QRectF(x, y, w, h));
    return path;
}

QPainterPath ellipse(float cx, float cy, float rx, float ry)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), rx, ry);
    return path;
}

QPainterPath arch(float x, float y, float w, float h, bool pointed)
{
    QPainterPath path;
    const float r = w / 2;
    path.moveTo(x, y + h);
    path.lineTo(x, y);
    if (pointed) {
        // Two arcs of radius w meeting above the middle.
        path.quadTo(x, y - r * 1.1f, x + r, y - r * 1.35f);
        path.quadTo(x + w, y - r * 1.1f, x + w, y);
    } else {
        path.arcTo(QRectF(x, y - r, w, w), 180, -180);
    }
    path.lineTo(x + w, y + h);
    path.closeSubpath();
    return path;
}

QPainterPath polygon(std::initializer_list<float> xy)
{
    QPainterPath path;
    const float *p = xy.begin();
    path.moveTo(p[0], p[1]);
    for (std::size_t i = 2; i + 1 < xy.size(); i += 2)
        path.lineTo(p[i], p[i + 1]);
    path.closeSubpath();
    return path;
}

QPainterPath blob(float cx, float cy, float r, float roughness, std::uint32_t seed)
{
    QPainterPath path;
    constexpr int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const float a = float(i % steps) / steps * 2 * std::numbers::pi_v<float>;
        const float k
            = 1 + roughness * fbm(std::cos(a) * 1.5f + 10, std::sin(a) * 1.5f + 10, seed, 3);
        const QPointF p(cx + std::cos(a) * r * k, cy + std::sin(a) * r * k);
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

} // namespace paint

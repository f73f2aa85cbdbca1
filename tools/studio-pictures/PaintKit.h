#pragma once

// The painter's toolbox: a floating-point canvas, deterministic noise, coverage masks of
// antialiased shapes, and the fills that put colour through them.

#include <QImage>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace paint {

struct Rgb
{
    float r = 0;
    float g = 0;
    float b = 0;

    Rgb operator+(Rgb o) const { return { r + o.r, g + o.g, b + o.b }; }
    Rgb operator-(Rgb o) const { return { r - o.r, g - o.g, b - o.b }; }
    Rgb operator*(float k) const { return { r * k, g * k, b * k }; }
    Rgb operator*(Rgb o) const { return { r * o.r, g * o.g, b * o.b }; }
};

// 0xRRGGBB.
[[nodiscard]] Rgb hex(std::uint32_t rgb);
[[nodiscard]] inline Rgb mix(Rgb a, Rgb b, float t)
{
    return a + (b - a) * t;
}
[[nodiscard]] inline float luminance(Rgb c)
{
    return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
}
[[nodiscard]] inline float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}
[[nodiscard]] inline float smoothstep(float edge0, float edge1, float x)
{
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
// Lighter (k > 1) or darker (k < 1), keeping the hue.
[[nodiscard]] inline Rgb shade(Rgb c, float k)
{
    return c * k;
}

// Colour stops along one parameter in [0, 1].
struct Ramp
{
    std::vector<std::pair<float, Rgb>> stops;
    [[nodiscard]] Rgb at(float t) const;
};

// Deterministic value-gradient noise in [-1, 1] (about), and its fractal sums.
[[nodiscard]] float noise(float x, float y, std::uint32_t seed);
[[nodiscard]] float fbm(float x, float y, std::uint32_t seed, int octaves = 5, float gain = 0.5f);
// |noise| summed: creased, for rock and bark.
[[nodiscard]] float ridged(float x, float y, std::uint32_t seed, int octaves = 4);
// A reproducible random number in [0, 1) for the index.
[[nodiscard]] float hash01(std::uint32_t index, std::uint32_t seed);

class Canvas
{
public:
    Canvas(int width, int height, Rgb fill = {});

    [[nodiscard]] int width() const { return m_width; }
    [[nodiscard]] int height() const { return m_height; }
    [[nodiscard]] Rgb &at(int x, int y) { return m_pixels[std::size_t(y) * m_width + x]; }
    [[nodiscard]] Rgb at(int x, int y) const { return m_pixels[std::size_t(y) * m_width + x]; }
    // Bilinear, clamped at the edges.
    [[nodiscard]] Rgb sample(float x, float y) const;
    void blend(int x, int y, Rgb colour, float alpha)
    {
        if (alpha <= 0 || x < 0 || y < 0 || x >= m_width || y >= m_height)
            return;
        Rgb &p = at(x, y);
        p = mix(p, colour, std::min(alpha, 1.0f));
    }

    [[nodiscard]] QImage toImage() const;
    [[nodiscard]] static Canvas fromImage(const QImage &image);
    // A separable box blur run three times (close to a Gaussian of that radius).
    [[nodiscard]] Canvas blurred(int radius) const;

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// Per-pixel colour of a fill.
using Shader = std::function<Rgb(float x, float y)>;

// The coverage of an antialiased shape over the canvas, kept only within its bounds.
class Mask
{
public:
    Mask() = default;
    Mask(const QPainterPath &path, int canvasWidth, int canvasHeight);

    [[nodiscard]] QRect bounds() const { return m_bounds; }
    [[nodiscard]] float at(int x, int y) const
    {
        if (!m_bounds.contains(x, y))
            return 0;
        return m_alpha.constScanLine(y - m_bounds.y())[x - m_bounds.x()] / 255.0f;
    }

private:
    QRect m_bounds;
    QImage m_alpha;
};

// Paints the shape with the shader, at the opacity.
void fill(Canvas &canvas, const QPainterPath &path, const Shader &shader, float opacity = 1);
void fill(Canvas &canvas, const QPainterPath &path, Rgb colour, float opacity = 1);
// Every pixel through the shader, which gets the old colour too.
void apply(Canvas &canvas, const std::function<Rgb(int x, int y, Rgb old)> &shader);
// Everything below the ridge line y(x) (image y grows down), antialiased along the ridge.
void fillBelow(Canvas &canvas, const std::function<float(float x)> &ridge, const Shader &shader,
    float opacity = 1);
// A soft round glow added over what is there.
void glow(Canvas &canvas, float cx, float cy, float radius, Rgb colour, float strength);

// Shapes.
[[nodiscard]] QPainterPath rect(float x, float y, float w, float h);
[[nodiscard]] QPainterPath ellipse(float cx, float cy, float rx, float ry);
// A round-topped (pointed when pointed is true) arch opening, its springing at y.
[[nodiscard]] QPainterPath arch(float x, float y, float w, float h, bool pointed = false);
// The polygon through the points (x, y pairs).
[[nodiscard]] QPainterPath polygon(std::initializer_list<float> xy);
// A blob: a circle whose rim is pushed by noise.
[[nodiscard]] QPainterPath blob(float cx, float cy, float r, float roughness, std::uint32_t seed);

} // namespace paint

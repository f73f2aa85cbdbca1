#include "Landscape.h"

#include <numbers>

namespace paint {

namespace {

constexpr float pi = std::numbers::pi_v<float>;

// Leaves: dark and light of the colour, lit from one side and from above, dappled.
Shader foliage(Rgb shadeColour, Rgb litColour, QPointF centre, float radius, float lightSide,
    std::uint32_t seed, Haze haze)
{
    return [=](float x, float y) {
        const float dx = (x - float(centre.x())) / radius;
        const float dy = (y - float(centre.y())) / radius;
        const float facing = clamp01(0.5f + 0.55f * (dx * lightSide - dy * 0.8f));
        const float dapple = fbm(x / 9.0f, y / 9.0f, seed, 3);
        const float clumps = fbm(x / 26.0f, y / 26.0f, seed + 5, 3);
        const float light = clamp01(facing + 0.35f * dapple + 0.25f * clumps);
        return haze.over(mix(shadeColour, litColour, smoothstep(0.25f, 0.85f, light)));
    };
}

void groundShadow(Canvas &canvas, float x, float groundY, float rx, float ry)
{
    fill(canvas, ellipse(x, groundY, rx, ry), Rgb { 0.1f, 0.1f, 0.08f }, 0.22f);
}

} // namespace

void paintSky(Canvas &canvas, const Sky &sky)
{
    const float band = std::max(1.0f, sky.cloudBottom - sky.cloudTop);
    apply(canvas, [&](int ix, int iy, Rgb) {
        const float x = float(ix);
        const float y = float(iy);
        Rgb c = sky.ramp.at(clamp01(y / sky.horizon));
        const float sunDistance = std::hypot(x - sky.sunX, y - sky.sunY);
        const float d = sunDistance / sky.glowRadius;
        c = c + sky.sunColour * (sky.glowStrength * std::exp(-d * d * 2.2f));
        // Clouds: soft horizontal banks, thinning away from their band.
        const float envelope = smoothstep(sky.cloudTop - 0.3f * band, sky.cloudTop + 0.2f * band, y)
            * (1 - smoothstep(sky.cloudBottom - 0.35f * band, sky.cloudBottom, y));
        if (envelope > 0 && sky.cloudCover > 0) {
            const float s = sky.cloudScale;
            const float n = 0.5f + 0.8f * fbm(x / (560.0f * s), y / (150.0f * s), sky.seed, 5);
            const float detail = fbm(x / (90.0f * s), y / (40.0f * s), sky.seed + 3, 3);
            const float density = smoothstep(1 - sky.cloudCover - 0.08f, 1 - sky.cloudCover + 0.3f,
                                      n + 0.08f * detail)
                * envelope;
            if (density > 0) {
                // Tops catch the light, the undersides and the far side from the sun do not.
                const float lift
                    = 0.5f + 0.8f * fbm(x / (560.0f * s), (y + 30) / (150.0f * s), sky.seed, 5);
                const float lit = clamp01(0.55f + (lift - n) * 4.0f + 0.2f * detail);
                Rgb cloud = mix(sky.cloudShade, sky.cloudLight, lit);
                cloud = cloud + sky.sunColour * (0.35f * std::exp(-d * d * 6.0f) * lit);
                c = mix(c, cloud, density * 0.92f);
            }
        }
        if (sky.sunDisc > 0) {
            const float disc = 1 - smoothstep(sky.sunDisc * 0.85f, sky.sunDisc * 1.1f, sunDistance);
            c = mix(c, sky.sunColour * 1.08f, disc);
        }
        return c;
    });
}

float Hills::ridgeAt(float x) const
{
    const float raised = lift ? lift(x) : 0.0f;
    return baseY - raised
        - amplitude * fbm(x / wavelength, float(seed % 97) * 0.37f + 3.1f, seed, octaves);
}

void paintHills(Canvas &canvas, const Hills &hills)
{
    fillBelow(
        canvas, [&](float x) { return hills.ridgeAt(x); },
        [&](float x, float y) {
            const float ridge = hills.ridgeAt(x);
            const float t = clamp01((y - ridge) / hills.depth);
            Rgb c = mix(hills.top, hills.bottom, t);
            const float patches
                = fbm(x / hills.textureScale, y / (hills.textureScale * 0.6f), hills.seed + 3, 4);
            c = c * (1 + hills.texture * patches);
            if (hills.terraceSpacing > 0) {
                // Walls follow the slope: bent by the ridge and by a slow wander.
                const float bend = 0.35f * (ridge - hills.baseY)
                    + 14 * fbm(x / 260.0f, float(hills.seed), hills.seed + 9, 2);
                const float phase = (y - bend) / hills.terraceSpacing;
                const float f = phase - std::floor(phase);
                const float wall = 1 - smoothstep(0.0f, 0.09f, std::abs(f - 0.06f));
                const float shadow = smoothstep(0.1f, 0.16f, f) * (1 - smoothstep(0.16f, 0.34f, f));
                c = mix(c, hills.terraceWall, wall * 0.7f);
                c = c * (1 - 0.18f * shadow);
            }
            if (hills.scrub > 0) {
                const float dots = fbm(x / 7.0f, y / 5.0f, hills.seed + 11, 2);
                c = mix(c, hills.scrubColour, smoothstep(0.55f - hills.scrub, 0.75f, dots) * 0.8f);
            }
            return hills.haze.over(c);
        });
}

void paintWater(Canvas &canvas, const Water &water)
{
    const float height = float(canvas.height());
    const bool regional = !water.region.isEmpty();
    const Mask mask = regional ? Mask(water.region, canvas.width(), canvas.height()) : Mask();
    const int top = regional ? mask.bounds().top() : std::max(0, int(water.horizon));
    const int bottom = regional ? mask.bounds().bottom() : canvas.height() - 1;
    const float near = regional ? float(bottom) : height;
    for (int iy = top; iy <= bottom; ++iy) {
        const float y = float(iy);
        const float dist = clamp01((y - water.horizon) / std::max(1.0f, near - water.horizon));
        for (int ix = 0; ix < canvas.width(); ++ix) {
            const float coverage = regional ? mask.at(ix, iy) : 1.0f;
            if (coverage <= 0)
                continue;
            const float x = float(ix);
            const float fold = water.mirror ? water.mirror(x) : water.horizon;
            const float mirrored = fold - (y - fold) - 1;
            const float wave = noise(x / 260.0f, y / (2.5f + 22 * dist), water.seed);
            const float dx = water.ripple * (0.4f + 3 * dist) * wave;
            Rgb reflected = canvas.sample(x + dx, std::max(0.0f, mirrored)) * 0.86f;
            Rgb c = mix(reflected, water.tint, 0.2f + water.tintNear * dist);
            // Bands of wind on the surface take the light of the sky.
            const float band = smoothstep(
                0.45f, 0.85f, noise(x / 520.0f + 7, y / (1.8f + 10 * dist), water.seed + 1));
            c = mix(c, reflected * 1.12f + Rgb { 0.04f, 0.04f, 0.04f }, band * 0.35f);
            if (water.sunX >= 0) {
                const float width = 40 + 300 * dist;
                const float column = std::exp(-std::pow((x - water.sunX) / width, 2.0f));
                const float sparkle = smoothstep(0.1f, 0.6f,
                    noise(x / (8.0f + 20 * dist), y / (1.0f + 2.5f * dist), water.seed + 2));
                c = mix(c, water.glitter, column * (0.25f + 0.6f * sparkle));
            }
            canvas.at(ix, iy) = mix(canvas.at(ix, iy), c, coverage);
        }
    }
}

void oliveTree(Canvas &canvas, float x, float groundY, float size, float lightSide,
    std::uint32_t seed, const Haze &haze)
{
    groundShadow(canvas, x + lightSide * -0.2f * size, groundY, size * 0.5f, size * 0.06f);
    // A gnarled trunk that splits into two limbs.
    const float w = size * 0.07f;
    const float lean = (hash01(1, seed) - 0.5f) * size * 0.12f;
    QPainterPath trunk;
    trunk.moveTo(x - w * 1.6f, groundY);
    trunk.cubicTo(x - w * 0.6f, groundY - size * 0.12f, x - w * 1.4f + lean, groundY - size * 0.3f,
        x - w * 2.2f + lean, groundY - size * 0.52f);
    trunk.lineTo(x - w * 1.2f + lean, groundY - size * 0.52f);
    trunk.cubicTo(x + lean, groundY - size * 0.36f, x + lean * 0.5f, groundY - size * 0.34f,
        x + w * 1.6f + lean, groundY - size * 0.5f);
    trunk.lineTo(x + w * 2.4f + lean, groundY - size * 0.47f);
    trunk.cubicTo(x + w * 1.2f, groundY - size * 0.26f, x + w * 0.4f, groundY - size * 0.12f,
        x + w * 1.8f, groundY);
    trunk.closeSubpath();
    const Rgb bark { 0.3f, 0.27f, 0.22f };
    fill(canvas, trunk, [=](float px, float py) {
        const float crease = ridged(px / 6.0f, py / 22.0f, seed + 1, 3);
        const float side = clamp01(0.5f + (px - x) / (w * 4) * lightSide);
        return haze.over(bark * (0.65f + 0.5f * side) * (0.75f + 0.45f * crease));
    });
    // The crown: silver-green clumps around a flattened oval.
    const QPointF centre(x + lean, groundY - size * 0.66f);
    const Shader leaves = foliage(Rgb { 0.26f, 0.31f, 0.2f }, Rgb { 0.62f, 0.67f, 0.5f }, centre,
        size * 0.5f, lightSide, seed + 2, haze);
    const int clumps = 9;
    for (int i = 0; i < clumps; ++i) {
        const float a = float(i) / clumps * 2 * pi + hash01(std::uint32_t(i), seed + 3);
        const float spread = 0.3f + 0.6f * hash01(std::uint32_t(i), seed + 4);
        const float cx = float(centre.x()) + std::cos(a) * size * 0.42f * spread;
        const float cy = float(centre.y()) + std::sin(a) * size * 0.2f * spread;
        const float r = size * (0.17f + 0.1f * hash01(std::uint32_t(i), seed + 5));
        fill(canvas, blob(cx, cy, r, 0.28f, seed + 10 + std::uint32_t(i)), leaves);
    }
}

void cypress(Canvas &canvas, float x, float groundY, float height, float lightSide,
    std::uint32_t seed, const Haze &haze)
{
    const float w = height * 0.085f;
    QPainterPath shape;
    constexpr int steps = 40;
    // Up the left side, down the right: widest a third of the way up, a point at the top.
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i <= steps; ++i) {
            const float t = side == 0 ? float(i) / steps : 1 - float(i) / steps;
            const float profile = std::pow(std::sin(pi * std::min(1.0f, 0.15f + t * 0.95f)), 0.8f)
                * (1 - 0.55f * t) * (t < 0.1f ? 0.6f + 4 * t : 1);
            const float rough = 1 + 0.18f * fbm(t * 9, float(side) * 5, seed, 3);
            const float px = x + (side == 0 ? -1.0f : 1.0f) * w * profile * rough;
            const float py = groundY - t * height;
            if (side == 0 && i == 0)
                shape.moveTo(px, py);
            else
                shape.lineTo(px, py);
        }
    }
    shape.closeSubpath();
    const Rgb dark { 0.09f, 0.16f, 0.1f };
    const Rgb lit { 0.3f, 0.4f, 0.24f };
    fill(canvas, shape, [=](float px, float py) {
        const float across = (px - x) / w * lightSide;
        const float streaks = fbm(px / 5.0f, py / 16.0f, seed + 1, 3);
        const float light = clamp01(0.4f + 0.45f * across + 0.35f * streaks);
        return haze.over(mix(dark, lit, light));
    });
}

void palm(Canvas &canvas, float x, float groundY, float height, float lean, std::uint32_t seed,
    const Haze &haze)
{
    const QPointF top(x + lean * height, groundY - height);
    QPainterPath trunk;
    const float w = height * 0.035f;
    trunk.moveTo(x - w * 1.3f, groundY);
    trunk.quadTo(
        x + lean * height * 0.2f - w, groundY - height * 0.6f, top.x() - w * 0.7f, top.y());
    trunk.lineTo(top.x() + w * 0.7f, top.y());
    trunk.quadTo(x + lean * height * 0.2f + w, groundY - height * 0.6f, x + w * 1.3f, groundY);
    trunk.closeSubpath();
    fill(canvas, trunk, [=](float, float py) {
        const float rings = 0.5f + 0.5f * std::sin(py / (height * 0.018f));
        return haze.over(Rgb { 0.42f, 0.34f, 0.24f } * (0.7f + 0.3f * rings));
    });
    const int fronds = 11;
    for (int i = 0; i < fronds; ++i) {
        const float a = float(i) / fronds * 2 * pi + hash01(std::uint32_t(i), seed);
        const float len = height * (0.32f + 0.12f * hash01(std::uint32_t(i), seed + 1));
        const float dx = std::cos(a) * len;
        const float droop = len * (0.45f + 0.3f * std::abs(std::cos(a)));
        const QPointF tip(top.x() + dx, top.y() + droop - len * 0.35f * std::abs(std::sin(a)));
        const QPointF control(top.x() + dx * 0.55f, top.y() - len * 0.3f);
        const float fw = len * 0.09f;
        QPainterPath frond;
        frond.moveTo(top);
        frond.quadTo(control + QPointF(0, -fw), tip);
        frond.quadTo(control + QPointF(0, fw), top);
        const float shade = 0.7f + 0.5f * hash01(std::uint32_t(i), seed + 2);
        fill(canvas, frond, haze.over(Rgb { 0.22f, 0.34f, 0.16f } * shade));
    }
}

void bush(Canvas &canvas, float x, float groundY, float size, Rgb colour, float lightSide,
    std::uint32_t seed, const Haze &haze)
{
    const QPointF centre(x, groundY - size * 0.45f);
    const Shader leaves
        = foliage(colour * 0.5f, colour * 1.3f, centre, size * 0.6f, lightSide, seed, haze);
    for (int i = 0; i < 6; ++i) {
        const float a = float(i) / 6 * 2 * pi + hash01(std::uint32_t(i), seed + 1);
        const float cx = x + std::cos(a) * size * 0.32f;
        const float cy = float(centre.y()) + std::sin(a) * size * 0.18f;
        fill(canvas,
            blob(cx, cy, size * (0.28f + 0.1f * hash01(std::uint32_t(i), seed + 2)), 0.3f,
                seed + 3 + std::uint32_t(i)),
            leaves);
    }
}

void leafyTree(Canvas &canvas, float x, float groundY, float height, Rgb colour, float lightSide,
    std::uint32_t seed, const Haze &haze)
{
    groundShadow(canvas, x - lightSide * height * 0.1f, groundY, height * 0.28f, height * 0.035f);
    const float w = height * 0.028f;
    const float lean = (hash01(1, seed) - 0.5f) * height * 0.15f;
    QPainterPath trunk;
    trunk.moveTo(x - w * 1.5f, groundY);
    trunk.quadTo(
        x - w * 0.6f, groundY - height * 0.3f, x + lean - w * 0.5f, groundY - height * 0.6f);
    trunk.lineTo(x + lean + w * 0.5f, groundY - height * 0.6f);
    trunk.quadTo(x + w * 0.6f, groundY - height * 0.3f, x + w * 1.5f, groundY);
    trunk.closeSubpath();
    // Two limbs into the crown.
    for (int side = -1; side <= 1; side += 2) {
        const float tipX = x + lean + float(side) * height * 0.16f;
        trunk.moveTo(x + lean - w * 0.4f, groundY - height * 0.45f);
        trunk.quadTo(x + lean + float(side) * height * 0.05f, groundY - height * 0.6f, tipX,
            groundY - height * 0.72f);
        trunk.lineTo(tipX + w * 0.5f, groundY - height * 0.7f);
        trunk.quadTo(x + lean + float(side) * height * 0.05f + w, groundY - height * 0.56f,
            x + lean + w * 0.4f, groundY - height * 0.42f);
        trunk.closeSubpath();
    }
    const Rgb bark { 0.36f, 0.31f, 0.26f };
    fill(canvas, trunk, [=](float px, float py) {
        const float side = clamp01(0.5f + (px - x) / (w * 3) * lightSide);
        return haze.over(
            bark * (0.6f + 0.5f * side) * (0.85f + 0.2f * fbm(px / 4, py / 18, seed, 2)));
    });
    const QPointF centre(x + lean, groundY - height * 0.72f);
    const Shader leaves = foliage(
        colour * 0.45f, colour * 1.35f, centre, height * 0.35f, lightSide, seed + 2, haze);
    const int clumps = 11;
    for (int i = 0; i < clumps; ++i) {
        const auto n = std::uint32_t(i);
        const float a = float(i) / clumps * 2 * pi + hash01(n, seed + 3);
        const float spread = 0.25f + 0.75f * hash01(n, seed + 4);
        const float cx = float(centre.x()) + std::cos(a) * height * 0.26f * spread;
        const float cy = float(centre.y()) + std::sin(a) * height * 0.22f * spread;
        const float r = height * (0.1f + 0.07f * hash01(n, seed + 5));
        fill(canvas, blob(cx, cy, r, 0.3f, seed + 10 + n), leaves);
    }
}

void thicket(Canvas &canvas, float x0, float x1, const std::function<float(float x)> &line,
    float height, Rgb colour, float lightSide, std::uint32_t seed, const Haze &haze)
{
    std::uint32_t n = 0;
    for (float x = x0; x < x1; ++n) {
        const float k = 0.6f + 0.6f * hash01(n, seed);
        const Rgb tone = colour
            * Rgb { 0.85f + 0.3f * hash01(n, seed + 1), 0.9f + 0.2f * hash01(n, seed + 2),
                  0.85f + 0.25f * hash01(n, seed + 3) };
        const float y = line(x) + height * 0.1f * hash01(n, seed + 4);
        if (hash01(n, seed + 5) < 0.3f)
            leafyTree(canvas, x, y, height * (1.3f + 0.6f * hash01(n, seed + 6)), tone, lightSide,
                seed * 31U + n, haze);
        else
            bush(canvas, x, y, height * k, tone, lightSide, seed * 37U + n, haze);
        x += height * 0.32f * k;
    }
}

void reeds(Canvas &canvas, float x0, float x1, float groundY, float height, Rgb colour,
    std::uint32_t seed, int count)
{
    const Rgb straw { 0.72f, 0.64f, 0.42f };
    for (int i = 0; i < count; ++i) {
        const auto n = std::uint32_t(i);
        // Clumps: most blades gather around a few roots.
        const float clump = std::floor(hash01(n, seed) * 7);
        const float x
            = x0 + (x1 - x0) * (clump + 0.5f) / 7 + (hash01(n, seed + 9) - 0.5f) * (x1 - x0) / 5;
        const float h = height * (0.35f + 0.75f * hash01(n, seed + 1));
        const float bend = (hash01(n, seed + 2) - 0.45f) * h * 0.45f;
        const float w = 0.8f + 1.6f * hash01(n, seed + 3);
        const float base = groundY + 6 * hash01(n, seed + 5);
        QPainterPath blade;
        blade.moveTo(x - w, base);
        blade.quadTo(x - w * 0.4f + bend * 0.2f, base - h * 0.6f, x + bend, base - h);
        blade.quadTo(x + w * 0.4f + bend * 0.2f, base - h * 0.6f, x + w, base);
        blade.closeSubpath();
        const Rgb tone = mix(colour, straw, hash01(n, seed + 6) * 0.6f);
        fill(canvas, blade, tone * (0.65f + 0.6f * hash01(n, seed + 4)));
        if (hash01(n, seed + 7) < 0.18f)
            fill(canvas, ellipse(x + bend, base - h - 6, 3, 11), Rgb { 0.45f, 0.33f, 0.22f });
    }
}

void flowers(
    Canvas &canvas, float x, float groundY, float size, Rgb leaf, Rgb blossom, std::uint32_t seed)
{
    bush(canvas, x, groundY, size, leaf, -1, seed);
    for (int i = 0; i < 26; ++i) {
        const float a = hash01(std::uint32_t(i), seed + 5) * 2 * pi;
        const float r = std::sqrt(hash01(std::uint32_t(i), seed + 6));
        const float fx = x + std::cos(a) * r * size * 0.55f;
        const float fy = groundY - size * 0.5f + std::sin(a) * r * size * 0.3f;
        const float s = size * (0.03f + 0.03f * hash01(std::uint32_t(i), seed + 7));
        fill(canvas, ellipse(fx, fy, s, s * 0.85f),
            blossom * (0.85f + 0.3f * hash01(std::uint32_t(i), seed + 8)));
    }
}

} // namespace paint

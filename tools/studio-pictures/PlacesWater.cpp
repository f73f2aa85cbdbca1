// The lake and the river: the Sea of Galilee, the Jordan, and the shores at Capernaum and
// Bethsaida.

#include "Scenes.h"

namespace paint::scenes {

void fishingBoat(
    Canvas &canvas, float cx, float waterY, float length, float lightSide, bool afloat, bool sail)
{
    const float h = length * 0.16f;
    const auto hull = [&](float flip) {
        return polygon({ cx - length * 0.5f, waterY - h * flip, cx - length * 0.36f, waterY,
            cx + length * 0.36f, waterY, cx + length * 0.52f, waterY - h * 1.1f * flip,
            cx + length * 0.3f, waterY - h * 0.8f * flip, cx - length * 0.3f,
            waterY - h * 0.75f * flip });
    };
    const Rgb wood { 0.36f, 0.24f, 0.16f };
    if (afloat) {
        fill(canvas, hull(-1.0f), wood * 0.55f, 0.5f);
        if (sail)
            fill(canvas, rect(cx - length * 0.04f, waterY, length * 0.012f, length * 0.7f),
                wood * 0.5f, 0.3f);
    } else {
        fill(canvas, ellipse(cx, waterY, length * 0.55f, h * 0.35f), Rgb { 0.1f, 0.09f, 0.08f },
            0.3f);
    }
    fill(canvas, hull(1.0f), [=](float x, float y) {
        const float plank = 0.5f + 0.5f * std::sin((y - waterY) / (h * 0.12f));
        const float side = clamp01(0.5f + (x - cx) / length * lightSide);
        return wood * (0.7f + 0.25f * plank + 0.25f * side);
    });
    // A pale stripe along the gunwale.
    fill(canvas,
        polygon({ cx - length * 0.5f, waterY - h, cx + length * 0.52f, waterY - h * 1.1f,
            cx + length * 0.5f, waterY - h * 0.95f, cx - length * 0.48f, waterY - h * 0.86f }),
        Rgb { 0.78f, 0.7f, 0.55f });
    if (!sail)
        return;
    fill(canvas, rect(cx - length * 0.04f, waterY - length * 0.75f, length * 0.014f, length * 0.7f),
        wood * 0.8f);
    // The furled sail along its yard.
    QPainterPath furled;
    furled.moveTo(cx - length * 0.04f, waterY - length * 0.72f);
    furled.quadTo(
        cx + length * 0.1f, waterY - length * 0.5f, cx + length * 0.3f, waterY - length * 0.28f);
    furled.lineTo(cx + length * 0.28f, waterY - length * 0.25f);
    furled.quadTo(
        cx + length * 0.08f, waterY - length * 0.45f, cx - length * 0.03f, waterY - length * 0.62f);
    furled.closeSubpath();
    fill(canvas, furled, Rgb { 0.86f, 0.8f, 0.68f });
}

void boulder(Canvas &canvas, float cx, float baseY, float width, float height, Rgb colour, Rgb rim,
    float lightSide, std::uint32_t seed)
{
    QPainterPath shape;
    constexpr int steps = 36;
    for (int i = 0; i <= steps; ++i) {
        // The upper half of a rough ellipse, flat along the ground.
        const float a = std::numbers::pi_v<float> * float(i) / steps;
        const float k = 1 + 0.16f * fbm(std::cos(a) * 2, std::sin(a) * 2, seed, 3);
        const QPointF p(cx - std::cos(a) * width * 0.5f * k, baseY - std::sin(a) * height * k);
        if (i == 0)
            shape.moveTo(p);
        else
            shape.lineTo(p);
    }
    shape.closeSubpath();
    fill(canvas, shape, [=](float x, float y) {
        const float nx = (x - cx) / (width * 0.5f);
        const float ny = (baseY - y) / height;
        const float facing = clamp01(0.35f + 0.45f * nx * lightSide + 0.45f * ny);
        const float crease = ridged(x / 18.0f, y / 14.0f, seed + 1, 4);
        Rgb c = colour * (0.55f + 0.6f * facing) * (0.75f + 0.4f * crease);
        return mix(c, rim, smoothstep(0.75f, 1.0f, facing) * 0.5f);
    });
}

void ground(Canvas &canvas, const std::function<float(float x)> &line, Rgb far, Rgb near,
    float texture, float grain, std::uint32_t seed)
{
    const float height = float(canvas.height());
    fillBelow(canvas, line, [=](float x, float y) {
        const float top = line(x);
        const float t = clamp01((y - top) / std::max(1.0f, height - top));
        Rgb c = mix(far, near, t);
        const float patches = fbm(x / 260.0f, y / (40.0f + 120 * t), seed, 4);
        c = c * (1 + texture * patches);
        // Pebbles and tufts, larger towards us: a cell grid squashed by distance.
        const float cell = 5 + 26 * t * t;
        const float gx = x / cell;
        const float gy = y / (cell * 0.55f);
        const int ix = int(std::floor(gx));
        const int iy = int(std::floor(gy));
        const std::uint32_t n = std::uint32_t(ix) * 73856093U ^ std::uint32_t(iy) * 19349663U;
        const float px = float(ix) + 0.2f + 0.6f * hash01(n, seed + 2);
        const float py = float(iy) + 0.2f + 0.6f * hash01(n, seed + 3);
        const float r = 0.18f + 0.25f * hash01(n, seed + 4);
        const float d = std::hypot(gx - px, gy - py) / r;
        if (d < 1 && hash01(n, seed + 5) < 0.55f) {
            // A stone lit from above: light top, dark foot.
            const float lit = clamp01(0.5f - (gy - py) / r * 0.6f);
            const float tone = 0.75f + 0.5f * hash01(n, seed + 6);
            c = mix(c, c * (tone * (0.7f + 0.6f * lit)), grain * (1 - d * d));
        }
        return c;
    });
}

QImage seaOfGalilee()
{
    Canvas c(pictureWidth, pictureHeight);
    const float horizon = 612;
    Sky sky;
    sky.ramp = { { { 0, hex(0x5f8fc4) }, { 0.55f, hex(0x9dbcd8) }, { 1, hex(0xf0dcc0) } } };
    sky.horizon = horizon;
    sky.sunX = 1500;
    sky.sunY = 330;
    sky.glowRadius = 700;
    sky.glowStrength = 0.28f;
    sky.cloudCover = 0.36f;
    sky.cloudTop = 70;
    sky.cloudBottom = 430;
    sky.seed = 11;
    paintSky(c, sky);

    // The heights across the lake: long, flat and blue with distance.
    Hills far;
    far.baseY = horizon - 28;
    far.amplitude = 26;
    far.wavelength = 520;
    far.seed = 12;
    far.top = hex(0x9a9cb4);
    far.bottom = hex(0x8d93ab);
    far.depth = 60;
    far.texture = 0.05f;
    far.lift
        = [](float x) { return 40 * smoothstep(200, 900, x) - 25 * smoothstep(1300, 1900, x); };
    paintHills(c, far);
    // The near hill on the left, coming down to the shore, with groves.
    Hills near;
    near.baseY = horizon - 8;
    near.amplitude = 36;
    near.wavelength = 300;
    near.seed = 13;
    near.top = hex(0x7c8660);
    near.bottom = hex(0x66704c);
    near.depth = 160;
    near.texture = 0.2f;
    near.textureScale = 36;
    near.scrub = 0.12f;
    near.scrubColour = hex(0x4a5535);
    near.haze = { hex(0xc9c8c8), 0.3f };
    near.lift = [](float x) {
        const float t = clamp01(x / 820);
        return 170 * (1 - t * t) * (0.8f + 0.2f * std::cos(t * 6));
    };
    paintHills(c, near);
    const Haze grove { hex(0xc9c8c8), 0.35f };
    for (int i = 0; i < 9; ++i) {
        const float x = 60 + float(i) * 80 + 30 * hash01(std::uint32_t(i), 20);
        cypress(c, x, near.ridgeAt(x) + 40 + 30 * hash01(std::uint32_t(i), 21), 60, 1,
            std::uint32_t(i) + 30, grove);
    }

    Water water;
    water.horizon = horizon;
    water.tint = hex(0x3f6f86);
    water.tintNear = 0.45f;
    water.ripple = 5;
    water.sunX = 1500;
    water.seed = 15;
    paintWater(c, water);

    fishingBoat(c, 1330, 780, 270, 1);
    fishingBoat(c, 780, 664, 80, 1);

    // The near shore: a pebbled bank with reeds.
    const auto shore = [](float x) {
        return H - 60 - 110 * (1 - smoothstep(0, 680, x)) + 50 * smoothstep(700, 1200, x)
            - 20 * fbm(x / 200, 3, 16, 3);
    };
    ground(c, shore, hex(0xa39273), hex(0x76664c), 0.2f, 0.25f, 16);
    reeds(c, 0, 620, H - 150, 170, hex(0x6b7a42), 17, 420);
    reeds(c, 1660, 1920, H - 30, 120, hex(0x6b7a42), 18, 160);
    leafyTree(c, 130, H - 150, 330, hex(0x4f6136), 1, 19);

    BrushPlan plan;
    plan.seed = 10;
    return painterly(c, plan);
}

QImage jordanRiver()
{
    Canvas c(pictureWidth, pictureHeight);
    const float horizon = 500;
    Sky sky;
    sky.ramp = { { { 0, hex(0x78a2cc) }, { 0.6f, hex(0xb3cbe0) }, { 1, hex(0xeee2ca) } } };
    sky.horizon = horizon;
    sky.sunX = 420;
    sky.sunY = 230;
    sky.glowRadius = 650;
    sky.glowStrength = 0.3f;
    sky.cloudCover = 0.3f;
    sky.cloudTop = 60;
    sky.cloudBottom = 360;
    sky.seed = 21;
    paintSky(c, sky);

    // The bare hills of the wilderness on both sides of the valley.
    Hills far;
    far.baseY = horizon - 10;
    far.amplitude = 90;
    far.wavelength = 420;
    far.seed = 22;
    far.top = hex(0xc0a48c);
    far.bottom = hex(0xa78e7c);
    far.depth = 120;
    far.texture = 0.12f;
    far.haze = { hex(0xdcd2c8), 0.5f };
    paintHills(c, far);
    Hills middle;
    middle.baseY = horizon + 60;
    middle.amplitude = 50;
    middle.wavelength = 300;
    middle.seed = 23;
    middle.top = hex(0xb09066);
    middle.bottom = hex(0x947a58);
    middle.depth = 90;
    middle.texture = 0.15f;
    middle.scrub = 0.08f;
    middle.haze = { hex(0xdcd2c8), 0.25f };
    middle.lift = [](float x) { return 70 * std::pow(std::abs(x - 980) / 980, 1.5f); };
    paintHills(c, middle);

    // The green floor of the valley, a jungle along the water.
    const auto valley = [](float x) { return 600 + 8 * fbm(x / 300, 1, 24, 3); };
    ground(c, valley, hex(0x8a8a58), hex(0x5d6a3c), 0.25f, 0.15f, 24);

    // The river winds out of the distance towards us, widening.
    const auto centre = [](float t) {
        return QPointF(930 + 260 * std::sin(2.8f + t * 5.2f) * (0.25f + t * 0.9f) - 90 * t,
            606 + (H - 606) * std::pow(t, 1.6f));
    };
    const auto halfWidth = [](float t) { return 10 + 430 * std::pow(t, 1.8f); };
    std::vector<QPointF> left;
    std::vector<QPointF> right;
    for (int i = 0; i <= 120; ++i) {
        const float t = float(i) / 120;
        const QPointF p = centre(t);
        left.emplace_back(p.x() - halfWidth(t), p.y());
        right.emplace_back(p.x() + halfWidth(t), p.y());
    }
    QPainterPath river;
    river.moveTo(left.front());
    for (const QPointF &p : left)
        river.lineTo(p);
    for (auto it = right.rbegin(); it != right.rend(); ++it)
        river.lineTo(*it);
    river.closeSubpath();

    // The thickets of the far banks, then the water that mirrors them.
    const Haze distance { hex(0xd8d8cc), 0.3f };
    const auto bankLine = [&](float x) { return valley(x) + 8; };
    thicket(c, -40, 1960, bankLine, 60, hex(0x667a44), -1, 25, distance);
    for (int i = 0; i < 6; ++i) {
        const float t = 0.12f + 0.13f * float(i);
        for (int side = -1; side <= 1; side += 2) {
            const QPointF p = centre(t);
            const float size = 50 + 160 * t * t;
            const float x = float(p.x()) + float(side) * (halfWidth(t) + size * 0.75f);
            bush(c, x, float(p.y()) + 4, size, hex(0x5f7440), -1,
                std::uint32_t(100 + i * 2 + (side + 1)), distance);
        }
    }

    Water water;
    water.horizon = 600;
    water.region = river;
    water.mirror = [&](float x) {
        for (int i = 0; i <= 120; ++i) {
            const float t = float(i) / 120;
            const QPointF p = centre(t);
            if (std::abs(x - float(p.x())) < halfWidth(t))
                return float(p.y()) - 1;
        }
        return 600.0f;
    };
    water.tint = hex(0x5a7560);
    water.tintNear = 0.35f;
    water.ripple = 3;
    water.seed = 29;
    paintWater(c, water);

    // The near banks: reeds and a leaning tamarisk on each side.
    const auto nearLeft = [&](float x) { return 780 + (x / 500) * 100; };
    thicket(c, -60, 330, nearLeft, 150, hex(0x5a6e3a), -1, 33);
    leafyTree(c, 120, 1010, 620, hex(0x55693a), -1, 31);
    leafyTree(c, 1820, 960, 560, hex(0x5b6e3c), -1, 32);
    thicket(
        c, 1550, 1980, [](float x) { return 800 + (1980 - x) * 0.1f; }, 160, hex(0x5c703c), -1, 34);
    reeds(c, 0, 560, H - 30, 230, hex(0x6f7e44), 35, 420);
    reeds(c, 1380, 1920, H - 40, 210, hex(0x6f7e44), 36, 380);

    BrushPlan plan;
    plan.seed = 20;
    return painterly(c, plan);
}

QImage capernaumShore()
{
    Canvas c(pictureWidth, pictureHeight);
    const float horizon = 560;
    Sky sky;
    sky.ramp = { { { 0, hex(0x4f86c0) }, { 0.6f, hex(0x8fb6d8) }, { 1, hex(0xe8e0cc) } } };
    sky.horizon = horizon;
    sky.sunX = 1600;
    sky.sunY = 150;
    sky.glowRadius = 600;
    sky.glowStrength = 0.25f;
    sky.cloudCover = 0.32f;
    sky.cloudTop = 80;
    sky.cloudBottom = 380;
    sky.seed = 41;
    paintSky(c, sky);

    Hills far;
    far.baseY = horizon - 22;
    far.amplitude = 24;
    far.wavelength = 600;
    far.seed = 42;
    far.top = hex(0x9c9ab0);
    far.bottom = hex(0x9096aa);
    far.depth = 50;
    far.texture = 0.05f;
    far.lift = [](float x) { return 30 * smoothstep(800, 1900, x); };
    paintHills(c, far);
    Water water;
    water.horizon = horizon;
    water.tint = hex(0x3d7390);
    water.tintNear = 0.5f;
    water.ripple = 4;
    water.sunX = 1600;
    water.seed = 43;
    paintWater(c, water);

    // The shore: the ground rises on the left under the ruins.
    const auto shore = [](float x) {
        return 700 + 120 * smoothstep(900, 1500, x) - 60 * (1 - smoothstep(0, 900, x))
            + 12 * fbm(x / 150, 2, 44, 3);
    };
    ground(c, shore, hex(0x9b8c6c), hex(0x6c5f48), 0.22f, 0.2f, 44);
    // Black basalt footings of the houses around the synagogue.
    const Stone basalt { hex(0x4a4644), 16, 30, 0.3f, 0.12f, 45, {} };
    fill(c, rect(0, 610, 980, 60), basalt.shader(0.9f));
    // The white synagogue: a platform, a wall with a doorway and its colonnade.
    const Stone lime { hex(0xe6dcc6), 18, 44, 0.18f, 0.07f, 46, {} };
    fill(c, rect(60, 560, 860, 60), lime.shader(1.0f));
    fill(c, rect(60, 612, 860, 8), hex(0x8a8070));
    cityWall(c, 80, 560, 560, 210, lime, 0, 0.96f);
    fill(c, arch(270, 430, 90, 130), hex(0x3a3530));
    fill(c, arch(160, 470, 50, 90), hex(0x3a3530));
    fill(c, arch(420, 470, 50, 90), hex(0x3a3530));
    // The colonnade, some columns whole and some broken.
    const float heights[] = { 270, 250, 160, 262, 110, 240 };
    for (int i = 0; i < 6; ++i) {
        const float x = 600 + float(i) * 62;
        column(c, x, 566, 14, heights[i], hex(0xe9e0cc), 1);
    }
    fill(c, rect(585, 566 - 270 - 34, 170, 26), lime.shader(1.05f));
    // Fallen drums and a capital on the ground.
    boulder(c, 500, 760, 120, 60, hex(0xd8cfbb), hex(0xfff6e0), 1, 47);
    boulder(c, 180, 800, 150, 70, hex(0x4a4644), hex(0x8a8070), 1, 48);
    boulder(c, 1500, 890, 160, 70, hex(0x444040), hex(0x8a8070), 1, 49);
    palm(c, 1740, 880, 520, -0.08f, 50);
    palm(c, 1600, 860, 420, 0.06f, 51);
    reeds(c, 1180, 1500, 860, 80, hex(0x6d7a44), 52, 160);
    reeds(c, 0, 400, H - 30, 110, hex(0x6d7a44), 53, 180);

    BrushPlan plan;
    plan.seed = 40;
    return painterly(c, plan);
}

QImage bethsaidaShore()
{
    Canvas c(pictureWidth, pictureHeight);
    const float horizon = 600;
    Sky sky;
    sky.ramp = { { { 0, hex(0x3f5a8c) }, { 0.45f, hex(0x9a8fb0) }, { 0.8f, hex(0xe8b58c) },
        { 1, hex(0xf6d3a0) } } };
    sky.horizon = horizon;
    sky.sunX = 1340;
    sky.sunY = 548;
    sky.sunDisc = 30;
    sky.sunColour = hex(0xffe2b0);
    sky.glowRadius = 800;
    sky.glowStrength = 0.4f;
    sky.cloudCover = 0.45f;
    sky.cloudTop = 120;
    sky.cloudBottom = 470;
    sky.cloudLight = hex(0xffd6b0);
    sky.cloudShade = hex(0x8a7c98);
    sky.seed = 61;
    paintSky(c, sky);

    Hills far;
    far.baseY = horizon - 18;
    far.amplitude = 30;
    far.wavelength = 500;
    far.seed = 62;
    far.top = hex(0x6f6480);
    far.bottom = hex(0x675e78);
    far.depth = 40;
    far.texture = 0.04f;
    far.lift = [](float x) { return 60 * (1 - smoothstep(0, 900, x)); };
    paintHills(c, far);
    Water water;
    water.horizon = horizon;
    water.tint = hex(0x4a5070);
    water.tintNear = 0.35f;
    water.ripple = 4;
    water.sunX = 1340;
    water.glitter = hex(0xffd9a0);
    water.seed = 63;
    paintWater(c, water);

    // A shore of dark basalt and pebbles, lit from behind.
    const auto shore = [](float x) {
        return 860 - 120 * (1 - smoothstep(0, 800, x)) + 40 * smoothstep(1200, 1900, x)
            + 15 * fbm(x / 120, 4, 64, 3);
    };
    ground(c, shore, hex(0x7a6656), hex(0x463c36), 0.25f, 0.9f, 64);
    const Rgb basalt = hex(0x3a3534);
    const Rgb rim = hex(0xe0a070);
    boulder(c, 260, 800, 340, 150, basalt, rim, 1, 65);
    boulder(c, 520, 860, 200, 90, basalt, rim, 1, 66);
    boulder(c, 1720, 980, 360, 170, basalt, rim, -1, 67);
    boulder(c, 1480, 1000, 180, 80, basalt, rim, -1, 68);
    fishingBoat(c, 760, 905, 300, 1, false, false);
    // Nets hung to dry between two poles.
    const Rgb pole = hex(0x3a2c22);
    fill(c, rect(1180, 700, 9, 220), pole);
    fill(c, rect(1420, 690, 9, 240), pole);
    QPainterPath net;
    net.moveTo(1184, 712);
    net.quadTo(1300, 790, 1424, 702);
    net.lineTo(1424, 760);
    net.quadTo(1300, 860, 1184, 770);
    net.closeSubpath();
    fill(
        c, net,
        [](float x, float y) {
            const float mesh
                = std::abs(std::sin((x + y) / 4.0f)) * std::abs(std::sin((x - y) / 4.0f));
            return mix(hex(0x8a7a66), hex(0x4a4038), smoothstep(0.2f, 0.6f, mesh));
        },
        0.85f);
    reeds(c, 0, 300, H - 10, 140, hex(0x5f6a40), 69, 200);

    BrushPlan plan;
    plan.seed = 60;
    return painterly(c, plan, 0.28f);
}

} // namespace paint::scenes

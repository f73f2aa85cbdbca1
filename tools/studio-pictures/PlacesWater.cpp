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
    const Sky sky {
        .ramp = { { { 0, hex(0x5f8fc4) }, { 0.55f, hex(0x9dbcd8) }, { 1, hex(0xf0dcc0) } } },
        .horizon = horizon,
        .sunX = 1500,
        .sunY = 330,
        .glowRadius = 700,
        .glowStrength = 0.28f,
        .cloudCover = 0.36f,
        .cloudTop = 70,
        .cloudBottom = 430,
        .seed = 11,
    };
    paintSky(c, sky);

    // The heights across the lake: long, flat and blue with distance.
    const Hills far {
        .baseY = horizon - 28,
        .amplitude = 26,
        .wavelength = 520,
        .seed = 12,
        .top = hex(0x9a9cb4),
        .bottom = hex(0x8d93ab),
        .depth = 60,
        .texture = 0.05f,
        .lift
        = [](float x) { return 40 * smoothstep(200, 900, x) - 25 * smoothstep(1300, 1900, x); },
    };
    paintHills(c, far);
    // The near hill on the left, coming down to the shore, with groves.
    const Hills near {
        .baseY = horizon - 8,
        .amplitude = 36,
        .wavelength = 300,
        .seed = 13,
        .top = hex(0x7c8660),
        .bottom = hex(0x66704c),
        .depth = 160,
        .haze = { hex(0xc9c8c8), 0.3f },
        .texture = 0.2f,
        .textureScale = 36,
        .lift =
            [](float x) {
                const float t = clamp01(x / 820);
                return 170 * (1 - t * t) * (0.8f + 0.2f * std::cos(t * 6));
            },
        .scrub = 0.12f,
        .scrubColour = hex(0x4a5535),
    };
    paintHills(c, near);
    const Haze grove { hex(0xc9c8c8), 0.35f };
    for (int i = 0; i < 9; ++i) {
        const float x = 60 + float(i) * 80 + 30 * hash01(std::uint32_t(i), 20);
        cypress(c, x, near.ridgeAt(x) + 40 + 30 * hash01(std::uint32_t(i), 21), 60, 1,
            std::uint32_t(i) + 30, grove);
    }

    const Water water {
        .horizon = horizon,
        .tint = hex(0x3f6f86),
        .tintNear = 0.45f,
        .ripple = 5,
        .sunX = 1500,
        .seed = 15,
    };
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
    const Sky sky {
        .ramp = { { { 0, hex(0x78a2cc) }, { 0.6f, hex(0xb3cbe0) }, { 1, hex(0xeee2ca) } } },
        .horizon = horizon,
        .sunX = 420,
        .sunY = 230,
        .glowRadius = 650,
        .glowStrength = 0.3f,
        .cloudCover = 0.3f,
        .cloudTop = 60,
        .cloudBottom = 360,
        .seed = 21,
    };
    paintSky(c, sky);

    // The bare hills of the wilderness on both sides of the valley.
    const Hills far {
        .baseY = horizon - 10,
        .amplitude = 90,
        .wavelength = 420,
        .seed = 22,
        .top = hex(0xc0a48c),
        .bottom = hex(0xa78e7c),
        .depth = 120,
        .haze = { hex(0xdcd2c8), 0.5f },
        .texture = 0.12f,
    };
    paintHills(c, far);
    const Hills middle {
        .baseY = horizon + 60,
        .amplitude = 50,
        .wavelength = 300,
        .seed = 23,
        .top = hex(0xb09066),
        .bottom = hex(0x947a58),
        .depth = 90,
        .haze = { hex(0xdcd2c8), 0.25f },
        .texture = 0.15f,
        .lift = [](float x) { return 70 * std::pow(std::abs(x - 980) / 980, 1.5f); },
        .scrub = 0.08f,
    };
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

    const Water water {
        .horizon = 600,
        .region = river,
        .mirror =
            [&](float x) {
                for (int i = 0; i <= 120; ++i) {
                    const float t = float(i) / 120;
                    const QPointF p = centre(t);
                    if (std::abs(x - float(p.x())) < halfWidth(t))
                        return float(p.y()) - 1;
                }
                return 600.0f;
            },
        .tint = hex(0x5a7560),
        .tintNear = 0.35f,
        .ripple = 3,
        .seed = 29,
    };
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
    const Sky sky {
        .ramp = { { { 0, hex(0x4f86c0) }, { 0.6f, hex(0x8fb6d8) }, { 1, hex(0xe8e0cc) } } },
        .horizon = horizon,
        .sunX = 1600,
        .sunY = 150,
        .glowRadius = 600,
        .glowStrength = 0.25f,
        .cloudCover = 0.32f,
        .cloudTop = 80,
        .cloudBottom = 380,
        .seed = 41,
    };
    paintSky(c, sky);

    const Hills far {
        .baseY = horizon - 22,
        .amplitude = 24,
        .wavelength = 600,
        .seed = 42,
        .top = hex(0x9c9ab0),
        .bottom = hex(0x9096aa),
        .depth = 50,
        .texture = 0.05f,
        .lift = [](float x) { return 30 * smoothstep(800, 1900, x); },
    };
    paintHills(c, far);
    const Water water {
        .horizon = horizon,
        .tint = hex(0x3d7390),
        .tintNear = 0.5f,
        .ripple = 4,
        .sunX = 1600,
        .seed = 43,
    };
    paintWater(c, water);

    // The shore: the ground rises on the left under the ruins.
    const auto shore = [](float x) {
        return 700 + 120 * smoothstep(900, 1500, x) - 60 * (1 - smoothstep(0, 900, x))
            + 12 * fbm(x / 150, 2, 44, 3);
    };
    ground(c, shore, hex(0x9a9068), hex(0x6a6a44), 0.25f, 0.5f, 44);
    // Black basalt footings of the houses around the synagogue, low walls of uneven height.
    const Stone basalt { hex(0x4a4644), 16, 30, 0.3f, 0.12f, 45, {} };
    fill(c, rect(0, 612, 980, 58), basalt.shader(0.8f));
    for (int i = 0; i < 7; ++i) {
        const auto n = std::uint32_t(i);
        const float x = float(i) * 140 - 30 + 50 * hash01(n, 57);
        const float y = 760 + 110 * hash01(n, 55);
        cityWall(c, x, x + 60 + 100 * hash01(n, 54), y, 22 + 30 * hash01(n, 56) * (y / 800), basalt,
            0, 0.85f);
    }
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
    const Sky sky {
        .ramp = { { { 0, hex(0x3f5a8c) }, { 0.45f, hex(0x9a8fb0) }, { 0.8f, hex(0xe8b58c) },
            { 1, hex(0xf6d3a0) } } },
        .horizon = horizon,
        .sunX = 1340,
        .sunY = 548,
        .sunDisc = 30,
        .sunColour = hex(0xffe2b0),
        .glowRadius = 800,
        .glowStrength = 0.4f,
        .cloudCover = 0.45f,
        .cloudTop = 120,
        .cloudBottom = 470,
        .cloudLight = hex(0xffd6b0),
        .cloudShade = hex(0x8a7c98),
        .seed = 61,
    };
    paintSky(c, sky);

    const Hills far {
        .baseY = horizon - 18,
        .amplitude = 30,
        .wavelength = 500,
        .seed = 62,
        .top = hex(0x6f6480),
        .bottom = hex(0x675e78),
        .depth = 40,
        .texture = 0.04f,
        .lift = [](float x) { return 60 * (1 - smoothstep(0, 900, x)); },
    };
    paintHills(c, far);
    const Water water {
        .horizon = horizon,
        .tint = hex(0x4a5070),
        .tintNear = 0.35f,
        .ripple = 4,
        .sunX = 1340,
        .glitter = hex(0xffd9a0),
        .seed = 63,
    };
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
    // Nets hung to dry from a pole between two posts.
    const Rgb pole = hex(0x3a2c22);
    fill(c, rect(1180, 700, 9, 220), pole);
    fill(c, rect(1420, 690, 9, 240), pole);
    fill(c, polygon({ 1170, 706, 1440, 694, 1440, 701, 1170, 713 }), pole);
    QPainterPath net;
    net.moveTo(1186, 712);
    net.lineTo(1424, 702);
    net.cubicTo(1420, 800, 1380, 860, 1350, 880);
    net.cubicTo(1300, 820, 1250, 860, 1200, 840);
    net.cubicTo(1190, 800, 1188, 760, 1186, 712);
    net.closeSubpath();
    QPainterPath mesh;
    for (float k = 900; k < 1700; k += 11) {
        mesh.moveTo(k, 690);
        mesh.lineTo(k - 200, 890);
        mesh.moveTo(k - 500, 690);
        mesh.lineTo(k - 300, 890);
    }
    QPainterPathStroker strands;
    strands.setWidth(1.6);
    fill(c, strands.createStroke(mesh).intersected(net), hex(0x6a5a4a), 0.9f);
    fill(c, net, hex(0x3a3028), 0.15f);
    reeds(c, 0, 300, H - 10, 140, hex(0x5f6a40), 69, 200);

    BrushPlan plan;
    plan.seed = 60;
    return painterly(c, plan, 0.28f);
}

} // namespace paint::scenes

// Places seen from within: the Via Dolorosa, the Pool of Bethesda and the upper room.

#include "Scenes.h"

#include <QPainterPathStroker>
#include <numbers>

namespace paint::scenes {

namespace {

// A street or room seen down its length: walls at a half-width from the eye, everything drawn
// towards one vanishing point.
struct Corridor
{
    QPointF vanishing { 960, 540 };
    float halfWidth = 300; // world units from the eye to each wall
    float eye = 160; // eye height in world units
    float focal = 600;

    // Screen distance from the vanishing point of something at depth z.
    [[nodiscard]] float spread(float z) const { return halfWidth * focal / z; }
    // A point on a side wall (side -1 left, +1 right) at depth z and height h.
    [[nodiscard]] QPointF wall(float side, float z, float h) const
    {
        const float dx = spread(z);
        return { vanishing.x() + side * dx, vanishing.y() + (eye - h) * dx / halfWidth };
    }
    // A point across the corridor at depth z: u from -1 (left wall) to 1 (right wall).
    [[nodiscard]] QPointF across(float u, float z, float h) const
    {
        const float dx = spread(z);
        return { vanishing.x() + u * dx, vanishing.y() + (eye - h) * dx / halfWidth };
    }
    // Wall coordinates (depth, height) of a screen point on a side wall.
    [[nodiscard]] QPointF onWall(float x, float y) const
    {
        const float dx = std::max(2.0f, std::abs(x - float(vanishing.x())));
        return { halfWidth * focal / dx, eye - (y - float(vanishing.y())) * halfWidth / dx };
    }
    // The outline of an opening in a side wall, round-headed.
    [[nodiscard]] QPainterPath opening(float side, float z0, float z1, float h0, float h1) const
    {
        QPainterPath path;
        path.moveTo(wall(side, z0, h0));
        path.lineTo(wall(side, z0, h1));
        const float rise = (z1 - z0) * 0.45f;
        for (int i = 1; i < 16; ++i) {
            const float a = std::numbers::pi_v<float> * float(i) / 16;
            const float z = (z0 + z1) / 2 - std::cos(a) * (z1 - z0) / 2;
            path.lineTo(wall(side, z, h1 + std::sin(a) * rise));
        }
        path.lineTo(wall(side, z1, h1));
        path.lineTo(wall(side, z1, h0));
        path.closeSubpath();
        return path;
    }
};

Shader wallStone(const Corridor &corridor, const Stone &stone, float light, float scale = 1)
{
    return [=](float x, float y) {
        const QPointF p = corridor.onWall(x, y);
        // Farther blocks darken a little in the shade of the street.
        return stone.at(float(p.x()) * scale, float(p.y()) * scale, light);
    };
}

} // namespace

QImage viaDolorosa()
{
    Canvas c(pictureWidth, pictureHeight);
    Corridor street;
    street.vanishing = { 960, 560 };
    const Sky sky {
        .ramp = { { { 0, hex(0x5d90c6) }, { 1, hex(0xcfe0ec) } } },
        .horizon = 420,
        .sunX = 600,
        .sunY = -100,
        .cloudCover = 0.25f,
        .cloudTop = 0,
        .cloudBottom = 300,
        .seed = 181,
    };
    paintSky(c, sky);
    const Stone stone { hex(0xdcc7a2), 22, 46, 0.22f, 0.08f, 182, {} };
    const float far = 1400;
    const float wallHeight = 640;
    // The street's end: a sunlit house across it with an arched passage.
    const QPointF endTopLeft = street.wall(-1, far, wallHeight + 40);
    const QPointF endBottomRight = street.wall(1, far, 0);
    fill(c,
        rect(float(endTopLeft.x()), float(endTopLeft.y()),
            float(endBottomRight.x() - endTopLeft.x()), float(endBottomRight.y() - endTopLeft.y())),
        [&](float x, float y) { return stone.at(x * 3, y * 3, 1.25f); });
    const QPointF passage = street.across(-0.3f, far, 0);
    fill(c, arch(float(passage.x()), float(passage.y()) - 70, 70, 70), hex(0x4a3a2e));
    // The floor: steps of worn paving climbing away.
    fill(c,
        polygon(
            { 0, float(H), float(street.wall(-1, far, 0).x()), float(street.wall(-1, far, 0).y()),
                float(street.wall(1, far, 0).x()), float(street.wall(1, far, 0).y()), W, H }),
        [&](float x, float y) {
            Rgb p = paving(960, 560, hex(0xcdb896), 183)(x, y);
            const float z = street.eye * street.focal / std::max(2.0f, y - 560);
            const float step = std::fmod(z, 140.0f);
            if (step < 8)
                p = p * 0.72f;
            return p;
        });
    // The side walls: the left in shade, the right lit above the shadow of the left.
    QPainterPath left = polygon({ 0, -2000, float(street.wall(-1, far, wallHeight).x()),
        float(street.wall(-1, far, wallHeight).y()), float(street.wall(-1, far, 0).x()),
        float(street.wall(-1, far, 0).y()), 0, 1300 });
    fill(c, left, wallStone(street, stone, 0.72f));
    QPainterPath right = polygon({ W, -2000, float(street.wall(1, far, wallHeight).x()),
        float(street.wall(1, far, wallHeight).y()), float(street.wall(1, far, 0).x()),
        float(street.wall(1, far, 0).y()), W, 1300 });
    fill(c, right, [&](float x, float y) {
        const QPointF p = street.onWall(x, y);
        const float sunlit = smoothstep(-20, 20, float(p.y()) - (180 + 0.25f * float(p.x())));
        return stone.at(float(p.x()), float(p.y()), 0.74f + 0.5f * sunlit);
    });
    // Doorways and a window in the walls.
    const Rgb door = hex(0x4a5a48);
    fill(c, street.opening(-1, 380, 470, 0, 170), hex(0x3a2e24));
    fill(c, street.opening(-1, 392, 458, 0, 160), door);
    fill(c, street.opening(1, 300, 360, 0, 150), hex(0x3a2e24));
    fill(c, street.opening(1, 305, 355, 0, 145), hex(0x6a4a30));
    fill(c, street.opening(1, 700, 760, 0, 140), hex(0x3a2e24));
    fill(c, street.opening(-1, 800, 850, 200, 260), hex(0x2e2a26));
    fill(c, street.opening(1, 520, 560, 260, 320), hex(0x2e2a26));
    // The arch over the street, in its own shade, with a window in the room above it.
    const float archZ = 620;
    const QPointF a0 = street.across(-1, archZ, 560);
    const QPointF a1 = street.across(1, archZ, 270);
    QPainterPath bridge
        = rect(float(a0.x()), float(a0.y()), float(a1.x() - a0.x()), float(a1.y() - a0.y()) + 6);
    QPainterPath span;
    span.moveTo(street.across(-1, archZ, 250));
    for (int i = 0; i <= 24; ++i) {
        const float u = -std::cos(std::numbers::pi_v<float> * float(i) / 24);
        span.lineTo(street.across(u, archZ, 250 + 140 * std::sqrt(std::max(0.0f, 1 - u * u))));
    }
    span.lineTo(street.across(1, archZ, 0));
    span.lineTo(street.across(-1, archZ, 0));
    span.closeSubpath();
    fill(c, bridge.subtracted(span),
        [&](float x, float y) { return stone.at(x * 1.6f, y * 1.6f, 0.62f); });
    const QPointF w0 = street.across(-0.12f, archZ, 470);
    const QPointF w1 = street.across(0.12f, archZ, 400);
    fill(c, arch(float(w0.x()), float(w0.y()) + 10, float(w1.x() - w0.x()), float(w1.y() - w0.y())),
        hex(0x2a2420));
    // A lantern on its bracket, and plants along the walls.
    const QPointF lamp = street.wall(-1, 330, 330);
    fill(c, rect(float(lamp.x()), float(lamp.y()) - 4, 60, 6), hex(0x2a2420));
    fill(c, rect(float(lamp.x()) + 44, float(lamp.y()), 30, 44), hex(0x3a3028));
    fill(c, rect(float(lamp.x()) + 48, float(lamp.y()) + 6, 22, 32), hex(0xf6d690));
    glow(c, float(lamp.x()) + 59, float(lamp.y()) + 22, 90, hex(0xffd890), 0.25f);
    const QPointF pot = street.wall(1, 240, 0);
    fill(c,
        polygon(
            { float(pot.x()) - 70, float(pot.y()) - 90, float(pot.x()) + 10, float(pot.y()) - 90,
                float(pot.x()) - 6, float(pot.y()) + 6, float(pot.x()) - 54, float(pot.y()) + 6 }),
        hex(0xa0583a));
    flowers(c, float(pot.x()) - 30, float(pot.y()) - 80, 150, hex(0x4e6a36), hex(0xd8567a), 184);
    const QPointF vine = street.wall(-1, 260, wallHeight - 40);
    bush(c, float(vine.x()) + 40, float(vine.y()) + 60, 180, hex(0x4e6a36), 1, 185);
    reeds(c, float(vine.x()), float(vine.x()) + 140, float(vine.y()) + 40, -220, hex(0x4e6a36), 186,
        40);

    BrushPlan plan;
    plan.seed = 180;
    plan.threshold = 0.05f;
    return painterly(c, plan, 0.3f);
}

QImage poolOfBethesda()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x5a8ec4) }, { 1, hex(0xc4d8e6) } } },
        .horizon = 320,
        .sunX = 300,
        .sunY = 40,
        .cloudCover = 0.3f,
        .cloudTop = 0,
        .cloudBottom = 240,
        .seed = 201,
    };
    paintSky(c, sky);
    const Stone stone { hex(0xd6c29e), 20, 44, 0.22f, 0.09f, 202, {} };
    // The church above the excavation, and pines.
    fill(c, rect(0, 90, 760, 300), stone.shader(1.05f));
    fill(c, arch(300, 190, 150, 110), hex(0x2e2a28));
    fill(c, rect(0, 80, 770, 16), stone.shader(1.15f));
    for (float x : { 1180.0f, 1330.0f, 1790.0f })
        cypress(c, x, 380, 300 + 80 * hash01(std::uint32_t(x), 203), -1, std::uint32_t(x));
    oliveTree(c, 1560, 390, 260, -1, 208);
    oliveTree(c, 980, 385, 170, -1, 209);
    // The upper rim of the dig, then terraces of walls and arches stepping down.
    fill(c, rect(0, 360, W, 40), hex(0xa8956e));
    cityWall(c, -10, 1930, 600, 220, stone, 0, 0.92f);
    for (int i = 0; i < 4; ++i) {
        const float x = 120 + float(i) * 460;
        fill(c, arch(x, 470, 260, 130), stone.shader(0.55f));
        fill(c, arch(x + 26, 494, 208, 106), hex(0x2c2622));
    }
    fill(c, rect(0, 600, W, 180), stone.shader(0.62f));
    cityWall(c, 200, 1750, 780, 170, stone, 0, 0.82f);
    for (int i = 0; i < 6; ++i)
        column(c, 330 + float(i) * 240, 640, 13, 140 - 40 * hash01(std::uint32_t(i), 204),
            hex(0xd8cbb0), -1);
    for (int i = 0; i < 3; ++i) {
        const float x = 420 + float(i) * 420;
        fill(c, arch(x, 690, 200, 90), hex(0x2c2622));
    }
    // Bushes hanging over the edges of the walls.
    for (int i = 0; i < 9; ++i) {
        const auto n = std::uint32_t(i);
        bush(c, 80 + 1760 * hash01(n, 205), 395 + 215 * float(i % 2), 70 + 50 * hash01(n, 206),
            hex(0x587040), -1, 210 + n);
    }
    // The pool: still green water in a stone basin, steps going down on the left.
    fill(c, rect(0, 780, W, H - 780), stone.shader(0.7f));
    for (int i = 0; i < 8; ++i) {
        const float y = 790 + float(i) * 34;
        fill(c, rect(0, y, 420 - float(i) * 30, 34), stone.shader(1.0f - 0.04f * float(i)));
        fill(c, rect(0, y + 28, 420 - float(i) * 30, 6), hex(0x5a4a3a), 0.5f);
    }
    const Water water {
        .horizon = 840,
        .region = polygon({ 430, 840, 1920, 840, 1920, 1080, 200, 1080 }),
        .tint = hex(0x3e5e4a),
        .tintNear = 0.5f,
        .ripple = 3,
        .seed = 207,
    };
    paintWater(c, water);

    BrushPlan plan;
    plan.seed = 200;
    plan.threshold = 0.05f;
    return painterly(c, plan, 0.3f);
}

QImage upperRoomQuiet()
{
    Canvas c(pictureWidth, pictureHeight, hex(0x3a3028));
    Corridor room;
    room.vanishing = { 960, 560 };
    room.halfWidth = 420;
    room.eye = 170;
    const float back = 760;
    const float springing = 430; // where the vault leaves the walls
    const float apex = 640; // the vault's crown
    const Stone stone { hex(0xcdb08a), 26, 56, 0.16f, 0.07f, 221, {} };
    // A pointed arch across the room at a depth, from wall to wall.
    const auto vaultArch = [&](float z) {
        QPainterPath arc;
        for (int i = 0; i <= 40; ++i) {
            const float u = -1 + 2 * float(i) / 40;
            // Pointed at the crown: the two halves meet at an angle.
            const float rise = (apex - springing) * (1 - std::pow(std::abs(u), 1.35f));
            const QPointF p = room.across(u, z, springing + rise);
            if (i == 0)
                arc.moveTo(p);
            else
                arc.lineTo(p);
        }
        return arc;
    };
    // The vault over everything, darker towards us.
    fill(c, rect(0, 0, W, H), [&](float x, float y) {
        const float t = clamp01(y / 420);
        return mix(hex(0x4a3c30), hex(0xa88e70), t) * (1 + 0.06f * fbm(x / 30, y / 30, 223, 3));
    });
    // The back wall, its top following the vault, with two tall windows full of light.
    QPainterPath backWall = vaultArch(back);
    backWall.lineTo(room.across(1, back, 0));
    backWall.lineTo(room.across(-1, back, 0));
    backWall.closeSubpath();
    fill(c, backWall, [&](float x, float y) { return stone.at(x * 2.2f, y * 2.2f, 0.92f); });
    for (float u : { -0.45f, 0.45f }) {
        const QPointF p = room.across(u - 0.15f, back, 420);
        const QPointF q = room.across(u + 0.15f, back, 170);
        const float w = float(q.x() - p.x());
        fill(
            c, arch(float(p.x()), float(p.y()) + w * 0.6f, w, float(q.y() - p.y())), hex(0x8a6a4a));
        fill(c,
            arch(float(p.x()) + 6, float(p.y()) + w * 0.6f + 4, w - 12, float(q.y() - p.y()) - 8),
            hex(0xfff2d4));
        glow(c, float(p.x()) + w / 2, float(q.y()) - 100, 320, hex(0xffe6b0), 0.35f);
    }
    // The floor of stone slabs.
    fill(c,
        polygon({ 0, H, float(room.across(-1, back, 0).x()), float(room.across(-1, back, 0).y()),
            float(room.across(1, back, 0).x()), float(room.across(1, back, 0).y()), W, H }),
        [&](float x, float y) { return paving(960, 560, hex(0xb49c7c), 222)(x, y) * 0.85f; });
    // The side walls up to the vault, with pointed bays between piers.
    for (float side : { -1.0f, 1.0f }) {
        QPainterPath wall = polygon({ side < 0 ? 0.0f : W,
            float(room.wall(side, 150, springing).y()), float(room.wall(side, back, springing).x()),
            float(room.wall(side, back, springing).y()), float(room.wall(side, back, 0).x()),
            float(room.wall(side, back, 0).y()), side < 0 ? 0.0f : W, 1400 });
        fill(c, wall, wallStone(room, stone, side < 0 ? 0.78f : 0.68f));
        for (float z : { 280.0f, 430.0f, 600.0f }) {
            fill(c, room.opening(side, z + 20, z + 120, 60, 300), stone.shader(0.5f));
            fill(c, room.opening(side, z + 34, z + 106, 60, 300), hex(0x3c3026));
        }
    }
    // The ribs of the vault, from pier to pier.
    for (float z : { 230.0f, 330.0f, 450.0f, 600.0f }) {
        QPainterPathStroker stroker;
        stroker.setWidth(room.spread(z) * 0.035f);
        fill(c, stroker.createStroke(vaultArch(z)), hex(0xc8b090) * 0.85f);
    }
    // Shafts of light from the windows across the room.
    for (float u : { -0.45f, 0.45f }) {
        const QPointF top = room.across(u, back, 330);
        fill(c,
            polygon({ float(top.x()) - 50, float(top.y()), float(top.x()) + 50, float(top.y()),
                float(top.x()) + u * 900 + 260, H, float(top.x()) + u * 900 - 160, H }),
            hex(0xffeccc), 0.12f);
    }
    // The long table with its cloth, bread and cup, and benches.
    const float tz = 520;
    const QPointF t0 = room.across(-0.5f, tz, 80);
    const QPointF t1 = room.across(0.5f, tz, 0);
    fill(c, rect(float(t0.x()), float(t0.y()), float(t1.x() - t0.x()), 14), hex(0xeee4d0));
    fill(c, rect(float(t0.x()), float(t0.y()) + 14, float(t1.x() - t0.x()), 40), hex(0xd6ccb6));
    fill(c, rect(float(t0.x()) + 10, float(t0.y()) + 54, 12, float(t1.y() - t0.y()) - 54),
        hex(0x4a3424));
    fill(c, rect(float(t1.x()) - 22, float(t0.y()) + 54, 12, float(t1.y() - t0.y()) - 54),
        hex(0x4a3424));
    fill(c, ellipse(float(t0.x()) + 120, float(t0.y()) - 8, 34, 14), hex(0xb07a3e));
    fill(c, rect(float(t1.x()) - 140, float(t0.y()) - 34, 16, 30), hex(0xc8a050));
    fill(c, ellipse(float(t1.x()) - 132, float(t0.y()) - 34, 14, 5), hex(0xe0c070));
    for (float u : { -0.75f, 0.75f }) {
        const QPointF b = room.across(u, 430, 45);
        fill(c, rect(float(b.x()) - 90, float(b.y()), 180, 16), hex(0x5a4030));
    }
    // Oil lamps in the bays.
    for (float side : { -1.0f, 1.0f }) {
        const QPointF lamp = room.wall(side, 330, 260);
        glow(c, float(lamp.x()), float(lamp.y()), 160, hex(0xffc870), 0.3f);
        fill(c, ellipse(float(lamp.x()), float(lamp.y()), 10, 14), hex(0xffe0a0));
    }

    BrushPlan plan;
    plan.seed = 220;
    plan.threshold = 0.05f;
    return painterly(c, plan, 0.35f);
}

} // namespace paint::scenes

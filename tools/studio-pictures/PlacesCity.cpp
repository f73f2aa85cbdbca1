// Jerusalem seen whole and its places: the old city, the Western Wall, the Temple Mount at dawn
// and the court of the Holy Sepulchre.

#include "Scenes.h"

namespace paint::scenes {

namespace {

const Rgb jerusalemStone = hex(0xe4d2b0);
const Rgb goldLeaf = hex(0xd8a838);
const Rgb leadGrey = hex(0x8d9096);
const Rgb tileBlue = hex(0x3f6a9c);

// The great octagon with its gold dome: a blue-tiled drum on a wider arcaded base.
void goldenDome(Canvas &c, float cx, float baseY, float radius, float lightSide, const Haze &haze)
{
    const float baseWidth = radius * 1.9f;
    const float baseHeight = radius * 0.8f;
    fill(c, rect(cx - baseWidth, baseY - baseHeight, baseWidth * 2, baseHeight),
        [=](float x, float y) {
            const float u = (x - cx) / baseWidth;
            // Three faces of the octagon in view: the middle one full, the sides foreshortened.
            const float face = std::abs(u) < 0.42f ? 1.0f : (u * lightSide < 0 ? 1.12f : 0.72f);
            const float band = y < baseY - baseHeight * 0.72f ? 1.0f : 0.0f;
            const float arches = std::fmod(std::abs(x - cx) + 12, radius * 0.24f) < radius * 0.09f
                    && y > baseY - baseHeight * 0.62f && y < baseY - baseHeight * 0.22f
                ? 0.55f
                : 1.0f;
            const float tiles = 0.9f + 0.2f * fbm(x / 5, y / 5, 91, 2);
            Rgb wall = mix(hex(0xe8e0d0), tileBlue * tiles, 0.75f - 0.5f * band);
            return haze.over(wall * face * arches);
        });
    dome(c, cx, baseY - baseHeight, radius, goldLeaf, lightSide, haze, radius * 0.45f, tileBlue,
        0.45f);
}

// Dressed Herodian stones: long blocks with a sunken margin round a flat boss.
Rgb ashlar(float x, float y, float top, float light)
{
    // Course heights shrink upwards; the topmost courses are later, smaller stones.
    const float depth = y - top;
    const float course = depth < 150 ? 34.0f : 62.0f;
    const float local = depth < 150 ? depth : depth - 150;
    const int row = int(std::floor(local / course)) + (depth < 150 ? 1000 : 0);
    const float fy = local - std::floor(local / course) * course;
    const float blockLength = course * (2.6f + 2.2f * hash01(std::uint32_t(row), 201));
    const float shift = hash01(std::uint32_t(row), 202) * blockLength;
    const float u = x + shift;
    const int col = int(std::floor(u / blockLength));
    const float fx = u - float(col) * blockLength;
    const float edge = std::min({ fx, blockLength - fx, fy, course - fy });
    const float margin = depth < 150 ? 0.0f : 9.0f;
    const std::uint32_t cell = std::uint32_t(row) * 7717U + std::uint32_t(col);
    Rgb c = hex(0xdcc9a4) * (0.88f + 0.22f * hash01(cell, 203));
    c = c * (1 + 0.1f * fbm(x / 20, y / 20, 204, 3) + 0.06f * fbm(x / 5, y / 5, 205, 2));
    if (edge < margin)
        c = c * (0.84f + 0.04f * edge / std::max(margin, 1.0f));
    // The boss's lower edge casts a thin shadow onto the margin; joints are dark.
    if (margin > 0 && fy > course - margin - 2 && fy < course - margin + 1)
        c = c * 0.8f;
    c = c * (1 - 0.45f * (1 - smoothstep(0.5f, 2.5f, edge)));
    // Weathering streaks down the face.
    c = c * (1 - 0.12f * smoothstep(0.3f, 0.8f, fbm(x / 14, y / 160, 206, 3)));
    return c * light;
}

} // namespace

// Flagstones of a square seen in perspective from standing height; horizonY is the eye level.
Shader paving(float vanishingX, float horizonY, Rgb colour, std::uint32_t seed)
{
    return [=](float x, float y) {
        const float below = std::max(2.0f, y - horizonY);
        constexpr float eye = 160;
        constexpr float focal = 600;
        constexpr float tile = 40;
        const float z = eye * focal / below;
        const float wx = (x - vanishingX) * eye / below;
        const float row = std::floor(z / tile);
        const float gx = wx / tile + 0.5f * (int(row) & 1);
        const float fx = gx - std::floor(gx);
        const float fz = z / tile - row;
        const float sx = below / eye;
        const float sz = eye * focal / (z * z);
        const float line
            = std::min(std::min(fx, 1 - fx) * tile * sx, std::min(fz, 1 - fz) * tile * sz);
        const auto cell = std::uint32_t(int(std::floor(gx)) * 31 + int(row) * 977);
        Rgb c = colour * (0.92f + 0.12f * hash01(cell, seed));
        c = c * (1 + 0.05f * fbm(x / 12, y / 6, seed + 1, 2));
        c = c * (1 - 0.28f * (1 - smoothstep(0.3f, 1.6f, line)));
        return c;
    };
}

QImage jerusalemOldCity()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x5a8fc6) }, { 0.6f, hex(0xa8c6df) }, { 1, hex(0xf0e4cc) } } },
        .horizon = 520,
        .sunX = 260,
        .sunY = 180,
        .glowRadius = 620,
        .glowStrength = 0.3f,
        .cloudCover = 0.3f,
        .cloudTop = 50,
        .cloudBottom = 330,
        .seed = 101,
    };
    paintSky(c, sky);
    // The Mount of Olives behind the city.
    const Hills ridge {
        .baseY = 470,
        .amplitude = 34,
        .wavelength = 600,
        .seed = 102,
        .top = hex(0xa3a58e),
        .bottom = hex(0x9a9a86),
        .depth = 120,
        .haze = { hex(0xd8dde2), 0.35f },
        .texture = 0.1f,
        .lift = [](float x) { return 30 * std::sin(x / 700 + 0.4f); },
        .scrub = 0.1f,
        .scrubColour = hex(0x7d8468),
    };
    paintHills(c, ridge);
    const Haze air { hex(0xdde2e6), 0.18f };
    Stone stone;
    stone.colour = jerusalemStone;
    stone.course = 9;
    stone.block = 20;
    stone.haze = air;
    const Town back {
        .x0 = -60,
        .x1 = 1980,
        .baseY = 560,
        .depth = 60,
        .rows = 3,
        .houseWidth = 56,
        .houseHeight = 36,
        .stone = stone,
        .haze = air,
        .seed = 103,
        .domes = 0.05f,
        .trees = 0.05f,
    };
    paintTown(c, back);
    // The landmarks standing out of the roofs.
    goldenDome(c, 1420, 560, 92, -1, air);
    tower(c, 760, 585, 58, 230, stone, 1.0f, false);
    fill(c, polygon({ 731, 355, 789, 355, 760, 300 }), air.over(leadGrey));
    dome(c, 600, 585, 66, leadGrey, -1, air, 34, jerusalemStone);
    tower(c, 230, 600, 44, 210, stone, 1.0f, true);
    dome(c, 1060, 600, 40, leadGrey, -1, air, 16, jerusalemStone);
    Town front = back;
    front.baseY = 660;
    front.depth = 60;
    front.rows = 2;
    front.houseWidth = 70;
    front.houseHeight = 46;
    front.stone.course = 11;
    front.stone.block = 24;
    front.seed = 104;
    paintTown(c, front);

    // The walls, with bastions and a gate between two towers.
    Stone wall = stone;
    wall.course = 16;
    wall.block = 34;
    wall.haze = {};
    cityWall(c, -10, 1930, 800, 150, wall, 22, 1.0f);
    for (float x : { 120.0f, 980.0f, 1600.0f })
        cityWall(c, x, x + 110, 805, 175, wall, 22, 0.9f);
    cityWall(c, 360, 470, 810, 215, wall, 22, 0.92f);
    cityWall(c, 600, 710, 810, 215, wall, 22, 1.04f);
    cityWall(c, 470, 600, 805, 170, wall, 22, 0.98f);
    fill(c, arch(495, 720, 80, 85), hex(0x2e2620));
    fill(c, rect(470, 650, 130, 8), jerusalemStone * 0.8f);

    // The slope below the walls, with olive trees.
    const auto slope = [](float x) { return 800 + 6 * fbm(x / 100, 5, 105, 2); };
    ground(c, slope, hex(0xa89a6e), hex(0x7c7048), 0.28f, 0.4f, 105);
    cypress(c, 860, 840, 260, -1, 106);
    cypress(c, 905, 850, 220, -1, 107);
    oliveTree(c, 170, 1010, 330, -1, 108);
    oliveTree(c, 1720, 1000, 360, -1, 109);
    oliveTree(c, 1420, 930, 200, -1, 110);
    oliveTree(c, 420, 920, 180, -1, 111);

    BrushPlan plan;
    plan.seed = 100;
    return painterly(c, plan);
}

QImage westernWallPlaza()
{
    Canvas c(pictureWidth, pictureHeight);
    const float top = 250;
    const float foot = 840;
    const Sky sky {
        .ramp = { { { 0, hex(0x4f88c4) }, { 1, hex(0xb8d0e4) } } },
        .horizon = top + 40,
        .sunX = 200,
        .sunY = 60,
        .glowRadius = 700,
        .glowStrength = 0.25f,
        .cloudCover = 0.28f,
        .cloudTop = 20,
        .cloudBottom = 220,
        .seed = 121,
    };
    paintSky(c, sky);
    // Cypresses and the gold dome above the wall, on the mount behind it.
    goldenDome(c, 1500, top + 10, 70, -1, { hex(0xd8e0e8), 0.2f });
    for (float x : { 260.0f, 330.0f, 1180.0f, 1760.0f })
        cypress(c, x, top + 30, 150 + 40 * hash01(std::uint32_t(x), 122), -1, std::uint32_t(x));
    bush(c, 700, top + 20, 90, hex(0x5d6e44), -1, 123);

    // The wall itself, lit from the left and shading towards the right.
    fill(c, rect(0, top, W, foot - top), [=](float x, float y) {
        const float light = 1.05f - 0.2f * x / W;
        return ashlar(x, y, top, light);
    });
    // Caper bushes and hyssop in the joints of the upper courses.
    for (int i = 0; i < 18; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 40 + 1840 * hash01(n, 124);
        const float y = top + 30 + 300 * hash01(n, 125);
        const float size = 14 + 22 * hash01(n, 126);
        bush(c, x, y, size, hex(0x7a8a50), -1, 130 + n);
        reeds(c, x - size * 0.4f, x + size * 0.4f, y - size * 0.3f, size * 0.9f, hex(0x7a8a50),
            160 + n, 10);
    }
    // A shadowed strip where the wall meets the plaza.
    fill(c, rect(0, foot - 30, W, 30), Rgb { 0.2f, 0.17f, 0.13f }, 0.25f);
    fill(c, rect(0, foot, W, H - foot), paving(960, foot - 150, hex(0xe0d2b6), 127));
    BrushPlan plan;
    plan.seed = 120;
    plan.threshold = 0.05f;
    return painterly(c, plan);
}

QImage templeMountDawn()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x6a7fb2) }, { 0.45f, hex(0xc9a6b8) }, { 0.8f, hex(0xf2c6a4) },
            { 1, hex(0xf8dcb8) } } },
        .horizon = 520,
        .sunX = 1400,
        .sunY = 470,
        .sunColour = hex(0xffe0b8),
        .glowRadius = 900,
        .glowStrength = 0.35f,
        .cloudCover = 0.34f,
        .cloudTop = 90,
        .cloudBottom = 400,
        .cloudLight = hex(0xffd8c0),
        .cloudShade = hex(0xa890a8),
        .seed = 141,
    };
    paintSky(c, sky);
    // The city beyond, soft in the morning haze.
    const Haze mist { hex(0xecc8b8), 0.5f };
    const Hills far {
        .baseY = 500,
        .amplitude = 20,
        .wavelength = 500,
        .seed = 142,
        .top = hex(0xc0a8a8),
        .bottom = hex(0xb8a0a0),
        .depth = 80,
        .haze = mist,
        .texture = 0.05f,
    };
    paintHills(c, far);
    Town city {
        .x0 = -40,
        .x1 = 1960,
        .baseY = 560,
        .depth = 50,
        .rows = 3,
        .houseWidth = 44,
        .houseHeight = 28,
    };
    city.stone.colour = hex(0xf0d4bc);
    city.stone.course = 7;
    city.stone.block = 16;
    city.haze = mist;
    city.seed = 143;
    city.domes = 0.05f;
    paintTown(c, city);

    // The platform: its eastern wall and, on it, the domes, arcades and trees.
    const Stone wallStone { hex(0xe8c8a8), 18, 42, 0.18f, 0.08f, 144, { hex(0xf0d0c0), 0.1f } };
    const float platform = 700;
    fill(c, rect(0, 600, W, platform - 600), [](float x, float y) {
        return mix(hex(0xcfb29a), hex(0xbba08a), clamp01((y - 600) / 100))
            * (1 + 0.08f * fbm(x / 40, y / 20, 145, 3));
    });
    for (int i = 0; i < 12; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 60 + 1800 * hash01(n, 146);
        if (std::abs(x - 560) < 260)
            continue;
        cypress(c, x, 640 + 40 * hash01(n, 147), 110 + 60 * hash01(n, 148), 1, 150 + n);
    }
    // An arcade on the steps before the dome.
    for (int i = 0; i < 5; ++i)
        column(c, 300 + float(i) * 30, 668, 5, 60, hex(0xf0dcc8), 1);
    fill(c, rect(290, 592, 140, 16), wallStone.shader(1.0f));
    goldenDome(c, 560, 650, 150, 1, {});
    dome(c, 1500, 660, 50, leadGrey * 1.1f, 1, {}, 24, hex(0xe8d0b8));
    fill(c, rect(1380, 636, 240, 30), wallStone.shader(1.0f));
    cityWall(c, -10, 1930, 860, 170, wallStone, 26, 1.02f);
    // The double gate, long walled up.
    fill(c, arch(1160, 760, 80, 90), wallStone.shader(0.75f));
    fill(c, arch(1250, 760, 80, 90), wallStone.shader(0.75f));

    // Morning mist in the valley and olive trees on the near slope.
    const auto slope = [](float x) { return 900 + 20 * fbm(x / 200, 7, 151, 3); };
    ground(c, slope, hex(0x9c9070), hex(0x6e6448), 0.25f, 0.35f, 151);
    apply(c, [](int x, int y, Rgb old) {
        const float band = std::exp(-std::pow((float(y) - 880) / 60, 2.0f));
        const float drift = 0.6f + 0.4f * fbm(float(x) / 300, float(y) / 60, 152, 3);
        return mix(old, hex(0xf4dcd0), band * drift * 0.6f);
    });
    oliveTree(c, 150, 1050, 340, 1, 153);
    oliveTree(c, 1780, 1040, 320, 1, 154);
    oliveTree(c, 1520, 1000, 180, 1, 155);

    BrushPlan plan;
    plan.seed = 140;
    return painterly(c, plan);
}

QImage holySepulchreCourt()
{
    Canvas c(pictureWidth, pictureHeight);
    const float courtY = 840;
    const Sky sky {
        .ramp = { { { 0, hex(0x5b8cc2) }, { 1, hex(0xbcd2e2) } } },
        .horizon = 260,
        .sunX = 1800,
        .sunY = 40,
        .cloudCover = 0.25f,
        .cloudTop = 10,
        .cloudBottom = 200,
        .seed = 161,
    };
    paintSky(c, sky);
    const Stone stone { hex(0xd9c29c), 24, 52, 0.18f, 0.07f, 162, {} };
    // The rotunda's grey dome behind the roofline.
    dome(c, 1540, 250, 130, leadGrey, 1, {}, 50, hex(0xcbb494), 0.3f);
    dome(c, 980, 210, 50, leadGrey, 1, {}, 20, hex(0xcbb494), 0.3f);
    // The facade: sunlit from the right.
    fill(c, rect(300, 200, 1620, courtY - 200), stone.shader(1.0f));
    fill(c, rect(300, 520, 1620, 26), stone.shader(1.15f));
    fill(c, rect(300, 546, 1620, 12), stone.shader(0.6f));
    const auto portal = [&](float cx, bool open) {
        // Stepped, slightly pointed arches on slender columns.
        fill(c, arch(cx - 150, 620, 300, courtY - 620, true), stone.shader(0.78f));
        fill(c, arch(cx - 125, 640, 250, courtY - 640, true), stone.shader(0.6f));
        if (open) {
            fill(c, arch(cx - 100, 660, 200, courtY - 660, true), hex(0x3a2a1e));
            fill(c, rect(cx - 96, 700, 192, courtY - 700), [cx](float x, float y) {
                const float planks = 0.85f + 0.15f * std::sin((x - cx) / 6);
                return hex(0x5a3a22) * planks * (0.9f + 0.1f * fbm(x / 4, y / 40, 163, 2));
            });
            fill(c, rect(cx - 2, 700, 4, courtY - 700), hex(0x2a1c12));
        } else {
            fill(c, arch(cx - 100, 660, 200, courtY - 660, true), stone.shader(0.9f));
        }
        for (int side = -1; side <= 1; side += 2)
            for (int i = 0; i < 3; ++i)
                column(c, cx + float(side) * (112 + 13 * float(i)), courtY, 5.5f, courtY - 640,
                    hex(0xcfc2a8) * (1 - 0.08f * float(i)), -1);
        // The window above the door, within its own arch.
        fill(c, arch(cx - 110, 320, 220, 190, true), stone.shader(0.72f));
        fill(c, arch(cx - 80, 340, 160, 170, true), hex(0x2a2624));
        fill(c, rect(cx - 4, 320, 8, 190), stone.shader(0.9f));
    };
    portal(700, true);
    portal(1250, false);
    // The bell tower, cut short, on the left.
    fill(c, rect(0, 80, 330, courtY - 80), stone.shader(0.82f));
    fill(c, rect(320, 80, 20, courtY - 80), stone.shader(0.55f));
    for (float y : { 160.0f, 420.0f })
        fill(c, arch(110, y + 40, 110, 170, true), hex(0x2a2522));
    fill(c, rect(0, 70, 340, 18), stone.shader(1.1f));
    // The court's paving, shaded along the foot of the facade.
    fill(c, rect(0, courtY, W, H - courtY), paving(960, courtY - 140, hex(0xd8c8a8), 164));
    fill(c, polygon({ 0, courtY, W, courtY, W, courtY + 40, 0, courtY + 80 }),
        Rgb { 0.2f, 0.16f, 0.12f }, 0.3f);
    flowers(c, 1760, 1040, 200, hex(0x55683a), hex(0xd04a7a), 165);

    BrushPlan plan;
    plan.seed = 160;
    plan.threshold = 0.05f;
    return painterly(c, plan);
}

} // namespace paint::scenes

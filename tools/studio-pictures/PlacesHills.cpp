// The hill country: the Mount of Olives, Bethlehem, Nazareth, Golgotha, the Garden Tomb and
// Cana.

#include "Scenes.h"

#include <QTransform>
#include <numbers>

namespace paint::scenes {

namespace {

// A grazing sheep, its head down to the right (or left when facing is -1).
void sheep(Canvas &c, float x, float groundY, float size, float facing, std::uint32_t seed)
{
    fill(c, ellipse(x, groundY + 2, size * 0.55f, size * 0.08f), Rgb { 0.1f, 0.1f, 0.08f }, 0.25f);
    for (int i = 0; i < 4; ++i)
        fill(c,
            rect(x - size * 0.32f + float(i) * size * 0.2f, groundY - size * 0.25f, size * 0.06f,
                size * 0.26f),
            hex(0x3a3430));
    fill(
        c, ellipse(x, groundY - size * 0.38f, size * 0.45f, size * 0.26f), [=](float px, float py) {
            const float wool = 0.88f + 0.12f * fbm(px / 3, py / 3, seed, 2);
            const float top = clamp01(0.6f - (py - (groundY - size * 0.5f)) / size);
            return hex(0xe8e0d0) * wool * (0.75f + 0.35f * top);
        });
    fill(c, ellipse(x + facing * size * 0.45f, groundY - size * 0.3f, size * 0.14f, size * 0.1f),
        hex(0x3a3430));
}

// A tall stone water jar, lit from the left.
void waterJar(Canvas &c, float x, float groundY, float height)
{
    const float w = height * 0.33f;
    QPainterPath jar;
    jar.moveTo(x - w * 0.45f, groundY);
    jar.cubicTo(x - w * 1.05f, groundY - height * 0.3f, x - w * 0.95f, groundY - height * 0.8f,
        x - w * 0.55f, groundY - height * 0.92f);
    jar.lineTo(x - w * 0.62f, groundY - height);
    jar.lineTo(x + w * 0.62f, groundY - height);
    jar.lineTo(x + w * 0.55f, groundY - height * 0.92f);
    jar.cubicTo(x + w * 0.95f, groundY - height * 0.8f, x + w * 1.05f, groundY - height * 0.3f,
        x + w * 0.45f, groundY);
    jar.closeSubpath();
    fill(c, ellipse(x + w * 0.5f, groundY, w * 1.1f, height * 0.05f), Rgb { 0.1f, 0.08f, 0.06f },
        0.3f);
    fill(c, jar, [=](float px, float py) {
        const float nx = std::clamp((px - x) / w, -1.0f, 1.0f);
        const float light = clamp01(0.55f - 0.55f * nx + 0.15f * std::sqrt(1 - nx * nx));
        const float bands = 0.94f + 0.06f * std::sin((groundY - py) / (height * 0.04f));
        return hex(0xcfc0a2) * (0.5f + 0.65f * light) * bands
            * (0.92f + 0.1f * fbm(px / 6, py / 6, 301, 2));
    });
    fill(c, ellipse(x, groundY - height, w * 0.62f, height * 0.04f), hex(0x3a3026));
}

// A craggy face of limestone, creased and pitted.
Shader rock(Rgb colour, float lightSide, std::uint32_t seed)
{
    return [=](float x, float y) {
        const float crease = ridged(x / 60, y / 45, seed, 5);
        const float pits = fbm(x / 9, y / 9, seed + 1, 3);
        const float facing = clamp01(0.5f + 0.5f * fbm(x / 140 + lightSide, y / 140, seed + 2, 3));
        return colour * (0.55f + 0.45f * crease + 0.1f * pits) * (0.75f + 0.4f * facing);
    };
}

} // namespace

QImage mountOfOlives()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x6f98c4) }, { 0.6f, hex(0xc8c4c0) }, { 1, hex(0xf4d8aa) } } },
        .horizon = 470,
        .sunX = 1600,
        .sunY = 250,
        .sunColour = hex(0xffe2b0),
        .glowRadius = 800,
        .glowStrength = 0.35f,
        .cloudCover = 0.32f,
        .cloudTop = 60,
        .cloudBottom = 360,
        .cloudLight = hex(0xfff0d8),
        .seed = 311,
    };
    paintSky(c, sky);
    const Haze air { hex(0xf0dcc0), 0.45f };
    // The old city across the valley, with its walls and the gold dome.
    const Hills far {
        .baseY = 500,
        .amplitude = 18,
        .wavelength = 500,
        .seed = 312,
        .top = hex(0xc0a890),
        .bottom = hex(0xb09a84),
        .depth = 60,
        .haze = air,
    };
    paintHills(c, far);
    Town city {
        .x0 = 300,
        .x1 = 1920,
        .baseY = 560,
        .depth = 50,
        .rows = 3,
        .houseWidth = 40,
        .houseHeight = 26,
    };
    city.stone.colour = hex(0xecd8b8);
    city.stone.course = 6;
    city.stone.block = 14;
    city.haze = air;
    city.seed = 313;
    city.domes = 0.05f;
    paintTown(c, city);
    Stone wall;
    wall.colour = hex(0xe0c8a4);
    wall.course = 7;
    wall.block = 16;
    wall.haze = { air.colour, 0.3f };
    cityWall(c, 300, 1940, 610, 46, wall, 8, 1.0f);
    dome(c, 1260, 562, 38, hex(0xd8a838), 1, { air.colour, 0.15f }, 16, hex(0x5a7aa0), 0.4f);
    // The valley between, and the near slope of terraces and olive trees.
    const Hills valley {
        .baseY = 640,
        .amplitude = 14,
        .wavelength = 300,
        .seed = 314,
        .top = hex(0x9a9468),
        .bottom = hex(0x847c54),
        .depth = 120,
        .haze = { air.colour, 0.2f },
        .texture = 0.18f,
        .scrub = 0.14f,
        .scrubColour = hex(0x6a6e48),
    };
    paintHills(c, valley);
    const Hills slope {
        .baseY = 740,
        .amplitude = 30,
        .wavelength = 400,
        .seed = 315,
        .top = hex(0xa89a6a),
        .bottom = hex(0x7e7048),
        .depth = 300,
        .texture = 0.2f,
        .terraceSpacing = 70,
        .terraceWall = hex(0xcbb894),
        .lift =
            [](float x) {
                return 200 * std::pow(1 - clamp01(x / 1100), 2.0f) + 60 * smoothstep(1300, 1920, x);
            },
    };
    paintHills(c, slope);
    // Rows of olive trees along the terraces, and old ones near us.
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < 9; ++i) {
            const auto n = std::uint32_t(row * 20 + i);
            const float x = float(i) * 240 + 80 * hash01(n, 316) + float(row) * 60;
            const float y = slope.ridgeAt(x) + 50 + float(row) * 80;
            oliveTree(c, x, y, 80 + 50 * float(row), 1, 320 + n,
                { air.colour, 0.12f - 0.04f * float(row) });
        }
    }
    oliveTree(c, 200, 1070, 560, 1, 361);
    oliveTree(c, 1710, 1080, 520, 1, 362);

    BrushPlan plan;
    plan.seed = 310;
    return painterly(c, plan);
}

QImage bethlehemHills()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x24335e) }, { 0.45f, hex(0x5a5688) }, { 0.8f, hex(0xd68a70) },
            { 1, hex(0xf2b679) } } },
        .horizon = 560,
        .sunX = 500,
        .sunY = 640,
        .sunColour = hex(0xffb070),
        .glowRadius = 900,
        .glowStrength = 0.3f,
        .cloudCover = 0.3f,
        .cloudTop = 200,
        .cloudBottom = 470,
        .cloudLight = hex(0xf4a888),
        .cloudShade = hex(0x5a4e74),
        .seed = 331,
    };
    paintSky(c, sky);
    // The evening star.
    glow(c, 1540, 150, 70, hex(0xfff4d8), 0.5f);
    fill(c, ellipse(1540, 150, 4, 4), hex(0xffffff));

    const Haze dusk { hex(0xa07a90), 0.45f };
    const Hills far {
        .baseY = 560,
        .amplitude = 40,
        .wavelength = 380,
        .seed = 332,
        .top = hex(0x7a6688),
        .bottom = hex(0x6e5e7c),
        .depth = 80,
        .texture = 0.05f,
    };
    paintHills(c, far);
    // The town on its hill, its windows lit.
    const Hills townHill {
        .baseY = 640,
        .amplitude = 20,
        .wavelength = 300,
        .seed = 333,
        .top = hex(0x6a5a64),
        .bottom = hex(0x5a4e56),
        .depth = 100,
        .texture = 0.1f,
        .lift = [](float x) { return 110 * std::exp(-std::pow((x - 1350) / 420, 2.0f)); },
    };
    paintHills(c, townHill);
    Town town {
        .x0 = 1000,
        .x1 = 1720,
        .depth = 70,
        .rows = 3,
        .houseWidth = 46,
        .houseHeight = 32,
    };
    town.stone.colour = hex(0xd8c4b4);
    town.stone.course = 7;
    town.stone.block = 16;
    town.haze = { dusk.colour, 0.25f };
    town.seed = 334;
    town.domes = 0.06f;
    town.trees = 0.08f;
    town.lightSide = -1;
    town.ground = [&](float x) { return townHill.ridgeAt(x) + 70; };
    paintTown(c, town);
    tower(c, 1300, townHill.ridgeAt(1300) + 20, 34, 120, town.stone, 0.9f, false);
    for (int i = 0; i < 40; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 1040 + 640 * hash01(n, 335);
        const float y = townHill.ridgeAt(x) + 30 + 50 * hash01(n, 336);
        fill(c, rect(x, y, 4, 5), hex(0xffd890), 0.85f);
    }
    // Terraced hills with olive groves, and the shepherds' field.
    const Hills terraces {
        .baseY = 760,
        .amplitude = 40,
        .wavelength = 420,
        .seed = 337,
        .top = hex(0x6e6a4e),
        .bottom = hex(0x545038),
        .depth = 200,
        .texture = 0.15f,
        .terraceSpacing = 46,
        .terraceWall = hex(0x9a8e78),
        .lift = [](float x) { return 80 * (1 - smoothstep(0, 900, x)); },
    };
    paintHills(c, terraces);
    for (int i = 0; i < 14; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 40 + 1840 * hash01(n, 338);
        oliveTree(c, x, terraces.ridgeAt(x) + 30 + 70 * hash01(n, 339), 70 + 40 * hash01(n, 340),
            -1, 341 + n, { dusk.colour, 0.2f });
    }
    const auto field = [](float x) { return 900 + 20 * fbm(x / 250, 3, 342, 3); };
    ground(c, field, hex(0x7a7448), hex(0x4e4a30), 0.25f, 0.3f, 342);
    cityWall(c, -10, 700, 960, 40, { hex(0x9a8c74), 12, 26, 0.25f, 0.1f, 343, {} }, 0, 0.9f);
    const float flock[][3] = { { 420, 1010, 1 }, { 560, 1030, -1 }, { 1250, 990, 1 },
        { 1390, 1020, 1 }, { 1510, 1000, -1 }, { 1320, 1060, -1 }, { 300, 1060, 1 } };
    for (const auto &s : flock)
        sheep(c, s[0], s[1], 70, s[2], std::uint32_t(s[0]));

    BrushPlan plan;
    plan.seed = 330;
    return painterly(c, plan, 0.3f);
}

QImage nazarethHills()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x5a90c8) }, { 0.6f, hex(0xa6c6e0) }, { 1, hex(0xe8eadc) } } },
        .horizon = 480,
        .sunX = 300,
        .sunY = 200,
        .glowStrength = 0.25f,
        .cloudCover = 0.36f,
        .cloudTop = 60,
        .cloudBottom = 380,
        .seed = 351,
    };
    paintSky(c, sky);
    const Haze air { hex(0xd8e2e6), 0.4f };
    const Hills far {
        .baseY = 470,
        .amplitude = 50,
        .wavelength = 420,
        .seed = 352,
        .top = hex(0x98a890),
        .bottom = hex(0x8a9a84),
        .depth = 100,
        .haze = air,
    };
    paintHills(c, far);
    // The town's hill, the town climbing it and the basilica's cone above the roofs.
    const Hills hill {
        .baseY = 560,
        .amplitude = 40,
        .wavelength = 360,
        .seed = 353,
        .top = hex(0x7c9060),
        .bottom = hex(0x6a7c50),
        .depth = 200,
        .haze = { air.colour, 0.12f },
        .texture = 0.16f,
        .lift = [](float x) { return 120 * std::exp(-std::pow((x - 1200) / 600, 2.0f)); },
        .scrub = 0.12f,
        .scrubColour = hex(0x4e6038),
    };
    paintHills(c, hill);
    Town town {
        .x0 = 560,
        .x1 = 1900,
        .depth = 150,
        .rows = 4,
        .houseWidth = 50,
        .houseHeight = 32,
        .gaps = 0.3f,
    };
    town.stone.colour = hex(0xece2cc);
    town.stone.course = 8;
    town.stone.block = 18;
    town.haze = { air.colour, 0.12f };
    town.seed = 354;
    town.trees = 0.08f;
    town.domes = 0.02f;
    town.lightSide = -1;
    town.ground = [&](float x) { return hill.ridgeAt(x) + 150 + 60 * std::abs(x - 1300) / 700; };
    paintTown(c, town);
    const float base = hill.ridgeAt(1380) + 110;
    const Stone church { hex(0xe0d2b8), 10, 24, 0.2f, 0.06f, 355, {} };
    fill(c, rect(1300, base - 90, 170, 90), church.shader(1.0f));
    fill(c, rect(1345, base - 140, 80, 50), church.shader(0.95f));
    fill(c, polygon({ 1345, base - 140, 1425, base - 140, 1385, base - 280 }), [=](float x, float) {
        return hex(0x8a8c90) * (0.7f + 0.5f * clamp01((1385 - x) / 40 * 0.5f + 0.5f));
    });
    fill(c, rect(1380, base - 300, 10, 24), hex(0x6a6c70));
    tower(c, 900, hill.ridgeAt(900) + 150, 36, 120, church, 1.0f, false);
    // A meadow of spring flowers, and cypresses.
    const auto meadow = [](float x) { return 840 + 30 * fbm(x / 300, 5, 356, 3); };
    ground(c, meadow, hex(0x8a9a58), hex(0x5a6e38), 0.25f, 0.25f, 356);
    apply(c, [](int x, int y, Rgb old) {
        if (y < 860)
            return old;
        const float t = float(y - 860) / 220;
        const float cell = 4 + 10 * t;
        const float n = noise(float(x) / cell, float(y) / (cell * 0.6f), 357);
        return n > 0.55f ? mix(old, hex(0xc8323a), smoothstep(0.55f, 0.7f, n)) : old;
    });
    cypress(c, 240, 900, 380, -1, 358);
    cypress(c, 320, 920, 320, -1, 359);
    cypress(c, 1780, 880, 300, -1, 360);
    oliveTree(c, 1600, 1020, 300, -1, 361);

    BrushPlan plan;
    plan.seed = 350;
    return painterly(c, plan);
}

QImage golgothaRidge()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x4a4a78) }, { 0.4f, hex(0x9a7890) }, { 0.75f, hex(0xe8a070) },
            { 1, hex(0xf6cf90) } } },
        .horizon = 620,
        .sunX = 1300,
        .sunY = 420,
        .sunColour = hex(0xffd090),
        .glowRadius = 900,
        .glowStrength = 0.45f,
        .cloudCover = 0.5f,
        .cloudTop = 80,
        .cloudBottom = 420,
        .cloudLight = hex(0xffc890),
        .cloudShade = hex(0x6a5a78),
        .seed = 371,
    };
    paintSky(c, sky);
    // Light breaking through the clouds in rays.
    apply(c, [](int x, int y, Rgb old) {
        const float a = std::atan2(float(y) - 420, float(x) - 1300);
        const float rays = std::pow(0.5f + 0.5f * std::sin(a * 14 + 0.6f), 6.0f);
        const float fade = std::exp(-std::hypot(float(x) - 1300, float(y) - 420) / 700);
        return old + hex(0xffd8a0) * (0.16f * rays * fade);
    });
    // The city wall far off on the right.
    const Haze air { hex(0xe0a888), 0.45f };
    const Hills far {
        .baseY = 640,
        .amplitude = 16,
        .wavelength = 400,
        .seed = 372,
        .top = hex(0x8a6e78),
        .bottom = hex(0x7a6270),
        .depth = 80,
    };
    paintHills(c, far);
    Stone wall;
    wall.colour = hex(0xc8a088);
    wall.course = 6;
    wall.block = 14;
    wall.haze = air;
    cityWall(c, 1100, 1940, 660, 44, wall, 8, 0.9f);
    tower(c, 1500, 668, 60, 74, wall, 0.9f, false);
    // The rocky hill with the three crosses against the light.
    const Hills ridge {
        .baseY = 700,
        .amplitude = 30,
        .wavelength = 260,
        .seed = 373,
        .top = hex(0x5e4a44),
        .bottom = hex(0x3e302e),
        .depth = 300,
        .texture = 0.2f,
        .lift = [](float x) { return 330 * std::exp(-std::pow((x - 560) / 520, 2.0f)); },
    };
    paintHills(c, ridge);
    // The crag's face with its two dark hollows.
    QPainterPath crag = blob(480, 640, 200, 0.35f, 374);
    QTransform squash;
    squash.translate(480, 640);
    squash.scale(1.3, 0.55);
    squash.translate(-480, -640);
    fill(c, squash.map(crag), rock(hex(0x6a5246), 1, 374), 0.6f);
    fill(c, squash.map(blob(400, 636, 34, 0.5f, 378)), hex(0x2a201e), 0.45f);
    fill(c, squash.map(blob(575, 646, 26, 0.5f, 379)), hex(0x2a201e), 0.45f);
    const Rgb wood = hex(0x2a1e1c);
    const auto cross = [&](float x, float height) {
        const float top = ridge.ridgeAt(x) - height;
        fill(c, rect(x - height * 0.035f, top, height * 0.07f, height + 10), wood);
        fill(c, rect(x - height * 0.3f, top + height * 0.22f, height * 0.6f, height * 0.06f), wood);
    };
    cross(560, 230);
    cross(420, 170);
    cross(700, 170);
    const auto slope = [](float x) { return 930 + 30 * fbm(x / 240, 9, 375, 3); };
    ground(c, slope, hex(0x4e4036), hex(0x2e2622), 0.3f, 0.4f, 375);
    boulder(c, 260, 1000, 260, 100, hex(0x4a3c36), hex(0x8a5c48), 1, 377);

    BrushPlan plan;
    plan.seed = 370;
    return painterly(c, plan, 0.3f);
}

QImage gardenTomb()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x5a92c8) }, { 1, hex(0xcfe0ea) } } },
        .horizon = 500,
        .sunX = 200,
        .sunY = 80,
        .cloudCover = 0.3f,
        .cloudTop = 40,
        .cloudBottom = 300,
        .seed = 391,
    };
    paintSky(c, sky);
    // The garden's back wall and its lawn, and trees behind it.
    const Stone gardenWall { hex(0xc8b494), 16, 36, 0.2f, 0.07f, 415, {} };
    fill(c, rect(0, 640, 900, H - 640), hex(0x6a7444));
    bush(c, 60, 560, 160, hex(0x4e6a38), -1, 416);
    bush(c, 330, 566, 140, hex(0x4e6a38), -1, 417);
    cityWall(c, -10, 900, 650, 90, gardenWall, 0, 0.95f);
    // Trees of the garden, on the left.
    leafyTree(c, 180, 700, 560, hex(0x4a6436), -1, 392);
    leafyTree(c, 470, 680, 460, hex(0x55703c), -1, 393);
    palm(c, 660, 690, 520, 0.05f, 394);
    // The rock face with the tomb cut into it.
    QPainterPath cliff;
    cliff.moveTo(760, H);
    for (int i = 0; i <= 60; ++i) {
        const float t = float(i) / 60;
        const float x = 760 + 1200 * t - 80 * std::sin(t * 3.1f) * (1 - t);
        const float y = (t < 0.2f ? 860 - 3400 * t * t * (1.5f - t * 2.5f) : 250 - 140 * t)
            + 40 * fbm(t * 12, 3, 395, 3);
        cliff.lineTo(x, std::min(y, float(H)));
    }
    cliff.lineTo(1940, H);
    cliff.closeSubpath();
    fill(c, cliff, rock(hex(0xb4a088), -1, 395));
    // Shrubs along the top of the rock.
    for (int i = 0; i < 8; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 900 + 1000 * hash01(n, 396);
        bush(c, x, 170 - 60 * (x - 900) / 1000 + 30, 90 + 60 * hash01(n, 397), hex(0x5a703e), -1,
            400 + n);
    }
    const Rgb dark = hex(0x231c18);
    // The doorway, its window, and the groove for the rolling stone.
    fill(c, rect(1180, 520, 200, 300), hex(0x8a7a66));
    fill(c, rect(1196, 536, 168, 284), dark);
    fill(c, rect(1460, 560, 90, 70), hex(0x8a7a66));
    fill(c, rect(1470, 570, 70, 52), dark);
    fill(c, rect(880, 820, 1060, 40), hex(0x6e6050));
    fill(c, rect(880, 816, 1060, 8), hex(0x4a4036));
    // The great round stone, rolled aside.
    fill(c, ellipse(1000, 700, 150, 150), [](float x, float y) {
        const float d = std::hypot(x - 1000, y - 700) / 150;
        const float light = clamp01(0.6f - (x - 1000) / 300 - (y - 700) / 400);
        const float rim = smoothstep(0.85f, 0.95f, d);
        return hex(0xa89478) * (0.6f + 0.5f * light) * (0.9f + 0.15f * fbm(x / 10, y / 10, 398, 3))
            * (1 - 0.25f * rim);
    });
    // The garden: a path, flowering shrubs and greenery.
    const auto garden = [](float x) { return 860 + 20 * fbm(x / 200, 1, 399, 3); };
    ground(c, garden, hex(0x8a8a5a), hex(0x5a6238), 0.25f, 0.2f, 399);
    fill(c, polygon({ 1080, 860, 1420, 860, 1700, H, 980, H }),
        paving(1250, 620, hex(0xc8b898), 410));
    flowers(c, 300, 960, 300, hex(0x4e6a34), hex(0xd0407e), 411);
    flowers(c, 640, 900, 200, hex(0x4e6a34), hex(0xf0eadc), 412);
    flowers(c, 1820, 1000, 280, hex(0x4e6a34), hex(0xd0407e), 413);
    bush(c, 820, 1000, 220, hex(0x4a6434), -1, 414);

    BrushPlan plan;
    plan.seed = 390;
    return painterly(c, plan);
}

QImage canaVillage()
{
    Canvas c(pictureWidth, pictureHeight);
    const Sky sky {
        .ramp = { { { 0, hex(0x5d92c8) }, { 0.6f, hex(0xa8c8e0) }, { 1, hex(0xf0e4c8) } } },
        .horizon = 520,
        .sunX = 300,
        .sunY = 160,
        .glowStrength = 0.3f,
        .cloudCover = 0.3f,
        .cloudTop = 50,
        .cloudBottom = 330,
        .seed = 431,
    };
    paintSky(c, sky);
    const Haze air { hex(0xdce4e6), 0.35f };
    const Hills far {
        .baseY = 540,
        .amplitude = 50,
        .wavelength = 400,
        .seed = 432,
        .top = hex(0x9aa68a),
        .bottom = hex(0x8e9a7e),
        .depth = 100,
        .haze = air,
        .terraceSpacing = 22,
        .terraceWall = hex(0xb8b49c),
    };
    paintHills(c, far);
    const auto slope = [](float x) { return 590 + 14 * fbm(x / 200, 2, 446, 3); };
    ground(c, slope, hex(0xa4a27a), hex(0x8a8660), 0.2f, 0.2f, 446);
    // The village: houses up the lane, the church's red dome among them.
    Town village {
        .x0 = 500,
        .x1 = 1500,
        .baseY = 640,
        .depth = 70,
        .rows = 3,
        .houseWidth = 70,
        .houseHeight = 46,
    };
    village.stone.colour = hex(0xe2cfae);
    village.stone.course = 10;
    village.stone.block = 22;
    village.haze = { air.colour, 0.15f };
    village.seed = 433;
    village.trees = 0.1f;
    village.domes = 0;
    paintTown(c, village);
    dome(c, 1120, 580, 56, hex(0xb4523a), -1, { air.colour, 0.1f }, 30, hex(0xe2cfae), 0.15f);
    // The houses on each side of the court.
    const Stone stone { hex(0xdcc6a0), 20, 42, 0.22f, 0.08f, 434, {} };
    House left;
    left.x = -20;
    left.baseY = 900;
    left.width = 520;
    left.height = 520;
    left.sideWidth = 80;
    left.stone = stone;
    left.frontLight = 0.8f;
    left.sideLight = 1.05f;
    left.windows = 2;
    paintHouse(c, left);
    House right;
    right.x = 1480;
    right.baseY = 900;
    right.width = 460;
    right.height = 440;
    right.sideWidth = -90;
    right.stone = stone;
    right.stone.seed = 435;
    right.frontLight = 1.05f;
    right.sideLight = 0.7f;
    right.windows = 1;
    paintHouse(c, right);
    // The court: beaten earth and flagstones.
    const auto court = [](float x) { return 880 + 4 * fbm(x / 200, 3, 436, 2); };
    ground(c, court, hex(0xc4ae88), hex(0x9a8462), 0.2f, 0.35f, 436);
    // A vine on a pergola of poles above the left of the court.
    const Rgb pole = hex(0x5a4030);
    fill(c, rect(560, 300, 12, 600), pole);
    fill(c, rect(0, 296, 700, 14), pole);
    for (int i = 0; i < 22; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 10 + 690 * hash01(n, 437);
        bush(c, x, 340 + 70 * hash01(n, 438), 50 + 40 * hash01(n, 439), hex(0x6a8a3e), -1, 440 + n);
    }
    reeds(c, 20, 680, 312, -160, hex(0x5e7a38), 447, 60);
    for (int i = 0; i < 7; ++i) {
        const auto n = std::uint32_t(i);
        const float x = 60 + 600 * hash01(n, 441);
        const float y = 350 + 50 * hash01(n, 442);
        for (int g = 0; g < 9; ++g)
            fill(c,
                ellipse(x + float(g % 3) * 9 - 9 + float(g / 3) * 2, y + float(g / 3) * 10, 6, 6),
                hex(0x4a2a4a) * (0.8f + 0.4f * hash01(std::uint32_t(g), 443 + n)));
    }
    // The six stone water jars.
    for (int i = 0; i < 6; ++i) {
        const float x = 1200 + float(i % 3) * 150 + float(i / 3) * 70;
        const float y = 960 + float(i / 3) * 80;
        waterJar(c, x, y, 190 + 20 * hash01(std::uint32_t(i), 444));
    }
    flowers(c, 140, 1040, 220, hex(0x4e6a34), hex(0xe8e0d0), 445);

    BrushPlan plan;
    plan.seed = 430;
    return painterly(c, plan);
}

} // namespace paint::scenes

#include "Architecture.h"

namespace paint {

Rgb Stone::at(float x, float y, float light) const
{
    const int row = int(std::floor(y / course));
    const float rowShift = hash01(std::uint32_t(row) * 7919U, seed) * block;
    const float u = x + rowShift;
    const int col = int(std::floor(u / block));
    const float fx = u - float(col) * block;
    const float fy = y - float(row) * course;
    const float edge = std::min({ fx, block - fx, fy * 1.4f, (course - fy) * 2.0f });
    const float joint = 1 - smoothstep(0.6f, 2.2f, edge);
    const std::uint32_t cell = std::uint32_t(row) * 92821U + std::uint32_t(col);
    const float tint = (hash01(cell, seed + 1) - 0.5f) * 2 * wear;
    const float face = fbm(x / 16.0f, y / 16.0f, seed + 2, 3) * wear;
    // The lower edge of each block catches less light.
    const float lip = 0.06f * smoothstep(0.6f, 1.0f, fy / course);
    Rgb c = colour * (1 + tint + face - lip);
    c = c * (1 - joints * joint);
    return haze.over(c * light);
}

Shader Stone::shader(float light) const
{
    const Stone stone = *this;
    return [stone, light](float x, float y) { return stone.at(x, y, light); };
}

void paintHouse(Canvas &canvas, const House &house)
{
    const Stone &stone = house.stone;
    const float x = house.x;
    const float top = house.baseY - house.height;
    const float roofDepth = std::abs(house.sideWidth) * 0.35f;
    // Side face: a parallelogram receding upwards.
    if (house.sideWidth != 0) {
        const float sx = house.sideWidth > 0 ? x + house.width : x;
        const float ex = sx + house.sideWidth;
        fill(canvas, polygon({ sx, house.baseY, sx, top, ex, top - roofDepth, ex, house.baseY }),
            stone.shader(house.sideLight));
        // The roof seen from a little above.
        fill(canvas,
            polygon({ x, top, x + house.width, top,
                (house.sideWidth > 0 ? x + house.width : x + house.width) + house.sideWidth,
                top - roofDepth, x + house.sideWidth, top - roofDepth }),
            stone.haze.over(stone.colour * 0.78f));
    }
    fill(canvas, rect(x, top, house.width, house.height), stone.shader(house.frontLight));
    if (house.parapet)
        fill(canvas, rect(x - 1, top - 3, house.width + 2, 5),
            stone.haze.over(stone.colour * house.frontLight * 1.08f));
    const Rgb opening = stone.haze.over(Rgb { 0.16f, 0.13f, 0.11f });
    const float unit = std::min(house.width, house.height);
    if (house.windows > 0) {
        const float ww = unit * 0.13f;
        const float wh = unit * 0.2f;
        const float gap = house.width / float(house.windows + 1);
        for (int i = 1; i <= house.windows; ++i) {
            const float wx = x + gap * float(i) - ww / 2;
            const float wy = top + house.height * 0.22f;
            fill(canvas,
                house.arched ? arch(wx, wy + ww / 2, ww, wh - ww / 2) : rect(wx, wy, ww, wh),
                opening);
        }
    }
    if (house.door) {
        const float dw = unit * 0.22f;
        const float dh = house.height * 0.38f;
        const float dx = x + house.width * (0.3f + 0.4f * hash01(7, stone.seed)) - dw / 2;
        fill(canvas,
            house.arched ? arch(dx, house.baseY - dh + dw / 2, dw, dh - dw / 2)
                         : rect(dx, house.baseY - dh, dw, dh),
            opening);
    }
}

void dome(Canvas &canvas, float cx, float baseY, float radius, Rgb colour, float lightSide,
    const Haze &haze, float drumHeight, Rgb drumColour, float shine)
{
    if (drumHeight > 0) {
        const float dw = radius * 1.02f;
        fill(canvas, rect(cx - dw, baseY - drumHeight, dw * 2, drumHeight), [=](float x, float y) {
            const float nx = (x - cx) / dw;
            const float light = clamp01(0.55f + 0.45f * nx * lightSide);
            const float windows
                = (std::fmod(std::abs(x - cx) + dw * 0.1f, dw * 0.28f) < dw * 0.09f
                      && y > baseY - drumHeight * 0.75f && y < baseY - drumHeight * 0.25f)
                ? 0.45f
                : 1.0f;
            return haze.over(drumColour * (0.55f + 0.55f * light) * windows);
        });
    }
    const float base = baseY - drumHeight;
    QPainterPath shape;
    shape.moveTo(cx - radius, base);
    shape.cubicTo(cx - radius, base - radius * 0.75f, cx - radius * 0.45f, base - radius * 1.08f,
        cx, base - radius * 1.1f);
    shape.cubicTo(cx + radius * 0.45f, base - radius * 1.08f, cx + radius, base - radius * 0.75f,
        cx + radius, base);
    shape.closeSubpath();
    fill(canvas, shape, [=](float x, float y) {
        const float nx = (x - cx) / radius;
        const float ny = (base - y) / (radius * 1.1f);
        const float light = clamp01(0.45f + 0.5f * nx * lightSide + 0.25f * ny);
        Rgb c = mix(colour * 0.42f, colour * 1.15f, light);
        const float hx = x - (cx + lightSide * radius * 0.38f);
        const float hy = y - (base - radius * 0.62f);
        const float spot = std::exp(-(hx * hx + hy * hy) / (radius * radius * 0.06f));
        c = c + Rgb { 1, 0.95f, 0.85f } * (shine * spot);
        return haze.over(c);
    });
    // A slender finial.
    fill(canvas, rect(cx - radius * 0.025f, base - radius * 1.32f, radius * 0.05f, radius * 0.25f),
        haze.over(colour * 0.8f));
    fill(canvas, ellipse(cx, base - radius * 1.14f, radius * 0.06f, radius * 0.05f),
        haze.over(colour * 0.9f));
}

void cityWall(Canvas &canvas, float x0, float x1, float baseY, float height, const Stone &stone,
    float merlon, float light)
{
    const float top = baseY - height;
    QPainterPath wall = rect(x0, top, x1 - x0, height);
    for (float x = x0 + merlon * 0.4f; merlon > 0 && x < x1 - merlon * 0.5f; x += merlon * 1.8f)
        wall.addRect(QRectF(x, top - merlon * 0.9f, merlon, merlon * 0.9f + 1));
    fill(canvas, wall.simplified(), [=](float x, float y) {
        // Darker towards the foot, where the ground shades it.
        const float foot = 1 - 0.16f * smoothstep(top + height * 0.4f, baseY, y);
        return stone.at(x, y, light * foot);
    });
    // A string course under the merlons.
    fill(canvas, rect(x0, top - 1, x1 - x0, std::max(3.0f, merlon * 0.18f)),
        stone.haze.over(stone.colour * light * 1.1f));
}

void tower(Canvas &canvas, float cx, float baseY, float width, float height, const Stone &stone,
    float light, bool domed, float lightSide)
{
    const float x = cx - width / 2;
    fill(canvas, rect(x, baseY - height, width, height), [=](float px, float py) {
        const float side = clamp01(0.5f + (px - cx) / width * lightSide);
        return stone.at(px, py, light * (0.8f + 0.3f * side));
    });
    const Rgb opening = stone.haze.over(Rgb { 0.15f, 0.12f, 0.1f });
    for (int i = 0; i < 3; ++i) {
        const float wy = baseY - height * (0.3f + 0.22f * float(i));
        fill(canvas, arch(cx - width * 0.07f, wy, width * 0.14f, width * 0.22f), opening);
    }
    if (domed) {
        dome(canvas, cx, baseY - height, width * 0.42f, stone.colour * 0.9f, lightSide, stone.haze);
    } else {
        const float m = width / 5;
        for (int i = 0; i < 3; ++i)
            fill(canvas, rect(x + m * 2 * float(i), baseY - height - m, m, m + 1),
                stone.shader(light));
    }
}

void column(Canvas &canvas, float cx, float baseY, float radius, float height, Rgb colour,
    float lightSide, const Haze &haze)
{
    const auto cylinder = [=](float r) {
        return [=](float x, float y) {
            const float nx = std::clamp((x - cx) / r, -1.0f, 1.0f);
            const float light
                = clamp01(0.5f + 0.6f * nx * lightSide + 0.2f * std::sqrt(1 - nx * nx));
            const float worn = fbm(x / 10.0f, y / 30.0f, 17, 3) * 0.08f;
            return haze.over(colour * (0.45f + 0.7f * light + worn));
        };
    };
    fill(canvas, rect(cx - radius, baseY - height, radius * 2, height), cylinder(radius));
    // Fluting shadows.
    fill(canvas, rect(cx - radius * 1.35f, baseY - radius * 0.6f, radius * 2.7f, radius * 0.6f),
        cylinder(radius * 1.35f));
    fill(canvas, rect(cx - radius * 1.6f, baseY - radius * 0.25f, radius * 3.2f, radius * 0.25f),
        cylinder(radius * 1.6f));
    const float capital = baseY - height;
    fill(canvas,
        polygon({ cx - radius * 1.05f, capital, cx + radius * 1.05f, capital, cx + radius * 1.5f,
            capital - radius * 0.55f, cx - radius * 1.5f, capital - radius * 0.55f }),
        cylinder(radius * 1.5f));
    fill(canvas, rect(cx - radius * 1.7f, capital - radius * 0.85f, radius * 3.4f, radius * 0.32f),
        cylinder(radius * 1.7f));
}

void paintTown(Canvas &canvas, const Town &town)
{
    const float centre = (town.x0 + town.x1) / 2;
    for (int row = town.rows - 1; row >= 0; --row) {
        const float back = float(row) / float(std::max(1, town.rows - 1));
        const float scale = 1 - 0.35f * back;
        Haze haze = town.haze;
        haze.amount = std::min(0.9f, town.haze.amount + 0.25f * back);
        float x = town.x0 - town.houseWidth * hash01(std::uint32_t(row), town.seed);
        std::uint32_t n = std::uint32_t(row) * 1000U;
        while (x < town.x1) {
            ++n;
            const float w = town.houseWidth * scale * (0.6f + 0.8f * hash01(n, town.seed + 1));
            const float h = town.houseHeight * scale * (0.6f + 0.8f * hash01(n, town.seed + 2));
            const float ground = town.ground ? town.ground(x + w / 2) : town.baseY;
            const float baseY = ground - town.depth * back + 6 * hash01(n, town.seed + 3);
            if (hash01(n, town.seed + 10) < town.gaps) {
                bush(canvas, x + w / 2, baseY, w * 0.8f, Rgb { 0.36f, 0.44f, 0.26f },
                    town.lightSide, n, haze);
                x += w * 0.9f;
                continue;
            }
            if (hash01(n, town.seed + 4) < town.trees) {
                cypress(canvas, x + w / 2, baseY, h * 2.2f, town.lightSide, n, haze);
                x += w * 0.5f;
                continue;
            }
            House house;
            house.x = x;
            house.baseY = baseY;
            house.width = w;
            house.height = h;
            house.sideWidth = (x + w / 2 < centre ? 1.0f : -1.0f) * w * 0.22f;
            house.stone = town.stone;
            house.stone.seed = n;
            house.stone.course = town.stone.course * scale;
            house.stone.block = town.stone.block * scale;
            house.stone.haze = haze;
            const bool facesLight = (house.sideWidth < 0) == (town.lightSide < 0);
            house.frontLight = 0.95f + 0.1f * hash01(n, town.seed + 5);
            house.sideLight = facesLight ? 1.05f : 0.62f;
            house.windows = int(1 + 3 * hash01(n, town.seed + 6));
            house.door = row == 0 || hash01(n, town.seed + 7) < 0.3f;
            paintHouse(canvas, house);
            if (hash01(n, town.seed + 8) < town.domes)
                dome(canvas, x + w / 2, baseY - h, w * 0.3f, town.stone.colour * 0.95f,
                    town.lightSide, haze);
            x += w * (0.75f + 0.3f * hash01(n, town.seed + 9));
        }
    }
}

} // namespace paint

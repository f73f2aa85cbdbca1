#pragma once

// Sky, hills, water and plants: the parts of an open landscape.

#include "PaintKit.h"

namespace paint {

// Distant things fade into the air's colour.
struct Haze
{
    Rgb colour;
    float amount = 0;
    [[nodiscard]] Rgb over(Rgb c) const { return mix(c, colour, amount); }
};

struct Sky
{
    Ramp ramp; // from the top (0) to the horizon (1)
    float horizon = 600;
    float sunX = 0;
    float sunY = 0;
    float sunDisc = 0; // radius of the bright disc; 0 draws none
    Rgb sunColour { 1, 0.92f, 0.75f };
    float glowRadius = 600;
    float glowStrength = 0.35f;
    float cloudCover = 0.4f; // 0 clear, 1 overcast
    float cloudTop = 60;
    float cloudBottom = 420;
    float cloudScale = 1; // larger: broader clouds
    Rgb cloudLight { 1, 0.97f, 0.92f };
    Rgb cloudShade { 0.72f, 0.74f, 0.82f };
    std::uint32_t seed = 1;
};
void paintSky(Canvas &canvas, const Sky &sky);

// A range of hills under a ridge line.
struct Hills
{
    float baseY = 600;
    float amplitude = 80;
    float wavelength = 700;
    int octaves = 4;
    std::uint32_t seed = 1;
    Rgb top; // colour at the ridge
    Rgb bottom; // colour depth pixels below it
    float depth = 300;
    Haze haze;
    float texture = 0.1f; // strength of the vegetation and rock patches
    float textureScale = 50;
    // Terraces: stone walls following the slope, every spacing pixels (0: none).
    float terraceSpacing = 0;
    Rgb terraceWall { 0.78f, 0.72f, 0.6f };
    // Raises the ridge by this many pixels at x (shapes a single hill or a slope); optional.
    std::function<float(float x)> lift;
    // Dark scrub dotted over the slope (0: none).
    float scrub = 0;
    Rgb scrubColour { 0.3f, 0.34f, 0.22f };

    [[nodiscard]] float ridgeAt(float x) const;
};
void paintHills(Canvas &canvas, const Hills &hills);

// Still water from the horizon down, mirroring what stands above it.
struct Water
{
    float horizon = 600;
    // Optional: the water's outline and the line its reflections fold about (a river's far
    // bank). Without them the water fills everything below the horizon.
    QPainterPath region;
    std::function<float(float x)> mirror;
    Rgb tint { 0.2f, 0.4f, 0.5f };
    float tintNear = 0.55f; // how much the tint covers the reflection in the foreground
    float ripple = 6; // sideways displacement of the reflection
    float sunX = -1; // glitter column; negative: none
    Rgb glitter { 1, 0.95f, 0.8f };
    std::uint32_t seed = 1;
};
void paintWater(Canvas &canvas, const Water &water);

void oliveTree(Canvas &canvas, float x, float groundY, float size, float lightSide,
    std::uint32_t seed, const Haze &haze = {});
void cypress(Canvas &canvas, float x, float groundY, float height, float lightSide,
    std::uint32_t seed, const Haze &haze = {});
void palm(Canvas &canvas, float x, float groundY, float height, float lean, std::uint32_t seed,
    const Haze &haze = {});
// A rounded shrub or leafy tree crown of the colour.
void bush(Canvas &canvas, float x, float groundY, float size, Rgb colour, float lightSide,
    std::uint32_t seed, const Haze &haze = {});
// A broad-leaved tree (sycamore, tamarisk, eucalyptus): a slender trunk and a tall crown.
void leafyTree(Canvas &canvas, float x, float groundY, float height, Rgb colour, float lightSide,
    std::uint32_t seed, const Haze &haze = {});
// A belt of shrubs and trees along a line, their crowns overlapping, from x0 to x1.
void thicket(Canvas &canvas, float x0, float x1, const std::function<float(float x)> &line,
    float height, Rgb colour, float lightSide, std::uint32_t seed, const Haze &haze = {});
// Reeds and grasses standing on the ground line.
void reeds(Canvas &canvas, float x0, float x1, float groundY, float height, Rgb colour,
    std::uint32_t seed, int count);
// A flowering plant: a bush with scattered blossoms.
void flowers(
    Canvas &canvas, float x, float groundY, float size, Rgb leaf, Rgb blossom, std::uint32_t seed);

} // namespace paint

#pragma once

// The scenes of the places and the motifs they share.

#include "Architecture.h"
#include "Pictures.h"

namespace paint::scenes {

constexpr float W = pictureWidth;
constexpr float H = pictureHeight;

// A wooden fishing boat afloat (its reflection below it) or drawn up on the shore.
void fishingBoat(Canvas &canvas, float cx, float waterY, float length, float lightSide,
    bool afloat = true, bool sail = true);
// A rounded rock, basalt or limestone, lit along its upper rim.
void boulder(Canvas &canvas, float cx, float baseY, float width, float height, Rgb colour, Rgb rim,
    float lightSide, std::uint32_t seed);
// Ground from the line down: earth, grass or pebbles, lighter far away.
void ground(Canvas &canvas, const std::function<float(float x)> &line, Rgb far, Rgb near,
    float texture, float grain, std::uint32_t seed);
// Flagstones of a square in perspective from standing height; horizonY is the eye level.
[[nodiscard]] Shader paving(float vanishingX, float horizonY, Rgb colour, std::uint32_t seed);

// The places.
[[nodiscard]] QImage seaOfGalilee();
[[nodiscard]] QImage jordanRiver();
[[nodiscard]] QImage capernaumShore();
[[nodiscard]] QImage bethsaidaShore();
[[nodiscard]] QImage jerusalemOldCity();
[[nodiscard]] QImage westernWallPlaza();
[[nodiscard]] QImage templeMountDawn();
[[nodiscard]] QImage holySepulchreCourt();
[[nodiscard]] QImage viaDolorosa();
[[nodiscard]] QImage poolOfBethesda();
[[nodiscard]] QImage upperRoomQuiet();
[[nodiscard]] QImage mountOfOlives();
[[nodiscard]] QImage bethlehemHills();
[[nodiscard]] QImage nazarethHills();
[[nodiscard]] QImage golgothaRidge();
[[nodiscard]] QImage gardenTomb();
[[nodiscard]] QImage canaVillage();

} // namespace paint::scenes

#pragma once

// Stone, walls, houses, domes, arches and columns.

#include "Landscape.h"

namespace paint {

// Dressed limestone in courses of blocks, with worn faces and darker joints.
struct Stone
{
    Rgb colour { 0.86f, 0.76f, 0.6f };
    float course = 22; // block height
    float block = 48; // mean block length
    float joints = 0.22f; // how dark the joints are
    float wear = 0.08f; // face variation
    std::uint32_t seed = 1;
    Haze haze;

    [[nodiscard]] Rgb at(float x, float y, float light = 1) const;
    [[nodiscard]] Shader shader(float light = 1) const;
};

// A flat-roofed house seen from the front with one side in view (sideWidth > 0 shows the
// right side, < 0 the left), small dark windows and a door.
struct House
{
    float x = 0; // left of the front
    float baseY = 0;
    float width = 100;
    float height = 80;
    float sideWidth = 30;
    Stone stone;
    float frontLight = 1.0f;
    float sideLight = 0.7f;
    int windows = 2;
    bool door = true;
    bool arched = true; // arched openings
    bool parapet = true;
};
void paintHouse(Canvas &canvas, const House &house);

// A dome on a drum, lit from one side. colour may be stone, lead grey or gold.
void dome(Canvas &canvas, float cx, float baseY, float radius, Rgb colour, float lightSide,
    const Haze &haze = {}, float drumHeight = 0, Rgb drumColour = {}, float shine = 0.25f);
// A city wall with square merlons along its top.
void cityWall(Canvas &canvas, float x0, float x1, float baseY, float height, const Stone &stone,
    float merlon = 18, float light = 1);
// A square tower; crenellated top, or a small dome when domed.
void tower(Canvas &canvas, float cx, float baseY, float width, float height, const Stone &stone,
    float light, bool domed, float lightSide = -1);
// A round column with base and capital, lit from one side.
void column(Canvas &canvas, float cx, float baseY, float radius, float height, Rgb colour,
    float lightSide, const Haze &haze = {});
// A row of houses climbing and falling along a band: the body of a town.
struct Town
{
    float x0 = 0;
    float x1 = 1920;
    float baseY = 700; // ground line of the front row
    float depth = 120; // how far back the rows climb
    int rows = 4;
    float houseWidth = 70;
    float houseHeight = 50;
    Stone stone;
    float lightSide = -1;
    Haze haze;
    std::uint32_t seed = 1;
    float domes = 0.04f; // share of houses crowned by a small dome
    float trees = 0.05f; // share of gaps filled by a cypress
    float gaps = 0; // share of plots left open (a garden, a bush)
    // Optional ground line; the houses stand on it instead of on baseY.
    std::function<float(float x)> ground;
};
void paintTown(Canvas &canvas, const Town &town);

} // namespace paint

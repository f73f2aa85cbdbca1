#pragma once

#include "PaintKit.h"

namespace paint {

// How the picture is repainted in strokes: broad strokes everywhere first, then finer ones only
// where the broad ones miss the forms by more than the threshold.
struct BrushPlan
{
    std::vector<float> radii { 16, 9, 5, 3 };
    float threshold = 0.055f; // colour distance that calls for a finer stroke
    float opacity = 0.72f;
    float lengthFactor = 4.0f; // longest stroke, in brush radii
    float valueJitter = 0.025f; // per-stroke lightness variation
    std::uint32_t seed = 1;
};

// The reference repainted with strokes that follow its forms (across its lightness gradients),
// lying flat where the picture is even.
[[nodiscard]] Canvas brushwork(const Canvas &reference, const BrushPlan &plan);

// Canvas grain and a soft vignette over the finished picture.
void finish(Canvas &canvas, float vignette, float grain, std::uint32_t seed);

} // namespace paint

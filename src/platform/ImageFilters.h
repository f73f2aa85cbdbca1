#pragma once

#include <opencv2/core/mat.hpp>

namespace orvella::filters {

// Colour controls at saturation 1: (value − ½) × contrast + ½ + brightness, on 8-bit BGR.
void colourControls(cv::Mat &bgr, double brightness, double contrast);

// Noise amount below which no noise filter runs.
inline constexpr double noiseFilterThreshold = 0.01;
// The filter strength for the studio's noise slider (0 … 1).
[[nodiscard]] inline double noiseLevelFor(double noiseReduction)
{
    return noiseReduction * 0.04;
}
inline constexpr double noiseSharpness = 0.4;

// Light edge-preserving noise filter: differences from a small blur within noiseLevel (a
// fraction of full scale) are smoothed away; larger ones (edges) are kept and sharpened.
void reduceNoise(cv::Mat &bgr, double noiseLevel, double sharpness);

// Gaussian blur of the given radius (standard deviation) with replicated edges.
[[nodiscard]] cv::Mat gaussianBlurReplicate(const cv::Mat &bgr, double radius);

// Scales the picture to cover the size and cuts the overflow equally on both sides.
[[nodiscard]] cv::Mat aspectFill(const cv::Mat &picture, cv::Size size);

// The stretch factors and offset aspectFill uses, for a picture placed into a size.
struct FillPlacement
{
    double scale = 1;
    double offsetX = 0; // where the scaled picture's left edge lies in the target
    double offsetY = 0;
};
[[nodiscard]] FillPlacement aspectFillPlacement(cv::Size picture, cv::Size target);

// Stretches a mask to the size in each direction independently, then maps probabilities through
// the soft threshold (0.35 → 0, 0.65 → 1) that removes specks. Result: CV_32F in [0, 1].
[[nodiscard]] cv::Mat fitMask(const cv::Mat &mask, cv::Size size);

// person × mask + background × (1 − mask), all of one size; mask CV_32F.
[[nodiscard]] cv::Mat blendWithMask(
    const cv::Mat &person, const cv::Mat &background, const cv::Mat &mask);

} // namespace orvella::filters

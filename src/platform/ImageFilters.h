#pragma once

#include <opencv2/core/mat.hpp>

namespace orvella::filters {

// Filters that produce a picture write into `out`, reusing its memory when it already has the
// size and type: at 30 frames per second, fresh 720p buffers cost more in page faults than the
// filtering itself.

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
void gaussianBlurReplicate(const cv::Mat &bgr, double radius, cv::Mat &out);

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

// Maps person probabilities through the soft threshold (0.35 → 0, 0.65 → 1) that removes specks
// and stretches the mask to the size in each direction independently. Result: CV_8U weights,
// 255 for the person.
void fitMask(const cv::Mat &mask, cv::Size size, cv::Mat &out);

// person × mask + background × (1 − mask), all of one size; 8-bit BGR and the CV_8U mask.
void blendWithMask(
    const cv::Mat &person, const cv::Mat &background, const cv::Mat &mask, cv::Mat &out);

} // namespace orvella::filters

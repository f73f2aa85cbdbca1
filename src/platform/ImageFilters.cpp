#include "platform/ImageFilters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/imgproc.hpp>

namespace orvella::filters {

void colourControls(cv::Mat &bgr, double brightness, double contrast)
{
    if (brightness == 0.0 && contrast == 1.0)
        return;
    const double offset = 255.0 * (0.5 - 0.5 * contrast + brightness);
    bgr.convertTo(bgr, -1, contrast, offset);
}

void reduceNoise(cv::Mat &bgr, double noiseLevel, double sharpness)
{
    cv::Mat smooth;
    cv::GaussianBlur(bgr, smooth, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
    cv::Mat difference;
    cv::absdiff(bgr, smooth, difference);
    const double threshold = std::max(1.0, noiseLevel * 255.0);
    // Per pixel: the largest channel difference decides whether this is noise or an edge.
    cv::Mat largest = difference.reshape(1, static_cast<int>(difference.total()));
    cv::reduce(largest, largest, 1, cv::REDUCE_MAX);
    largest = largest.reshape(1, bgr.rows);
    cv::Mat edges = largest > threshold;
    // Edges are sharpened by the difference from the blur; the rest becomes the blur.
    cv::Mat sharpened;
    cv::addWeighted(bgr, 1.0 + sharpness, smooth, -sharpness, 0.0, sharpened);
    smooth.copyTo(bgr);
    sharpened.copyTo(bgr, edges);
}

cv::Mat gaussianBlurReplicate(const cv::Mat &bgr, double radius)
{
    if (radius <= 0)
        return bgr.clone();
    // Blurring a quarter-size picture and scaling it back is indistinguishable at these radii
    // and keeps the heavy blur within the frame budget.
    const double factor = radius >= 8 ? 4.0 : 1.0;
    cv::Mat small;
    if (factor > 1.0)
        cv::resize(bgr, small, cv::Size(), 1.0 / factor, 1.0 / factor, cv::INTER_AREA);
    else
        small = bgr;
    cv::Mat blurred;
    cv::GaussianBlur(
        small, blurred, cv::Size(0, 0), radius / factor, radius / factor, cv::BORDER_REPLICATE);
    if (factor > 1.0) {
        cv::Mat full;
        cv::resize(blurred, full, bgr.size(), 0, 0, cv::INTER_LINEAR);
        return full;
    }
    return blurred;
}

FillPlacement aspectFillPlacement(cv::Size picture, cv::Size target)
{
    FillPlacement placement;
    if (picture.width <= 0 || picture.height <= 0)
        return placement;
    placement.scale = std::max(static_cast<double>(target.width) / picture.width,
        static_cast<double>(target.height) / picture.height);
    placement.offsetX = (target.width - picture.width * placement.scale) / 2.0;
    placement.offsetY = (target.height - picture.height * placement.scale) / 2.0;
    return placement;
}

cv::Mat aspectFill(const cv::Mat &picture, cv::Size size)
{
    if (picture.empty() || size.width <= 0 || size.height <= 0)
        return {};
    const FillPlacement placement = aspectFillPlacement(picture.size(), size);
    // Cut the source first so only the visible part is scaled.
    const double visibleWidth = size.width / placement.scale;
    const double visibleHeight = size.height / placement.scale;
    const double left = -placement.offsetX / placement.scale;
    const double top = -placement.offsetY / placement.scale;
    cv::Rect source(static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
        static_cast<int>(std::lround(visibleWidth)), static_cast<int>(std::lround(visibleHeight)));
    source &= cv::Rect(0, 0, picture.cols, picture.rows);
    cv::Mat result;
    cv::resize(picture(source), result, size, 0, 0, cv::INTER_LINEAR);
    return result;
}

cv::Mat fitMask(const cv::Mat &mask, cv::Size size)
{
    cv::Mat soft;
    mask.convertTo(soft, CV_32F);
    // 0.35 → 0 and 0.65 → 1, clamped.
    soft = (soft - 0.35) * (1.0 / 0.3);
    cv::threshold(soft, soft, 1.0, 1.0, cv::THRESH_TRUNC);
    cv::threshold(soft, soft, 0.0, 0.0, cv::THRESH_TOZERO);
    if (soft.size() == size)
        return soft;
    cv::Mat stretched;
    cv::resize(soft, stretched, size, 0, 0, cv::INTER_LINEAR);
    return stretched;
}

cv::Mat blendWithMask(const cv::Mat &person, const cv::Mat &background, const cv::Mat &mask)
{
    cv::Mat inverse = 1.0 - mask;
    cv::Mat result;
    cv::blendLinear(person, background, mask, inverse, result);
    return result;
}

} // namespace orvella::filters

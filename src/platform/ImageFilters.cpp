#include "platform/ImageFilters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>

namespace orvella::filters {

void colourControls(cv::Mat &bgr, double brightness, double contrast)
{
    if (brightness == 0.0 && contrast == 1.0)
        return;
    // A pure function of each value: one table, one pass.
    const double offset = 255.0 * (0.5 - 0.5 * contrast + brightness);
    cv::Mat table(1, 256, CV_8U);
    for (int v = 0; v < 256; ++v)
        table.at<uchar>(v) = cv::saturate_cast<uchar>(v * contrast + offset);
    cv::LUT(bgr, table, bgr);
}

void reduceNoise(cv::Mat &bgr, double noiseLevel, double sharpness)
{
    // Scratch pictures kept per thread between frames.
    thread_local cv::Mat smooth;
    thread_local cv::Mat difference;
    thread_local cv::Mat edges;
    thread_local cv::Mat sharpened;
    cv::GaussianBlur(bgr, smooth, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
    // Differences from the blur within the noise level are grain and become the blur; larger
    // ones are edges, kept and sharpened by their difference. Decided per channel, in whole-image
    // vector operations (a per-pixel loop is several times slower on camera grain).
    cv::absdiff(bgr, smooth, difference);
    cv::compare(difference, cv::Scalar::all(std::max(1.0, noiseLevel * 255.0)), edges, cv::CMP_GT);
    cv::addWeighted(bgr, 1.0 + sharpness, smooth, -sharpness, 0.0, sharpened);
    smooth.copyTo(bgr);
    sharpened.copyTo(bgr, edges);
}

void gaussianBlurReplicate(const cv::Mat &bgr, double radius, cv::Mat &out)
{
    if (radius <= 0) {
        bgr.copyTo(out);
        return;
    }
    // Blurring a small picture and scaling it back is indistinguishable at these radii and keeps
    // the heavy blur within the frame budget.
    const double factor = radius >= 24 ? 8.0 : (radius >= 8 ? 4.0 : 1.0);
    thread_local cv::Mat small;
    thread_local cv::Mat blurred;
    if (factor > 1.0) {
        // Plain sampling is enough: the blur that follows removes what it misses.
        cv::resize(bgr, small, cv::Size(), 1.0 / factor, 1.0 / factor, cv::INTER_LINEAR);
        cv::GaussianBlur(
            small, blurred, cv::Size(0, 0), radius / factor, radius / factor, cv::BORDER_REPLICATE);
        cv::resize(blurred, out, bgr.size(), 0, 0, cv::INTER_LINEAR);
    } else {
        cv::GaussianBlur(bgr, out, cv::Size(0, 0), radius, radius, cv::BORDER_REPLICATE);
    }
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

void fitMask(const cv::Mat &mask, cv::Size size, cv::Mat &out)
{
    // 0.35 → 0 and 0.65 → 1, clamped, as 8-bit weights; stretched at 8 bits, which is cheap.
    thread_local cv::Mat weights;
    mask.convertTo(weights, CV_8U, 255.0 / 0.3, -0.35 * 255.0 / 0.3);
    if (weights.size() == size)
        weights.copyTo(out);
    else
        cv::resize(weights, out, size, 0, 0, cv::INTER_LINEAR);
}

void blendWithMask(
    const cv::Mat &person, const cv::Mat &background, const cv::Mat &mask, cv::Mat &out)
{
    CV_Assert(person.type() == CV_8UC3 && background.type() == CV_8UC3 && mask.type() == CV_8U);
    CV_Assert(person.size() == background.size() && person.size() == mask.size());
    CV_Assert(out.data != person.data && out.data != background.data);
    // person × w / 255 + background × (255 − w) / 255, in whole-image vector operations.
    thread_local cv::Mat weights;
    thread_local cv::Mat inverse;
    thread_local cv::Mat front;
    thread_local cv::Mat back;
    cv::Mat planes[] = { mask, mask, mask };
    cv::merge(planes, 3, weights);
    cv::subtract(cv::Scalar::all(255), weights, inverse);
    cv::multiply(person, weights, front, 1.0 / 255.0);
    cv::multiply(background, inverse, back, 1.0 / 255.0);
    cv::add(front, back, out);
}

} // namespace orvella::filters

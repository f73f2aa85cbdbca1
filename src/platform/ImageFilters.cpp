#include "platform/ImageFilters.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core/hal/intrin.hpp>
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
    CV_Assert(bgr.type() == CV_8UC3);
    // Kept between frames: fresh 720p buffers cost page faults. Named through a plain reference
    // so the worker threads below see this thread's buffer, not their own.
    thread_local cv::Mat smoothBuffer;
    cv::Mat &smooth = smoothBuffer;
    cv::GaussianBlur(bgr, smooth, cv::Size(3, 3), 0, 0, cv::BORDER_REPLICATE);
    // Per channel value: a difference from the blur within the noise level is grain and becomes
    // the blur; a larger one is an edge, kept and sharpened by its difference. One vector pass.
    const short threshold = static_cast<short>(std::max(1L, std::lround(noiseLevel * 255.0)));
    const short gain = static_cast<short>(std::lround(sharpness * 256.0));
    const int width = bgr.cols * 3;
    cv::parallel_for_(cv::Range(0, bgr.rows), [&](const cv::Range &rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            uchar *values = bgr.ptr<uchar>(y);
            const uchar *blurred = smooth.ptr<uchar>(y);
            int x = 0;
#if CV_SIMD
            const cv::v_int16 vThreshold = cv::vx_setall_s16(threshold);
            const cv::v_int16 vGain = cv::vx_setall_s16(gain);
            for (; x <= width - cv::v_uint8::nlanes; x += cv::v_uint8::nlanes) {
                cv::v_uint16 value0;
                cv::v_uint16 value1;
                cv::v_uint16 blur0;
                cv::v_uint16 blur1;
                cv::v_expand(cv::vx_load(values + x), value0, value1);
                cv::v_expand(cv::vx_load(blurred + x), blur0, blur1);
                auto pick = [&](const cv::v_uint16 &value, const cv::v_uint16 &blur) {
                    const cv::v_int16 v = cv::v_reinterpret_as_s16(value);
                    const cv::v_int16 b = cv::v_reinterpret_as_s16(blur);
                    const cv::v_int16 difference = v - b;
                    const cv::v_int16 magnitude = cv::v_reinterpret_as_s16(cv::v_absdiff(v, b));
                    const cv::v_int16 sharpened = v + ((difference * vGain) >> 8);
                    return cv::v_select(magnitude > vThreshold, sharpened, b);
                };
                cv::v_store(values + x, cv::v_pack_u(pick(value0, blur0), pick(value1, blur1)));
            }
#endif
            for (; x < width; ++x) {
                const int difference = values[x] - blurred[x];
                const int magnitude = difference < 0 ? -difference : difference;
                const int chosen
                    = magnitude > threshold ? values[x] + ((difference * gain) >> 8) : blurred[x];
                values[x] = cv::saturate_cast<uchar>(chosen);
            }
        }
    });
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
    out.create(person.size(), CV_8UC3);
    // One weight per channel value, then person × w + background × (255 − w), divided by 255
    // and rounded, in one vector pass.
    thread_local cv::Mat weightBuffer;
    cv::Mat &weights = weightBuffer; // this thread's buffer, also for the worker threads
    const cv::Mat planes[] = { mask, mask, mask };
    cv::merge(planes, 3, weights);
    const int width = person.cols * 3;
    cv::parallel_for_(cv::Range(0, person.rows), [&](const cv::Range &rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            const uchar *front = person.ptr<uchar>(y);
            const uchar *back = background.ptr<uchar>(y);
            const uchar *weight = weights.ptr<uchar>(y);
            uchar *result = out.ptr<uchar>(y);
            int x = 0;
#if CV_SIMD
            const cv::v_uint16 full = cv::vx_setall_u16(255);
            const cv::v_uint16 half = cv::vx_setall_u16(128);
            for (; x <= width - cv::v_uint8::nlanes; x += cv::v_uint8::nlanes) {
                cv::v_uint16 front0;
                cv::v_uint16 front1;
                cv::v_uint16 back0;
                cv::v_uint16 back1;
                cv::v_uint16 weight0;
                cv::v_uint16 weight1;
                cv::v_expand(cv::vx_load(front + x), front0, front1);
                cv::v_expand(cv::vx_load(back + x), back0, back1);
                cv::v_expand(cv::vx_load(weight + x), weight0, weight1);
                auto mix
                    = [&](const cv::v_uint16 &f, const cv::v_uint16 &b, const cv::v_uint16 &w) {
                          // At most 255 × 255 + 128: no overflow in 16 bits.
                          const cv::v_uint16 sum
                              = cv::v_mul_wrap(f, w) + cv::v_mul_wrap(b, full - w) + half;
                          return (sum + (sum >> 8)) >> 8;
                      };
                cv::v_store(result + x,
                    cv::v_pack(mix(front0, back0, weight0), mix(front1, back1, weight1)));
            }
#endif
            for (; x < width; ++x) {
                const int sum = front[x] * weight[x] + back[x] * (255 - weight[x]) + 128;
                result[x] = static_cast<uchar>((sum + (sum >> 8)) >> 8);
            }
        }
    });
}

} // namespace orvella::filters

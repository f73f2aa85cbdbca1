#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <opencv2/core/mat.hpp>
#include <optional>

namespace orvella {

// Finds the person in a picture. The mask is CV_32F in [0, 1] (1 is the person), of whatever
// size the segmenter works at; the caller stretches it to the frame.
class PersonSegmenter
{
public:
    virtual ~PersonSegmenter() = default;
    // bgr is an 8-bit, 3-channel picture. No mask when segmentation is unavailable or failed.
    [[nodiscard]] virtual std::optional<cv::Mat> segment(const cv::Mat &bgr) = 0;
};

// Where the converted segmentation model lives: ORVELLA_SEGMENTATION_MODEL when set, else the
// file tools/fetch-segmentation-model writes.
[[nodiscard]] QString defaultSegmentationModelPath();

// The selfie segmentation network through OpenCV's DNN module. A missing or unreadable model
// file gives a segmenter that never returns a mask.
[[nodiscard]] std::unique_ptr<PersonSegmenter> makeOnnxPersonSegmenter(
    const QString &modelPath, int threads = 2);

// Returns the mask it was given (or none) and counts the calls.
class SyntheticPersonSegmenter final : public PersonSegmenter
{
public:
    explicit SyntheticPersonSegmenter(std::optional<cv::Mat> mask = std::nullopt)
        : m_mask(std::move(mask))
    { }

    [[nodiscard]] std::optional<cv::Mat> segment(const cv::Mat &) override
    {
        m_calls.fetch_add(1);
        std::lock_guard lock(m_mutex);
        if (!m_mask)
            return std::nullopt;
        return m_mask->clone();
    }

    // The mask of the next calls; any thread.
    void setMask(std::optional<cv::Mat> mask)
    {
        std::lock_guard lock(m_mutex);
        m_mask = std::move(mask);
    }

    [[nodiscard]] int calls() const { return m_calls.load(); }

private:
    std::mutex m_mutex;
    std::optional<cv::Mat> m_mask;
    std::atomic<int> m_calls { 0 };
};

} // namespace orvella

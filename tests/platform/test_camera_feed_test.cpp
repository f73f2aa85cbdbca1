#include "platform/CameraSource.h"
#include "platform/MediaClock.h"
#include "platform/MicrophoneSource.h"
#include "platform/PersonSegmenter.h"
#include "platform/TestCameraFeed.h"

#include <QFileInfo>
#include <QThread>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

using namespace orvella;

namespace {

constexpr qint64 second = 1'000'000;

// The middle of the figure's face and a corner of the room, in a mask of 256x144.
double faceIn(const cv::Mat &mask, double figureX)
{
    const int x = int(figureX * mask.cols / TestCameraFeed::width);
    return cv::mean(mask(cv::Rect(x - 6, 55, 12, 12)))[0];
}

double cornerIn(const cv::Mat &mask)
{
    return cv::mean(mask(cv::Rect(2, 2, 20, 20)))[0];
}

// Collects what the devices hand on, from the feed's thread.
struct Received
{
    std::mutex mutex;
    std::vector<qint64> frameTimes;
    std::vector<AudioChunk> chunks;

    [[nodiscard]] std::size_t frames()
    {
        std::lock_guard lock(mutex);
        return frameTimes.size();
    }
    [[nodiscard]] std::size_t sounds()
    {
        std::lock_guard lock(mutex);
        return chunks.size();
    }
};

bool waitFor(
    const std::function<bool()> &done, std::chrono::seconds deadline = std::chrono::seconds(10))
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        QThread::msleep(5);
    }
    return true;
}

} // namespace

TEST(TestCameraFeed, PicturesShowAFigureThatMovesAndItsMaskFollows)
{
    const cv::Mat first = TestCameraFeed::pictureAt(0);
    ASSERT_EQ(first.size(), cv::Size(1280, 720));
    ASSERT_EQ(first.type(), CV_8UC4);
    EXPECT_EQ(cv::norm(first, TestCameraFeed::pictureAt(0), cv::NORM_INF), 0.0);
    // A quarter of the sway later the figure stands elsewhere.
    const cv::Mat later = TestCameraFeed::pictureAt(5 * second / 4);
    EXPECT_GT(cv::norm(first, later, cv::NORM_L1) / double(first.total()), 5.0);

    const cv::Mat mask = TestCameraFeed::maskAt(0);
    ASSERT_EQ(mask.size(), cv::Size(256, 144));
    ASSERT_EQ(mask.type(), CV_32F);
    EXPECT_GT(faceIn(mask, 640), 0.99);
    EXPECT_LT(cornerIn(mask), 0.01);
    const cv::Mat moved = TestCameraFeed::maskAt(5 * second / 4);
    EXPECT_GT(faceIn(moved, 750), 0.99);
    EXPECT_LT(faceIn(moved, 530), 0.01);
}

TEST(TestCameraFeed, FeedsRunningDevicesAboutThirtyTimesASecondWithSound)
{
    SyntheticCameraSource camera;
    SyntheticMicrophoneSource microphone;
    SyntheticPersonSegmenter segmenter;
    Received received;
    camera.setFrameHandler([&](CameraFrame frame) {
        EXPECT_EQ(frame.bgra.size(), cv::Size(1280, 720));
        std::lock_guard lock(received.mutex);
        received.frameTimes.push_back(frame.timeUs);
    });
    microphone.setChunkHandler([&](AudioChunk chunk) {
        std::lock_guard lock(received.mutex);
        received.chunks.push_back(std::move(chunk));
    });
    const MediaClock &clock = MonotonicMediaClock::shared();
    TestCameraFeed feed(camera, microphone, clock, &segmenter);

    // Nothing goes to devices that are not running, and the segmenter is told nothing.
    EXPECT_EQ(received.frames(), 0u);
    EXPECT_FALSE(segmenter.segment(cv::Mat()).has_value());

    ASSERT_TRUE(camera.open(QStringLiteral("test-camera"), false));
    ASSERT_TRUE(camera.start());
    ASSERT_TRUE(microphone.open(QStringLiteral("test-microphone")));
    microphone.start();
    ASSERT_TRUE(waitFor([&] { return received.frames() >= 12 && received.sounds() >= 4; }));
    camera.stop();
    microphone.stop();

    std::lock_guard lock(received.mutex);
    const std::vector<qint64> &times = received.frameTimes;
    // Paced, never in bursts: frames at least 25 ms apart on average.
    EXPECT_GE((times.back() - times.front()) / qint64(times.size() - 1), 25'000);
    for (std::size_t i = 1; i < times.size(); ++i)
        EXPECT_GT(times[i], times[i - 1]);
    // The segmenter was told where the figure is.
    const std::optional<cv::Mat> mask = segmenter.segment(cv::Mat());
    ASSERT_TRUE(mask.has_value());
    EXPECT_LT(cornerIn(*mask), 0.01);
    EXPECT_GT(cv::sum(*mask)[0], 1000);
    // The sound follows on without gaps or overlaps, and is not silence.
    for (std::size_t i = 1; i < received.chunks.size(); ++i) {
        const AudioChunk &before = received.chunks[i - 1];
        const qint64 end
            = before.timeUs + qint64(before.samples.size()) * second / before.sampleRate;
        EXPECT_NEAR(double(received.chunks[i].timeUs), double(end), 50.0);
    }
    float loudest = 0;
    for (const AudioChunk &chunk : received.chunks)
        for (float sample : chunk.samples)
            loudest = std::max(loudest, std::abs(sample));
    EXPECT_GT(loudest, 0.02f);
    EXPECT_LT(loudest, 0.5f);
}

TEST(TestCameraFeed, TheStandInMaskIsMirroredWithThePicture)
{
    SyntheticCameraSource camera;
    SyntheticMicrophoneSource microphone;
    SyntheticPersonSegmenter segmenter;
    ManualMediaClock clock;
    // A quarter of the sway in, the figure stands right of the middle, at x = 750.
    clock.set(5 * second / 4);
    std::mutex mutex;
    cv::Mat received;
    camera.setFrameHandler([&](CameraFrame frame) {
        std::lock_guard lock(mutex);
        received = frame.bgra;
    });
    const auto picture = [&] {
        std::lock_guard lock(mutex);
        return received.clone();
    };
    TestCameraFeed feed(camera, microphone, clock, &segmenter);

    for (const bool mirrored : { true, false }) {
        {
            std::lock_guard lock(mutex);
            received = cv::Mat();
        }
        ASSERT_TRUE(camera.open(QStringLiteral("test-camera"), mirrored));
        ASSERT_TRUE(camera.start());
        ASSERT_TRUE(waitFor([&] { return !picture().empty(); }));
        camera.stop();
        const double figureX = mirrored ? TestCameraFeed::width - 750 : 750;
        const double elsewhereX = mirrored ? 750 : TestCameraFeed::width - 750;
        // The face is where the picture shows it, and the mask covers it there.
        const cv::Mat shown = picture();
        const cv::Vec4b face = shown.at<cv::Vec4b>(300, int(figureX));
        EXPECT_EQ(face, cv::Vec4b(140, 172, 214, 255)) << "mirrored " << mirrored;
        const std::optional<cv::Mat> mask = segmenter.segment(cv::Mat());
        ASSERT_TRUE(mask.has_value());
        EXPECT_GT(faceIn(*mask, figureX), 0.99) << "mirrored " << mirrored;
        EXPECT_LT(faceIn(*mask, elsewhereX), 0.01) << "mirrored " << mirrored;
    }
}

TEST(TestCameraFeed, TheModelFindsTheFigure)
{
    const QString model = defaultSegmentationModelPath();
    if (!QFileInfo::exists(model))
        GTEST_SKIP() << "no segmentation model at " << model.toStdString();
    auto segmenter = makeOnnxPersonSegmenter(model, 1);
    cv::Mat bgr;
    cv::cvtColor(TestCameraFeed::pictureAt(0), bgr, cv::COLOR_BGRA2BGR);
    const std::optional<cv::Mat> mask = segmenter->segment(bgr);
    ASSERT_TRUE(mask.has_value());
    cv::Mat fitted;
    cv::resize(*mask, fitted, cv::Size(256, 144));
    EXPECT_GT(faceIn(fitted, 640), 0.5);
    EXPECT_LT(cornerIn(fitted), 0.2);
}

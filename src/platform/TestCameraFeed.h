#pragma once

#include <QtGlobal>
#include <condition_variable>
#include <mutex>
#include <opencv2/core/mat.hpp>
#include <thread>

namespace orvella {

class MediaClock;
class SyntheticCameraSource;
class SyntheticMicrophoneSource;
class SyntheticPersonSegmenter;

// Stands in for a camera and a microphone where there are none (ORVELLA_TEST_CAMERA): about 30
// times a second a 1280x720 picture of a room with a person-like figure swaying in it, and a soft
// tone, handed to the synthetic devices with the media clock's time while they run. Given the
// synthetic segmenter, it tells it where the figure is before each picture goes out, mirrored
// when the camera mirrors the picture.
class TestCameraFeed
{
public:
    TestCameraFeed(SyntheticCameraSource &camera, SyntheticMicrophoneSource &microphone,
        const MediaClock &clock, SyntheticPersonSegmenter *segmenter = nullptr);
    ~TestCameraFeed();
    TestCameraFeed(const TestCameraFeed &) = delete;
    TestCameraFeed &operator=(const TestCameraFeed &) = delete;

    // The picture at a moment (BGRA) and the figure in it (CV_32F, 1 on the figure, 0 on the
    // room) at the given size: pure functions of the time.
    [[nodiscard]] static cv::Mat pictureAt(qint64 timeUs);
    [[nodiscard]] static cv::Mat maskAt(qint64 timeUs, cv::Size size = { 256, 144 });

    static constexpr int width = 1280;
    static constexpr int height = 720;
    static constexpr int sampleRate = 44100;

private:
    void run();
    void deliverSound(qint64 nowUs);

    SyntheticCameraSource &m_camera;
    SyntheticMicrophoneSource &m_microphone;
    const MediaClock &m_clock;
    SyntheticPersonSegmenter *m_segmenter;
    qint64 m_nextSample = -1; // feed thread only
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace orvella

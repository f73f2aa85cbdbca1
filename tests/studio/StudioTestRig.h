#pragma once

// A studio controller on synthetic devices: two cameras, one microphone, a manual media clock,
// a fixed segmentation mask and private Downloads and temporary folders; with the shipped
// pictures when asked (the test program must link them), and with the Downloads folder the
// system names (from HOME and XDG_CONFIG_HOME) when asked.

#include "platform/MediaClock.h"
#include "studio/StudioCaptureController.h"
#include "studio/StudioPictureCatalog.h"
#include "studio/StudioPlatform.h"

#include <QTemporaryDir>
#include <memory>
#include <opencv2/core.hpp>

namespace orvella::test {

struct StudioRig
{
    explicit StudioRig(std::optional<cv::Mat> mask = cv::Mat(144, 256, CV_32F, cv::Scalar(1.0)),
        bool withCameras = true, bool withPictures = false, bool systemDownloads = false)
    {
        StudioPlatform platform;
        if (withPictures) {
            platform.loadAsset
                = [](const QString &name) { return studioPictures::loadPicture(name); };
            platform.loadLogo = studioPictures::loadLogo;
        }
        auto catalog = std::make_unique<SyntheticCaptureDeviceCatalog>();
        if (withCameras)
            catalog->cameras = { { QStringLiteral("cam-a"), QStringLiteral("Front Camera") },
                { QStringLiteral("cam-b"), QStringLiteral("USB Camera") } };
        catalog->microphones
            = { { QStringLiteral("mic-a"), QStringLiteral("Built-in Microphone") } };
        devices = catalog.get();
        auto synthCamera = std::make_unique<SyntheticCameraSource>();
        camera = synthCamera.get();
        auto synthMicrophone = std::make_unique<SyntheticMicrophoneSource>();
        microphone = synthMicrophone.get();
        auto synthSegmenter = std::make_unique<SyntheticPersonSegmenter>(std::move(mask));
        segmenter = synthSegmenter.get();
        platform.devices = std::move(catalog);
        platform.camera = std::move(synthCamera);
        platform.microphone = std::move(synthMicrophone);
        platform.segmenter = std::move(synthSegmenter);
        platform.writerFactory = [](const QString &path, QString *error) {
            return makeFfmpegMovieWriter(path, error);
        };
        platform.clock = &clock;
        platform.cameraAccess = [this] {
            ++cameraQuestions;
            return cameraGranted;
        };
        platform.microphoneAccess = [this] {
            ++microphoneQuestions;
            return microphoneGranted;
        };
        if (!systemDownloads)
            platform.downloadsFolder = downloads.path();
        platform.temporaryFolder = temporary.path();
        platform.clockTick = std::chrono::milliseconds(5);
        controller = std::make_unique<StudioCaptureController>(std::move(platform));
    }

    // A frame at the clock's current time, then the clock moves on by one frame at 30 fps.
    void pushFrame(const cv::Mat &bgra)
    {
        camera->push(bgra, clock.nowMicroseconds());
        clock.advance(frameUs);
    }

    // Pushes a frame and waits until the pipeline has handled it.
    bool pushFrameAndWait(const cv::Mat &bgra);

    // One frame's worth of a 440 Hz tone at the clock's current time (before pushFrame).
    void pushAudioForFrame();

    // Starts the camera when it is not running and a recording, and records three frames with
    // sound; true once the pipeline has handled them.
    bool startShortRecording();

    // The same, then stops; true once the movie is ready.
    bool recordShortMovie();

    static constexpr qint64 frameUs = 1'000'000 / 30;

    ManualMediaClock clock;
    QTemporaryDir downloads;
    QTemporaryDir temporary;
    SyntheticCaptureDeviceCatalog *devices = nullptr;
    SyntheticCameraSource *camera = nullptr;
    SyntheticMicrophoneSource *microphone = nullptr;
    SyntheticPersonSegmenter *segmenter = nullptr;
    bool cameraGranted = true;
    bool microphoneGranted = true;
    int cameraQuestions = 0;
    int microphoneQuestions = 0;
    qint64 audioSamplesPushed = 0;
    std::unique_ptr<StudioCaptureController> controller;
};

// A 1280x720 BGRA test picture: a bright block on a dark ground.
[[nodiscard]] cv::Mat testPicture(int width = 1280, int height = 720);

// Starts the camera and waits for the start to finish.
bool startCamera(StudioCaptureController &controller);

} // namespace orvella::test

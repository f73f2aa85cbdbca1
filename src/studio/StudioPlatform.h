#pragma once

#include "platform/CameraSource.h"
#include "platform/CaptureDeviceCatalog.h"
#include "platform/MicrophoneSource.h"
#include "platform/MovieWriter.h"
#include "platform/PersonSegmenter.h"
#include "platform/TestCameraFeed.h"

#include <QImage>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace orvella {

class MediaClock;

// Everything the studio takes from the computer, so tests can hand in synthetic devices.
struct StudioPlatform
{
    std::unique_ptr<CaptureDeviceCatalog> devices;
    std::unique_ptr<CameraSource> camera;
    std::unique_ptr<MicrophoneSource> microphone;
    std::unique_ptr<PersonSegmenter> segmenter;
    MovieWriterFactory writerFactory;
    const MediaClock *clock = nullptr; // not owned; shared by camera, microphone and pauses
    // Linux asks applications for neither; tests refuse them to walk the failure paths.
    std::function<bool()> cameraAccess = [] { return true; };
    std::function<bool()> microphoneAccess = [] { return true; };
    // Empty: the user's Downloads folder (else the temporary folder) and the temporary folder.
    QString downloadsFolder;
    QString temporaryFolder;
    std::chrono::milliseconds clockTick { 250 };
    // Picture resources by asset name; a null image when the picture is not shipped. Called
    // on the frame pipeline's thread.
    std::function<QImage(const QString &name)> loadAsset = [](const QString &) { return QImage(); };
    // The logo images the animated backgrounds draw for OrvellaLogoTiles and OrvellaBrandBG.
    std::function<QImage(const QString &name)> loadLogo = [](const QString &) { return QImage(); };

    // Feeds the synthetic camera and microphone of the test camera; absent otherwise.
    std::unique_ptr<TestCameraFeed> testFeed;

    // The real camera, microphone, model and movie writer; the test camera instead when
    // ORVELLA_TEST_CAMERA is set.
    [[nodiscard]] static StudioPlatform system();
    // A synthetic camera and microphone fed with a moving figure at about 30 frames a second,
    // segmented by the model when it is there, else by the synthetic segmenter.
    [[nodiscard]] static StudioPlatform testCamera();
};

} // namespace orvella

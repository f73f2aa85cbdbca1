#pragma once

#include "platform/CameraSource.h"
#include "platform/CaptureDeviceCatalog.h"
#include "platform/MicrophoneSource.h"
#include "platform/MovieWriter.h"
#include "platform/PersonSegmenter.h"

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
    // Picture resources by name; a null image when the picture is not shipped.
    std::function<QImage(const QString &name)> loadAsset = [](const QString &) { return QImage(); };

    // The real camera, microphone, model and movie writer.
    [[nodiscard]] static StudioPlatform system();
};

} // namespace orvella

#pragma once

#include <QString>
#include <QtGlobal>
#include <opencv2/core/mat.hpp>
#include <vector>

namespace orvella {

// A camera or microphone as the device lists show it.
struct CaptureDeviceInfo
{
    QString id;
    QString description;
    bool operator==(const CaptureDeviceInfo &) const = default;
};

// One camera picture: 32-bit BGRA, with its presentation time on the shared media clock.
struct CameraFrame
{
    cv::Mat bgra;
    qint64 timeUs = 0;
};

// Mono microphone samples in [-1, 1]; timeUs is the time of the first sample.
struct AudioChunk
{
    std::vector<float> samples;
    int sampleRate = 44100;
    qint64 timeUs = 0;
};

} // namespace orvella

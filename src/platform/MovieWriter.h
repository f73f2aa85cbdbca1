#pragma once

#include "platform/CapturedMedia.h"

#include <QString>
#include <functional>
#include <memory>
#include <opencv2/core/mat.hpp>

namespace orvella {

enum class MovieWriterStatus { unknown, writing, completed, failed };

// Writes one QuickTime movie: H.264 1280x720 video first, then mono AAC at 44.1 kHz and
// 128 kbit/s. Frames of another size are scaled to cover the picture and centre-cropped. Times
// are on the media clock; the movie's time line starts at the session's start time.
class MovieWriter
{
public:
    virtual ~MovieWriter() = default;

    // Creates the file and writes its header; false (status failed) when that is impossible.
    virtual bool startWriting() = 0;
    virtual void startSession(qint64 timeUs) = 0;
    // bgr is 8-bit, 3-channel. Frames at or before the previous frame's time are dropped.
    virtual bool appendVideo(const cv::Mat &bgr, qint64 timeUs) = 0;
    // Samples before the session start are cut off.
    virtual bool appendAudio(const AudioChunk &chunk) = 0;
    // Flushes the encoders and closes the file; status becomes completed or failed.
    virtual void finishWriting() = 0;

    [[nodiscard]] virtual MovieWriterStatus status() const = 0;
    [[nodiscard]] virtual QString errorDescription() const = 0;
};

struct MovieSettings
{
    int width = 1280;
    int height = 720;
    int audioSampleRate = 44100;
    int audioBitRate = 128000;
};

// Makes the writer for a file, or null with a readable error when that cannot be done.
using MovieWriterFactory
    = std::function<std::unique_ptr<MovieWriter>(const QString &path, QString *error)>;

// The FFmpeg writer: libavformat "mov", libx264, native AAC through libswresample.
[[nodiscard]] std::unique_ptr<MovieWriter> makeFfmpegMovieWriter(
    const QString &path, QString *error, MovieSettings settings = {});

} // namespace orvella

#pragma once

// Reads what a written movie holds, through libavformat.

#include <QString>

namespace orvella::test {

struct MovieFacts
{
    bool opened = false;
    QString container;
    int streamCount = 0;
    QString videoCodec; // of the first stream
    int width = 0;
    int height = 0;
    QString audioCodec; // of the second stream
    int channels = 0;
    int sampleRate = 0;
    qint64 audioBitRate = 0;
    double videoDuration = 0; // seconds, last frame's end
    double audioDuration = 0;
    int videoFrames = 0;
};

[[nodiscard]] MovieFacts probeMovie(const QString &path);

} // namespace orvella::test

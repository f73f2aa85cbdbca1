#include "MovieProbe.h"
#include "platform/BackgroundFileLoader.h"
#include "platform/MovieWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>

using namespace orvella;
using namespace orvella::test;

namespace {

AudioChunk tone(qint64 timeUs, int count, int sampleRate)
{
    AudioChunk chunk;
    chunk.sampleRate = sampleRate;
    chunk.timeUs = timeUs;
    chunk.samples.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        chunk.samples[static_cast<size_t>(i)]
            = static_cast<float>(0.2 * std::sin(2 * M_PI * 440.0 * i / sampleRate));
    return chunk;
}

} // namespace

TEST(FfmpegMovieWriter, WritesH264AndMonoAacIntoQuickTime)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("movie.mov"));
    QString error;
    auto writer = makeFfmpegMovieWriter(path, &error);
    ASSERT_TRUE(writer) << error.toStdString();
    // Nothing is written before writing starts.
    EXPECT_FALSE(QFileInfo::exists(path));
    ASSERT_TRUE(writer->startWriting());
    const qint64 start = 5'000'000; // the media clock does not start at zero
    writer->startSession(start);
    // A 640x480 camera, microphone at 48 kHz starting a little before the first frame.
    const cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(20, 120, 220));
    EXPECT_TRUE(writer->appendAudio(tone(start - 100'000, 4800 + 48000, 48000)));
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(writer->appendVideo(frame, start + i * 1'000'000 / 30));
    // A frame at or before the previous one is refused.
    EXPECT_FALSE(writer->appendVideo(frame, start + 29 * 1'000'000 / 30));
    writer->finishWriting();
    ASSERT_EQ(writer->status(), MovieWriterStatus::completed)
        << writer->errorDescription().toStdString();

    const MovieFacts facts = probeMovie(path);
    ASSERT_TRUE(facts.opened);
    EXPECT_TRUE(facts.container.contains(QStringLiteral("mov")));
    EXPECT_EQ(facts.streamCount, 2);
    EXPECT_EQ(facts.videoCodec, QStringLiteral("h264"));
    EXPECT_EQ(facts.width, 1280);
    EXPECT_EQ(facts.height, 720);
    EXPECT_EQ(facts.audioCodec, QStringLiteral("aac"));
    EXPECT_EQ(facts.channels, 1);
    EXPECT_EQ(facts.sampleRate, 44100);
    EXPECT_NEAR(static_cast<double>(facts.audioBitRate), 128000.0, 16000.0);
    EXPECT_EQ(facts.videoFrames, 30);
    EXPECT_NEAR(facts.videoDuration, 1.0, 1.0 / 30);
    // The 100 ms before the first frame were cut: audio covers the same second.
    EXPECT_NEAR(facts.audioDuration, 1.0, 0.05);
}

TEST(FfmpegMovieWriter, FailsWithoutFramesAndWithoutAFolder)
{
    QTemporaryDir dir;
    QString error;
    auto writer = makeFfmpegMovieWriter(dir.filePath(QStringLiteral("empty.mov")), &error);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->startWriting());
    writer->startSession(0);
    writer->finishWriting();
    EXPECT_EQ(writer->status(), MovieWriterStatus::failed);

    auto nowhere = makeFfmpegMovieWriter(dir.filePath(QStringLiteral("gone/movie.mov")), &error);
    EXPECT_FALSE(nowhere);
    EXPECT_FALSE(error.isEmpty());
}

TEST(FfmpegMovieWriter, OtherSizesCoverThePictureCentred)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("square.mov"));
    QString error;
    auto writer = makeFfmpegMovieWriter(path, &error);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->startWriting());
    writer->startSession(0);
    // A square picture: red top and bottom quarters, green middle. Covering 1280x720 keeps only
    // the middle 56.25 % of its rows, all green.
    cv::Mat square(1000, 1000, CV_8UC3, cv::Scalar(0, 0, 255));
    square.rowRange(200, 800).setTo(cv::Scalar(0, 255, 0));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(writer->appendVideo(square, i * 33'333));
    writer->finishWriting();
    ASSERT_EQ(writer->status(), MovieWriterStatus::completed);
    const MovieFacts facts = probeMovie(path);
    EXPECT_EQ(facts.width, 1280);
    EXPECT_EQ(facts.height, 720);
    const QImage first = firstMovieFrame(path);
    ASSERT_EQ(first.size(), QSize(1280, 720));
    for (const QPoint point :
        { QPoint(640, 4), QPoint(640, 715), QPoint(4, 360), QPoint(1275, 360) }) {
        const QColor colour = first.pixelColor(point);
        EXPECT_GT(colour.green(), 200) << point.x() << "," << point.y();
        EXPECT_LT(colour.red(), 60) << point.x() << "," << point.y();
    }
}

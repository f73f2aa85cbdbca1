#include "../platform/MovieProbe.h"
#include "StudioTestRig.h"
#include "support/TestAsync.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using State = StudioCaptureController::State;

TEST(StudioMovie, PausedTimeIsLeftOutOfTheMovie)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    rig.clock.set(3'000'000);
    c.startRecording();
    // Sound before the first frame is dropped.
    rig.pushAudioForFrame();
    // The camera waits for the encoder here, so no frame is left out for want of time.
    int expected = 0;
    auto record = [&] {
        rig.pushAudioForFrame();
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
        ++expected;
        ASSERT_TRUE(waitUntil([&] { return c.writtenFrameCount() == expected; }));
    };
    for (int i = 0; i < 45; ++i)
        record();
    c.pauseRecording();
    // Ten seconds of pause; the camera runs on and the preview with it.
    for (int i = 0; i < 10; ++i) {
        rig.pushAudioForFrame();
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    }
    rig.clock.advance(10'000'000);
    c.resumeRecording();
    for (int i = 0; i < 45; ++i)
        record();
    c.stopRecording();
    ASSERT_TRUE(waitUntil([&] { return c.state() == State::Ready; }, std::chrono::seconds(20)));

    EXPECT_EQ(c.writtenFrameCount(), 90);
    const QString movie = c.outputURL().toLocalFile();
    EXPECT_EQ(QFileInfo(movie).size(), QFileInfo(c.recordingPath()).size());
    const MovieFacts facts = probeMovie(movie);
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.videoCodec, QStringLiteral("h264"));
    EXPECT_EQ(facts.width, 1280);
    EXPECT_EQ(facts.height, 720);
    EXPECT_EQ(facts.audioCodec, QStringLiteral("aac"));
    EXPECT_EQ(facts.channels, 1);
    EXPECT_EQ(facts.sampleRate, 44100);
    EXPECT_EQ(facts.videoFrames, 90);
    // 90 frames at 30 per second: three seconds, the paused ten left out.
    EXPECT_NEAR(facts.videoDuration, 3.0, 1.0 / 30);
    EXPECT_NEAR(facts.audioDuration, 3.0, 1.0 / 30);
}

// The running client's test camera: ORVELLA_TEST_CAMERA puts the studio on synthetic devices
// fed with a moving figure, and a recording made with it is a real movie with its background.

#include "../platform/MovieProbe.h"
#include "StudioTestRig.h"
#include "support/TestAsync.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;

namespace {

// Sets a variable of the environment for the life of the guard.
class EnvironmentGuard
{
public:
    EnvironmentGuard(const char *name, const QByteArray &value)
        : m_name(name)
    {
        qputenv(name, value);
    }
    ~EnvironmentGuard() { qunsetenv(m_name); }

private:
    const char *m_name;
};

} // namespace

TEST(TestCamera, TheEnvironmentVariableSelectsTheSyntheticDevices)
{
    const EnvironmentGuard guard("ORVELLA_TEST_CAMERA", "pattern");
    const StudioPlatform platform = StudioPlatform::system();
    ASSERT_TRUE(platform.testFeed);
    ASSERT_TRUE(platform.devices);
    ASSERT_EQ(platform.devices->videoInputs().size(), 1);
    EXPECT_EQ(platform.devices->videoInputs().first().description, QStringLiteral("Test Camera"));
    EXPECT_EQ(
        platform.devices->audioInputs().first().description, QStringLiteral("Test Microphone"));
    EXPECT_TRUE(platform.segmenter);
    EXPECT_FALSE(platform.loadAsset(QStringLiteral("SeaOfGalilee")).isNull());
}

TEST(TestCamera, RecordsAMovieWithAPictureBehindTheFigure)
{
    QTemporaryDir folder;
    StudioPlatform platform = StudioPlatform::testCamera();
    platform.downloadsFolder = folder.path();
    platform.temporaryFolder = folder.path();
    StudioCaptureController capture(std::move(platform));
    ASSERT_TRUE(startCamera(capture));
    capture.selectPreset(QStringLiteral("galilee"));
    ASSERT_TRUE(waitUntil([&] { return capture.hasPreviewImage(); }, 10s));
    // The lake's sky behind the figure, not the room's wall: blue above all.
    const QColor corner = capture.previewImage().pixelColor(30, 30);
    EXPECT_GT(corner.blue(), corner.red() + 20);

    capture.startRecording();
    ASSERT_TRUE(waitUntil([&] { return capture.writtenFrameCount() >= 20; }, 20s));
    capture.stopRecording();
    using State = StudioCaptureController::State;
    ASSERT_TRUE(waitUntil([&] { return capture.state() != State::Processing; }, 20s));
    ASSERT_EQ(capture.state(), State::Ready);
    const MovieFacts facts = probeMovie(capture.outputURL().toLocalFile());
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.width, 1280);
    EXPECT_EQ(facts.height, 720);
    EXPECT_EQ(facts.audioCodec, QStringLiteral("aac"));
    EXPECT_GE(facts.videoFrames, 20);
    EXPECT_GT(facts.audioDuration, 0.4);
    capture.suspend();
}

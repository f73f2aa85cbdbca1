#include "StudioTestRig.h"
#include "platform/PersonSegmenter.h"
#include "studio/StudioFramePipeline.h"
#include "support/TestAsync.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

using namespace orvella;
using namespace orvella::test;

namespace {

// Remembers what the pipeline hands to the movie; told to, it fails like a full disk.
class RecordingWriter final : public MovieWriter
{
public:
    bool startWriting() override
    {
        ++startCalls;
        if (refuseStarts > 0) {
            --refuseStarts;
            return false;
        }
        m_status = MovieWriterStatus::writing;
        return true;
    }
    void startSession(qint64 timeUs) override { sessionStart = timeUs; }
    bool appendVideo(const cv::Mat &, qint64 timeUs) override
    {
        videoTimes.push_back(timeUs);
        if (failAppends)
            m_status = MovieWriterStatus::failed;
        return !failAppends;
    }
    bool appendAudio(const AudioChunk &chunk) override
    {
        audioTimes.push_back(chunk.timeUs);
        return !failAppends;
    }
    void finishWriting() override
    {
        if (m_status == MovieWriterStatus::writing)
            m_status = MovieWriterStatus::unknown;
    }
    MovieWriterStatus status() const override { return m_status; }
    QString errorDescription() const override
    {
        return failAppends ? QStringLiteral("No space left on device") : QString();
    }

    int refuseStarts = 0;
    bool failAppends = false;
    int startCalls = 0;
    qint64 sessionStart = -1;
    std::vector<qint64> videoTimes;
    std::vector<qint64> audioTimes;

private:
    MovieWriterStatus m_status = MovieWriterStatus::unknown;
};

// Left half person, right half room, at the model's own size of 2x4.
cv::Mat leftHalfMask()
{
    cv::Mat mask(2, 4, CV_32F, cv::Scalar(0.0));
    mask.colRange(0, 2).setTo(1.0);
    return mask;
}

cv::Mat noisyPicture()
{
    cv::Mat picture(72, 128, CV_8UC4, cv::Scalar(90, 90, 90, 255));
    cv::Mat grain(picture.size(), CV_8UC4);
    cv::randu(grain, cv::Scalar(0, 0, 0, 0), cv::Scalar(4, 4, 4, 1));
    cv::add(picture, grain, picture);
    return picture;
}

cv::Mat toBgr(const cv::Mat &bgra)
{
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

StudioPictureSettings plain(
    StudioBackgroundPreset preset = StudioBackgroundPreset::none, double noise = 0.0)
{
    return StudioPictureSettings { 0.0, 1.0, noise, preset };
}

} // namespace

TEST(StudioFramePipeline, NoBackgroundRunsNoSegmentation)
{
    SyntheticPersonSegmenter segmenter(leftHalfMask());
    StudioFramePipeline pipeline(&segmenter, nullptr);
    pipeline.setPictureSettings(plain());
    const cv::Mat picture = testPicture(128, 72);
    const cv::Mat out = pipeline.processFrame(picture);
    EXPECT_EQ(segmenter.calls(), 0);
    EXPECT_EQ(cv::norm(out, toBgr(picture), cv::NORM_INF), 0.0);

    // Colour controls still apply.
    pipeline.setPictureSettings(
        StudioPictureSettings { 0.1, 1.0, 0.0, StudioBackgroundPreset::none });
    const cv::Mat brighter = pipeline.processFrame(picture);
    EXPECT_EQ(brighter.at<cv::Vec3b>(0, 0)[0], 40 + 26);
}

TEST(StudioFramePipeline, NoiseFilterThreshold)
{
    StudioFramePipeline pipeline(nullptr, nullptr);
    const cv::Mat picture = noisyPicture();
    pipeline.setPictureSettings(plain(StudioBackgroundPreset::none, 0.01));
    EXPECT_EQ(cv::norm(pipeline.processFrame(picture), toBgr(picture), cv::NORM_INF), 0.0);
    pipeline.setPictureSettings(plain(StudioBackgroundPreset::none, 0.35));
    EXPECT_GT(cv::norm(pipeline.processFrame(picture), toBgr(picture), cv::NORM_L1), 0.0);
}

TEST(StudioFramePipeline, PreviewShowsEverySecondFrame)
{
    StudioFramePipeline pipeline(nullptr, nullptr);
    pipeline.setPictureSettings(plain());
    int previews = 0;
    QImage last;
    pipeline.setPreviewHandler([&](QImage image) {
        ++previews;
        last = image;
    });
    const cv::Mat picture = testPicture(128, 72);
    const int expected[] = { 0, 1, 1, 2, 2, 3 };
    for (int i = 0; i < 6; ++i) {
        pipeline.handleFrame(CameraFrame { picture, i * 33'333 });
        EXPECT_EQ(previews, expected[i]) << "after frame " << i + 1;
    }
    ASSERT_EQ(last.size(), QSize(128, 72));
    EXPECT_EQ(last.pixelColor(2, 2), QColor(60, 50, 40));
}

TEST(StudioFramePipeline, MaskIsStretchedToTheFrameAndBackgroundsComposite)
{
    SyntheticPersonSegmenter segmenter(leftHalfMask());
    StudioFramePipeline pipeline(&segmenter, nullptr);
    const cv::Mat picture(72, 128, CV_8UC4, cv::Scalar(200, 200, 200, 255));

    // A colour behind the person: midnight is 0.025, 0.055, 0.12.
    pipeline.setPictureSettings(plain(StudioBackgroundPreset::midnight));
    pipeline.setBackground(StudioBackgroundPreset::midnight, {});
    EXPECT_EQ(pipeline.backgroundPicture().size(), cv::Size(1920, 1080));
    cv::Mat out = pipeline.processFrame(picture);
    EXPECT_EQ(segmenter.calls(), 1);
    for (int row : { 0, 36, 71 }) {
        EXPECT_EQ(out.at<cv::Vec3b>(row, 5), cv::Vec3b(200, 200, 200));
        EXPECT_EQ(out.at<cv::Vec3b>(row, 122), cv::Vec3b(31, 14, 6));
    }

    // A picture preset whose picture is not shipped leaves the room visible.
    pipeline.setPictureSettings(plain(StudioBackgroundPreset::jerusalem));
    pipeline.setBackground(StudioBackgroundPreset::jerusalem, {});
    EXPECT_TRUE(pipeline.backgroundPicture().empty());
    out = pipeline.processFrame(picture);
    EXPECT_EQ(out.at<cv::Vec3b>(36, 122), cv::Vec3b(200, 200, 200));

    // A blur of the camera's own picture.
    cv::Mat stripes = picture.clone();
    for (int x = 0; x < stripes.cols; x += 2)
        stripes.col(x).setTo(cv::Scalar(0, 0, 0, 255));
    pipeline.setPictureSettings(plain(StudioBackgroundPreset::heavyBlur));
    out = pipeline.processFrame(stripes);
    const cv::Vec3b blurred = out.at<cv::Vec3b>(36, 121);
    EXPECT_NEAR(blurred[0], 100, 20);
    EXPECT_EQ(out.at<cv::Vec3b>(36, 2), cv::Vec3b(0, 0, 0));
    EXPECT_EQ(out.at<cv::Vec3b>(36, 3), cv::Vec3b(200, 200, 200));
}

TEST(StudioFramePipeline, NoMaskShowsTheFrameUnchanged)
{
    SyntheticPersonSegmenter segmenter(std::nullopt);
    StudioFramePipeline pipeline(&segmenter, nullptr);
    pipeline.setPictureSettings(plain(StudioBackgroundPreset::sunrise));
    pipeline.setBackground(StudioBackgroundPreset::sunrise, {});
    const cv::Mat picture = testPicture(128, 72);
    EXPECT_EQ(cv::norm(pipeline.processFrame(picture), toBgr(picture), cv::NORM_INF), 0.0);
    EXPECT_EQ(segmenter.calls(), 1);
}

TEST(StudioFramePipeline, BackgroundSources)
{
    QTemporaryDir dir;
    QImage shipped(400, 300, QImage::Format_RGB32);
    shipped.fill(QColor(1, 2, 3));
    StudioFramePipeline pipeline(nullptr, [&](const QString &name) {
        return name == QStringLiteral("BethlehemHills") ? shipped : QImage();
    });
    pipeline.setBackground(StudioBackgroundPreset::bethlehem, {});
    EXPECT_EQ(pipeline.backgroundPicture().size(), cv::Size(400, 300));

    // A custom file wins whatever the preset.
    const QString file = dir.filePath(QStringLiteral("mine.png"));
    QImage custom(64, 32, QImage::Format_RGB32);
    custom.fill(Qt::red);
    ASSERT_TRUE(custom.save(file));
    pipeline.setBackground(StudioBackgroundPreset::custom, file);
    EXPECT_EQ(pipeline.backgroundPicture().size(), cv::Size(64, 32));
    pipeline.setBackground(
        StudioBackgroundPreset::custom, dir.filePath(QStringLiteral("unreadable.png")));
    EXPECT_TRUE(pipeline.backgroundPicture().empty());

    // An animation delivers its first frame at once.
    pipeline.setBackground(StudioBackgroundPreset::softBokeh, {});
    EXPECT_EQ(pipeline.backgroundPicture().size(), cv::Size(1280, 720));
    pipeline.setBackground(StudioBackgroundPreset::none, {});
    EXPECT_TRUE(pipeline.backgroundPicture().empty());
}

TEST(StudioFramePipeline, AtMostOneFrameWaits)
{
    StudioFramePipeline pipeline(nullptr, nullptr);
    pipeline.setPictureSettings(plain());
    const cv::Mat picture = testPicture(64, 36);
    for (int i = 0; i < 5; ++i)
        pipeline.submitFrame(CameraFrame { picture, i * 33'333 });
    QCoreApplication::sendPostedEvents(&pipeline);
    EXPECT_EQ(pipeline.processedFrames(), 1);
    EXPECT_EQ(pipeline.replacedFrames(), 4);
}

TEST(StudioFramePipeline, RecordingGatesAndPausedTime)
{
    StudioFramePipeline pipeline(nullptr, nullptr);
    pipeline.setPictureSettings(plain());
    auto owned = std::make_unique<RecordingWriter>();
    RecordingWriter *writer = owned.get();
    writer->refuseStarts = 1;
    pipeline.beginRecording(std::move(owned));
    const cv::Mat picture = testPicture(64, 36);
    auto audioAt = [](qint64 time) {
        AudioChunk chunk;
        chunk.samples.assign(441, 0.1f);
        chunk.timeUs = time;
        return chunk;
    };

    // Audio before the first written frame is dropped.
    pipeline.handleAudio(audioAt(1'000'000));
    pipeline.waitForWriter();
    EXPECT_TRUE(writer->audioTimes.empty());
    // A writer that refuses to start gets no frame and is asked again next time.
    pipeline.handleFrame(CameraFrame { picture, 1'000'000 });
    pipeline.waitForWriter();
    EXPECT_EQ(writer->startCalls, 1);
    EXPECT_TRUE(writer->videoTimes.empty());
    EXPECT_FALSE(pipeline.writingStarted());
    pipeline.handleFrame(CameraFrame { picture, 1'033'333 });
    pipeline.waitForWriter();
    EXPECT_EQ(writer->startCalls, 2);
    EXPECT_TRUE(pipeline.writingStarted());
    EXPECT_EQ(writer->sessionStart, 1'033'333);
    ASSERT_EQ(writer->videoTimes.size(), 1u);
    pipeline.handleAudio(audioAt(1'040'000));
    pipeline.waitForWriter();
    ASSERT_EQ(writer->audioTimes.size(), 1u);

    // Paused at 2 s for 10 s: nothing is written, and later times lose the 10 s.
    pipeline.pauseRecording(2'000'000);
    pipeline.handleFrame(CameraFrame { picture, 2'100'000 });
    pipeline.handleAudio(audioAt(2'100'000));
    pipeline.resumeRecording(12'000'000);
    // Taken during the pause, handled after the resume: still the pause's.
    pipeline.handleFrame(CameraFrame { picture, 11'900'000 });
    pipeline.waitForWriter();
    EXPECT_EQ(writer->videoTimes.size(), 1u);
    EXPECT_EQ(writer->audioTimes.size(), 1u);
    pipeline.handleFrame(CameraFrame { picture, 12'000'000 });
    pipeline.handleAudio(audioAt(12'010'000));
    pipeline.waitForWriter();
    ASSERT_EQ(writer->videoTimes.size(), 2u);
    EXPECT_EQ(writer->videoTimes[1], 2'000'000);
    ASSERT_EQ(writer->audioTimes.size(), 2u);
    EXPECT_EQ(writer->audioTimes[1], 2'010'000);

    // Finishing closes the gates.
    QTemporaryDir downloads;
    const RecordingOutcome outcome = pipeline.finishRecording({}, { downloads.path() });
    EXPECT_TRUE(outcome.hadWriter);
    EXPECT_FALSE(outcome.completed);
    pipeline.handleFrame(CameraFrame { picture, 13'000'000 });
    EXPECT_EQ(pipeline.writtenFrames(), 2);
}

TEST(StudioController, BackgroundChoice)
{
    StudioRig rig;
    auto &c = *rig.controller;
    QTemporaryDir dir;
    const QUrl file = QUrl::fromLocalFile(dir.filePath(QStringLiteral("beach.png")));
    c.chooseBackground(file);
    EXPECT_EQ(c.selectedPresetRawValue(), QStringLiteral("custom"));
    EXPECT_EQ(c.selectedBackgroundURL(), file);
    // A cancelled dialog keeps the preset and the file.
    c.chooseBackground(QUrl());
    EXPECT_EQ(c.selectedPresetRawValue(), QStringLiteral("custom"));
    EXPECT_EQ(c.selectedBackgroundURL(), file);
    // Choosing custom again keeps the file; another preset clears it.
    c.selectPreset(QStringLiteral("custom"));
    EXPECT_EQ(c.selectedBackgroundURL(), file);
    c.selectPreset(QStringLiteral("softBlur"));
    EXPECT_EQ(c.selectedPresetRawValue(), QStringLiteral("softBlur"));
    EXPECT_TRUE(c.selectedBackgroundURL().isEmpty());
    // Unknown names change nothing.
    c.selectPreset(QStringLiteral("Soft Blur"));
    EXPECT_EQ(c.selectedPresetRawValue(), QStringLiteral("softBlur"));
    // The next frames use it: a segmentation runs.
    ASSERT_TRUE(startCamera(c));
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    EXPECT_GE(rig.segmenter->calls(), 1);
}

TEST(StudioFramePipeline, WriterFailureIsReportedWhenFinishing)
{
    StudioFramePipeline pipeline(nullptr, nullptr);
    pipeline.setPictureSettings(plain());
    auto writer = std::make_unique<RecordingWriter>();
    writer->failAppends = true;
    pipeline.beginRecording(std::move(writer));
    pipeline.handleFrame(CameraFrame { testPicture(64, 36), 1000 });
    QTemporaryDir downloads;
    const RecordingOutcome outcome = pipeline.finishRecording(
        downloads.filePath(QStringLiteral("never.mov")), { downloads.path() });
    EXPECT_TRUE(outcome.hadWriter);
    EXPECT_FALSE(outcome.completed);
    EXPECT_EQ(outcome.error, QStringLiteral("No space left on device"));
    EXPECT_TRUE(QDir(downloads.path()).entryList(QDir::Files).isEmpty());
}

TEST(StudioController, MirroringHappensRightAfterCapture)
{
    StudioRig rig;
    ASSERT_TRUE(startCamera(*rig.controller));
    // Left half dark, right half bright; mirrored, the preview shows it the other way round.
    cv::Mat picture(72, 128, CV_8UC4, cv::Scalar(10, 10, 10, 255));
    picture.colRange(64, 128).setTo(cv::Scalar(240, 240, 240, 255));
    ASSERT_TRUE(rig.pushFrameAndWait(picture));
    ASSERT_TRUE(rig.pushFrameAndWait(picture));
    ASSERT_TRUE(waitUntil([&] { return rig.controller->hasPreviewImage(); }));
    const QImage preview = rig.controller->previewImage();
    EXPECT_GT(qGray(preview.pixel(5, 36)), 200);
    EXPECT_LT(qGray(preview.pixel(122, 36)), 50);
}

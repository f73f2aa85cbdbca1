#include "StudioTestRig.h"
#include "support/TestAsync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using State = StudioCaptureController::State;

namespace {

const QString noCameraText
    = QStringLiteral("No camera was found on this computer. Connect a camera, then use Reset.");

bool waitForState(StudioCaptureController &controller, State state)
{
    return waitUntil([&] { return controller.state() == state; });
}

// Records one short movie: start, two frames, stop, wait for ready.
bool recordShortMovie(StudioRig &rig)
{
    rig.controller->startRecording();
    if (rig.controller->state() != State::Recording)
        return false;
    for (int i = 0; i < 3; ++i) {
        rig.pushAudioForFrame();
        if (!rig.pushFrameAndWait(testPicture()))
            return false;
    }
    rig.controller->stopRecording();
    return waitUntil([&] {
        const State state = rig.controller->state();
        return state == State::Ready || state == State::Failed;
    });
}

} // namespace

TEST(StudioController, ConstructionListsDevicesAndStartsNothing)
{
    StudioRig rig;
    auto &c = *rig.controller;
    EXPECT_EQ(c.state(), State::Idle);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Preparing camera…"));
    EXPECT_EQ(c.elapsed(), 0.0);
    ASSERT_EQ(c.cameras().size(), 2);
    EXPECT_EQ(c.selectedCameraID(), QStringLiteral("cam-a"));
    EXPECT_EQ(c.selectedMicrophoneID(), QStringLiteral("mic-a"));
    EXPECT_EQ(c.brightness(), 0.0);
    EXPECT_EQ(c.contrast(), 1.0);
    EXPECT_EQ(c.noiseReduction(), 0.35);
    EXPECT_TRUE(c.mirrorPreview());
    EXPECT_EQ(c.selectedPresetRawValue(), QStringLiteral("none"));
    EXPECT_TRUE(c.outputURL().isEmpty());
    EXPECT_FALSE(c.hasPreviewImage());
    EXPECT_EQ(rig.camera->openCount(), 0);
    EXPECT_EQ(rig.cameraQuestions, 0);
    EXPECT_FALSE(c.isSessionRunning());
    EXPECT_EQ(c.cameraList().first().toMap().value(QStringLiteral("name")).toString(),
        QStringLiteral("Front Camera"));
    EXPECT_EQ(c.presets().size(), 34);
}

TEST(StudioController, StartOpensChosenDevicesMirrored)
{
    StudioRig rig;
    ASSERT_TRUE(startCamera(*rig.controller));
    EXPECT_EQ(rig.controller->state(), State::Idle);
    EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("Camera ready"));
    EXPECT_TRUE(rig.controller->isSessionRunning());
    EXPECT_TRUE(rig.camera->isRunning());
    EXPECT_TRUE(rig.microphone->isRunning());
    EXPECT_EQ(rig.camera->openedDeviceId(), QStringLiteral("cam-a"));
    EXPECT_TRUE(rig.camera->mirrored());
    EXPECT_EQ(rig.microphone->openedDeviceId(), QStringLiteral("mic-a"));
}

TEST(StudioController, PermissionsAndMissingCamera)
{
    {
        StudioRig rig;
        rig.cameraGranted = false;
        ASSERT_TRUE(startCamera(*rig.controller));
        EXPECT_EQ(rig.controller->state(), State::Failed);
        EXPECT_TRUE(rig.controller->failureMessage().startsWith(
            QStringLiteral("Camera access is required.")));
        EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("Permission required"));
        // The microphone question is still asked.
        EXPECT_EQ(rig.microphoneQuestions, 1);
        EXPECT_FALSE(rig.camera->isRunning());
    }
    {
        StudioRig rig;
        rig.microphoneGranted = false;
        QStringList statuses;
        QObject::connect(rig.controller.get(), &StudioCaptureController::statusMessageChanged,
            [&] { statuses << rig.controller->statusMessage(); });
        ASSERT_TRUE(startCamera(*rig.controller));
        EXPECT_EQ(statuses.value(0),
            QStringLiteral("Microphone permission missing — video-only "
                           "preview is available."));
        EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("Camera ready"));
        EXPECT_EQ(rig.controller->state(), State::Idle);
        EXPECT_FALSE(rig.microphone->isRunning());
        EXPECT_TRUE(rig.camera->isRunning());
    }
    {
        StudioRig rig(std::nullopt, /*withCameras=*/false);
        ASSERT_TRUE(startCamera(*rig.controller));
        EXPECT_EQ(rig.controller->state(), State::Failed);
        EXPECT_EQ(rig.controller->failureMessage(), noCameraText);
        EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("No camera found"));
        EXPECT_TRUE(rig.controller->cameras().isEmpty());
        EXPECT_EQ(rig.controller->selectedCameraID(), QString());
        // A camera plugged in later and Reset: failed returns to idle.
        rig.devices->cameras = { { QStringLiteral("cam-c"), QStringLiteral("New Camera") } };
        int started = 0;
        QObject::connect(rig.controller.get(), &StudioCaptureController::cameraStartFinished,
            [&] { ++started; });
        rig.controller->reset();
        ASSERT_TRUE(waitUntil([&] { return started > 0; }));
        EXPECT_EQ(rig.controller->state(), State::Idle);
        EXPECT_EQ(rig.controller->selectedCameraID(), QStringLiteral("cam-c"));
    }
    {
        // A camera that cannot be opened is reported as no camera.
        StudioRig rig;
        rig.camera->setFailsToOpen(true);
        ASSERT_TRUE(startCamera(*rig.controller));
        EXPECT_EQ(rig.controller->state(), State::Failed);
        EXPECT_EQ(rig.controller->failureMessage(), noCameraText);
        EXPECT_FALSE(rig.controller->isSessionRunning());
    }
    {
        // Nor does one that opens but never starts.
        StudioRig rig;
        rig.camera->setFailsToStart(true);
        ASSERT_TRUE(startCamera(*rig.controller));
        EXPECT_EQ(rig.controller->state(), State::Failed);
        EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("No camera found"));
        EXPECT_FALSE(rig.controller->isSessionRunning());
    }
}

TEST(StudioController, DeviceSelectionRepairAndSwitching)
{
    StudioRig rig;
    rig.controller->selectCamera(QStringLiteral("cam-b"));
    EXPECT_EQ(rig.controller->selectedCameraID(), QStringLiteral("cam-b"));
    // Unplugged: the first camera takes its place.
    rig.devices->cameras.removeLast();
    rig.controller->refreshDevices();
    EXPECT_EQ(rig.controller->selectedCameraID(), QStringLiteral("cam-a"));
    rig.devices->cameras.append({ QStringLiteral("cam-b"), QStringLiteral("USB Camera") });
    rig.controller->refreshDevices();

    ASSERT_TRUE(startCamera(*rig.controller));
    rig.controller->startRecording();
    ASSERT_EQ(rig.controller->state(), State::Recording);
    const int opens = rig.camera->openCount();
    rig.controller->selectCamera(QStringLiteral("cam-b"));
    spinFor(std::chrono::milliseconds(20));
    EXPECT_EQ(rig.controller->selectedCameraID(), QStringLiteral("cam-a"));
    EXPECT_EQ(rig.camera->openCount(), opens);

    // Paused: the switch goes through, and the mirror flag is read at that moment.
    rig.controller->pauseRecording();
    rig.controller->setMirrorPreview(false);
    EXPECT_TRUE(rig.camera->mirrored());
    rig.controller->selectCamera(QStringLiteral("cam-b"));
    EXPECT_EQ(rig.controller->selectedCameraID(), QStringLiteral("cam-b"));
    ASSERT_TRUE(waitUntil([&] { return rig.camera->openCount() == opens + 1; }));
    EXPECT_EQ(rig.camera->openedDeviceId(), QStringLiteral("cam-b"));
    EXPECT_FALSE(rig.camera->mirrored());
    EXPECT_TRUE(rig.camera->isRunning());
}

TEST(StudioController, RecordingTransitionsAndTexts)
{
    StudioRig rig;
    auto &c = *rig.controller;

    // Without a running camera the record action only starts the camera.
    int started = 0;
    QObject::connect(&c, &StudioCaptureController::cameraStartFinished, [&] { ++started; });
    c.startRecording();
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Start the camera before recording"));
    EXPECT_NE(c.state(), State::Recording);
    ASSERT_TRUE(waitUntil([&] { return started == 1; }));
    EXPECT_TRUE(c.isSessionRunning());
    EXPECT_EQ(c.state(), State::Idle);

    c.startRecording();
    EXPECT_EQ(c.state(), State::Recording);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording"));
    const QString firstMovie = c.recordingPath();
    EXPECT_TRUE(QFileInfo(firstMovie).fileName().startsWith(QStringLiteral("orvella-testimony-")));
    EXPECT_TRUE(firstMovie.endsWith(QStringLiteral(".mov")));
    c.startRecording(); // ignored while recording
    EXPECT_EQ(c.recordingPath(), firstMovie);

    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    c.pauseRecording();
    EXPECT_EQ(c.state(), State::Paused);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Paused"));
    c.pauseRecording();
    EXPECT_EQ(c.state(), State::Paused);
    c.resumeRecording();
    EXPECT_EQ(c.state(), State::Recording);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording"));

    // Record from paused discards the paused recording and starts a new one.
    c.pauseRecording();
    c.startRecording();
    EXPECT_EQ(c.state(), State::Recording);
    EXPECT_NE(c.recordingPath(), firstMovie);
    ASSERT_TRUE(waitUntil([&] { return !QFileInfo::exists(firstMovie); }));

    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    c.pauseRecording();
    // Stopping while paused finishes exactly as while recording.
    c.stopRecording();
    EXPECT_EQ(c.state(), State::Processing);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Finishing recording…"));
    c.stopRecording();
    c.startRecording(); // ignored while processing
    EXPECT_EQ(c.state(), State::Processing);
    ASSERT_TRUE(waitForState(c, State::Ready));
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording ready to send"));
    const QString copy = c.outputURL().toLocalFile();
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QDir(rig.downloads.path()).absolutePath());
    EXPECT_TRUE(QFileInfo(copy).fileName().startsWith(QStringLiteral("Orvella Testimony ")));
    EXPECT_FALSE(QFileInfo(copy).fileName().contains(u':'));
    EXPECT_TRUE(QFileInfo::exists(copy));
    // The temporary movie stays until the next recording or a reset.
    EXPECT_TRUE(QFileInfo::exists(c.recordingPath()));
    // A ready movie stays ready when the screen starts the camera again.
    ASSERT_TRUE(startCamera(c));
    EXPECT_EQ(c.state(), State::Ready);
}

TEST(StudioController, StopBeforeAnyFrameFails)
{
    StudioRig rig;
    ASSERT_TRUE(startCamera(*rig.controller));
    rig.controller->startRecording();
    rig.controller->stopRecording();
    ASSERT_TRUE(waitForState(*rig.controller, State::Failed));
    EXPECT_EQ(rig.controller->failureMessage(), QStringLiteral("Recording failed"));
    EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("Recording failed"));
    // The camera keeps running and a new recording may start.
    rig.controller->startRecording();
    EXPECT_EQ(rig.controller->state(), State::Recording);
}

TEST(StudioController, WriterThatCannotBeCreated)
{
    StudioRig rig;
    ASSERT_TRUE(startCamera(*rig.controller));
    // The temporary folder is gone.
    ASSERT_TRUE(rig.temporary.remove());
    rig.controller->startRecording();
    EXPECT_EQ(rig.controller->state(), State::Failed);
    EXPECT_FALSE(rig.controller->failureMessage().isEmpty());
    EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("Could not start recording"));
    EXPECT_TRUE(rig.controller->isSessionRunning());
}

TEST(StudioController, ElapsedTimeIsTheMediaClockLessThePauses)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    rig.clock.set(10'000'000);
    c.startRecording();
    EXPECT_EQ(c.elapsed(), 0.0);
    rig.clock.advance(1'500'000);
    EXPECT_DOUBLE_EQ(c.elapsed(), 1.5);
    // Announced while recording, so the clock text follows.
    int announced = 0;
    QObject::connect(&c, &StudioCaptureController::elapsedChanged, [&] { ++announced; });
    ASSERT_TRUE(waitUntil([&] { return announced > 0; }));

    c.pauseRecording();
    rig.clock.advance(20'000'000);
    EXPECT_DOUBLE_EQ(c.elapsed(), 1.5);
    c.resumeRecording();
    rig.clock.advance(700'000);
    EXPECT_DOUBLE_EQ(c.elapsed(), 2.2);
    c.stopRecording();
    rig.clock.advance(5'000'000);
    EXPECT_DOUBLE_EQ(c.elapsed(), 2.2);
    ASSERT_TRUE(waitUntil([&] { return c.state() != State::Processing; }));

    // Record Again restarts the clock at zero.
    c.startRecording();
    EXPECT_EQ(c.elapsed(), 0.0);
}

TEST(StudioController, SuspendFinishesRecordingOrStopsCamera)
{
    {
        StudioRig rig;
        auto &c = *rig.controller;
        ASSERT_TRUE(startCamera(c));
        c.startRecording();
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
        ASSERT_TRUE(waitUntil([&] { return c.hasPreviewImage(); }));
        c.suspend();
        EXPECT_EQ(c.state(), State::Processing);
        ASSERT_TRUE(waitForState(c, State::Ready));
        EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording ready to send"));
        EXPECT_TRUE(QFileInfo::exists(c.outputURL().toLocalFile()));
        ASSERT_TRUE(waitUntil([&] { return !rig.camera->isRunning(); }));
        EXPECT_FALSE(c.hasPreviewImage());
        // Frames after the suspension are dropped.
        const int processed = c.processedFrameCount();
        rig.camera->start();
        rig.pushFrame(testPicture());
        spinFor(std::chrono::milliseconds(30));
        EXPECT_EQ(c.processedFrameCount(), processed);
        rig.camera->stop();
        // In ready, a second suspend keeps the ready text.
        c.suspend();
        EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording ready to send"));
    }
    {
        StudioRig rig;
        ASSERT_TRUE(startCamera(*rig.controller));
        rig.controller->suspend();
        EXPECT_EQ(rig.controller->statusMessage(), QStringLiteral("Camera paused"));
        EXPECT_EQ(rig.controller->state(), State::Idle);
        ASSERT_TRUE(waitUntil([&] { return !rig.camera->isRunning(); }));
        EXPECT_FALSE(rig.controller->isSessionRunning());
    }
}

TEST(StudioController, ResetDiscardsTheRecordingButNotTheDownloadsCopy)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    ASSERT_TRUE(recordShortMovie(rig));
    ASSERT_EQ(c.state(), State::Ready);
    const QString temporary = c.recordingPath();
    const QString copy = c.outputURL().toLocalFile();
    c.setUploadMessage(QStringLiteral("Saved to x.mov"));
    int started = 0;
    QObject::connect(&c, &StudioCaptureController::cameraStartFinished, [&] { ++started; });
    QStringList statuses;
    QObject::connect(
        &c, &StudioCaptureController::statusMessageChanged, [&] { statuses << c.statusMessage(); });
    c.reset();
    EXPECT_EQ(c.state(), State::Idle);
    EXPECT_EQ(statuses.value(0), QStringLiteral("Ready"));
    EXPECT_TRUE(c.outputURL().isEmpty());
    EXPECT_TRUE(c.uploadMessage().isEmpty());
    EXPECT_EQ(c.elapsed(), 0.0);
    ASSERT_TRUE(waitUntil([&] { return !QFileInfo::exists(temporary); }));
    EXPECT_TRUE(QFileInfo::exists(copy));
    ASSERT_TRUE(waitUntil([&] { return started == 1; }));
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Camera ready"));

    // Reset while recording discards the movie entirely.
    c.startRecording();
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    const QString discarded = c.recordingPath();
    c.reset();
    EXPECT_EQ(c.state(), State::Idle);
    ASSERT_TRUE(waitUntil([&] { return !QFileInfo::exists(discarded); }));
    spinFor(std::chrono::milliseconds(30));
    EXPECT_EQ(c.state(), State::Idle);
    EXPECT_EQ(QDir(rig.downloads.path()).entryList(QDir::Files).size(), 1);
}

TEST(StudioController, OnlyCopyIsNeverDeleted)
{
    StudioRig rig;
    auto &c = *rig.controller;
    // A Downloads folder that cannot take the copy: it is gone.
    ASSERT_TRUE(rig.downloads.remove());
    ASSERT_TRUE(startCamera(c));
    ASSERT_TRUE(recordShortMovie(rig));
    ASSERT_EQ(c.state(), State::Ready);
    const QString movie = c.recordingPath();
    EXPECT_EQ(c.outputURL().toLocalFile(), movie);

    // Record Again keeps it.
    c.startRecording();
    spinFor(std::chrono::milliseconds(30));
    EXPECT_TRUE(QFileInfo::exists(movie));
    c.reset();
    ASSERT_TRUE(recordShortMovie(rig));
    const QString second = c.recordingPath();
    // Reset keeps it too.
    c.reset();
    spinFor(std::chrono::milliseconds(30));
    EXPECT_TRUE(QFileInfo::exists(second));
}

TEST(StudioController, ReturningDuringRecordingOrProcessingChangesNothing)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    c.startRecording();
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    ASSERT_TRUE(startCamera(c));
    EXPECT_EQ(c.state(), State::Recording);
    c.pauseRecording();
    ASSERT_TRUE(startCamera(c));
    EXPECT_EQ(c.state(), State::Paused);
    c.stopRecording();
    ASSERT_EQ(c.state(), State::Processing);
    c.startCamera();
    EXPECT_EQ(c.state(), State::Processing);
    ASSERT_TRUE(waitForState(c, State::Ready));
}

TEST(StudioController, FinishedMoviesNeverReplaceEachOther)
{
    StudioRig rig;
    ASSERT_TRUE(startCamera(*rig.controller));
    QStringList copies;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(recordShortMovie(rig));
        ASSERT_EQ(rig.controller->state(), State::Ready);
        copies << rig.controller->outputURL().toLocalFile();
    }
    EXPECT_NE(copies[0], copies[1]);
    EXPECT_TRUE(QFileInfo::exists(copies[0]));
    EXPECT_TRUE(QFileInfo::exists(copies[1]));
}

TEST(StudioController, QuittingWhileRecordingKeepsTheMovie)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    c.startRecording();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    c.pauseRecording();
    c.finishBeforeQuit();
    // Done before returning, without the event loop.
    EXPECT_EQ(c.state(), State::Ready);
    EXPECT_TRUE(QFileInfo::exists(c.outputURL().toLocalFile()));
    EXPECT_EQ(QFileInfo(c.outputURL().toLocalFile()).absolutePath(),
        QDir(rig.downloads.path()).absolutePath());
}

TEST(StudioController, PreviewPlayerIsPausedAndDroppedByCleanUp)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    ASSERT_TRUE(recordShortMovie(rig));
    QPointer<QObject> player = new QObject;
    c.setPreviewPlayer(player);
    EXPECT_EQ(c.previewPlayer(), player.data());
    c.startRecording();
    EXPECT_EQ(c.previewPlayer(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return player.isNull(); }));
}

TEST(StudioController, ARecordingRunningAtTheEndIsKept)
{
    {
        StudioRig rig;
        auto &c = *rig.controller;
        ASSERT_TRUE(startCamera(c));
        c.startRecording();
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
        const QString folder = rig.downloads.path();
        rig.controller.reset();
        const QStringList kept = QDir(folder).entryList(QDir::Files);
        ASSERT_EQ(kept.size(), 1);
        EXPECT_TRUE(kept.first().startsWith(QStringLiteral("Orvella Testimony ")));
    }
}

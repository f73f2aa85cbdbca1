#include "StudioTestRig.h"
#include "support/FileModes.h"
#include "support/TestAsync.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

QStringList filesIn(const QTemporaryDir &folder)
{
    return QDir(folder.path()).entryList(QDir::Files);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// HOME for as long as this lives, and no user-dirs.dirs: the Downloads folder is $HOME/Downloads.
struct ScopedHome
{
    explicit ScopedHome(const QString &home)
    {
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    }
    ~ScopedHome()
    {
        qputenv("HOME", savedHome);
        if (savedConfig)
            qputenv("XDG_CONFIG_HOME", *savedConfig);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }
    const QByteArray savedHome = qgetenv("HOME");
    const std::optional<QByteArray> savedConfig = qEnvironmentVariableIsSet("XDG_CONFIG_HOME")
        ? std::optional(qgetenv("XDG_CONFIG_HOME"))
        : std::nullopt;
};

} // namespace

TEST(StudioController, ConstructionListsDevicesAndStartsNothing)
{
    StudioRig rig;
    auto &c = *rig.controller;
    EXPECT_EQ(c.state(), State::Idle);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Preparing camera…"));
    EXPECT_EQ(c.cameraList().first().toMap().value(QStringLiteral("name")), "Front Camera");
    EXPECT_EQ(c.selectedCameraID(), QStringLiteral("cam-a"));
    EXPECT_EQ(c.selectedMicrophoneID(), QStringLiteral("mic-a"));
    EXPECT_EQ(rig.camera->openCount(), 0);
    EXPECT_EQ(rig.cameraQuestions, 0);
    EXPECT_FALSE(c.isSessionRunning());
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

TEST(StudioController, CameraStartsThatFail)
{
    struct Case
    {
        const char *name;
        std::function<void(StudioRig &)> arrange;
        bool withCameras;
        QString failure;
        QString status;
    };
    const Case cases[] = {
        { "camera refused", [](StudioRig &rig) { rig.cameraGranted = false; }, true,
            "Camera access is required. Enable it in your system's privacy settings.",
            "Permission required" },
        { "no camera", [](StudioRig &) {}, false, noCameraText, "No camera found" },
        // A camera that cannot be opened, or opens but never starts, counts as none.
        { "fails to open", [](StudioRig &rig) { rig.camera->setFailsToOpen(true); }, true,
            noCameraText, "No camera found" },
        { "fails to start", [](StudioRig &rig) { rig.camera->setFailsToStart(true); }, true,
            noCameraText, "No camera found" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        StudioRig rig(std::nullopt, c.withCameras);
        c.arrange(rig);
        ASSERT_TRUE(startCamera(*rig.controller));
        EXPECT_EQ(rig.controller->state(), State::Failed);
        EXPECT_EQ(rig.controller->failureMessage(), c.failure);
        EXPECT_EQ(rig.controller->statusMessage(), c.status);
        EXPECT_FALSE(rig.controller->isSessionRunning());
        // The microphone question is asked whatever the camera's answer.
        EXPECT_EQ(rig.microphoneQuestions, 1);
    }
}

TEST(StudioController, ACameraPluggedInLaterIsFoundByReset)
{
    StudioRig rig(std::nullopt, /*withCameras=*/false);
    ASSERT_TRUE(startCamera(*rig.controller));
    EXPECT_EQ(rig.controller->selectedCameraID(), QString());
    rig.devices->cameras = { { QStringLiteral("cam-c"), QStringLiteral("New Camera") } };
    int started = 0;
    QObject::connect(
        rig.controller.get(), &StudioCaptureController::cameraStartFinished, [&] { ++started; });
    rig.controller->reset();
    ASSERT_TRUE(waitUntil([&] { return started > 0; }));
    EXPECT_EQ(rig.controller->state(), State::Idle);
    EXPECT_EQ(rig.controller->selectedCameraID(), QStringLiteral("cam-c"));
}

TEST(StudioController, WithoutTheMicrophoneThePreviewIsVideoOnly)
{
    StudioRig rig;
    rig.microphoneGranted = false;
    QStringList statuses;
    QObject::connect(rig.controller.get(), &StudioCaptureController::statusMessageChanged,
        [&] { statuses << rig.controller->statusMessage(); });
    ASSERT_TRUE(startCamera(*rig.controller));
    EXPECT_EQ(statuses,
        (QStringList {
            "Microphone permission missing — video-only preview is available.", "Camera ready" }));
    EXPECT_EQ(rig.controller->state(), State::Idle);
    EXPECT_FALSE(rig.microphone->isRunning());
    EXPECT_TRUE(rig.camera->isRunning());
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
    c.pauseRecording();
    EXPECT_EQ(c.state(), State::Paused);
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Paused"));
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
    c.startCamera(); // as is the screen coming back
    EXPECT_EQ(c.state(), State::Processing);
    ASSERT_TRUE(waitForState(c, State::Ready));
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording ready to send"));
    const QFileInfo copy(c.outputURL().toLocalFile());
    EXPECT_EQ(copy.absolutePath(), QDir(rig.downloads.path()).absolutePath());
    EXPECT_TRUE(copy.fileName().startsWith(QStringLiteral("Orvella Testimony ")));
    EXPECT_FALSE(copy.fileName().contains(u':'));
    EXPECT_TRUE(copy.exists());
    // The temporary movie stays until the next recording or a reset.
    EXPECT_TRUE(QFileInfo::exists(c.recordingPath()));
    // A ready movie stays ready when the screen starts the camera again.
    ASSERT_TRUE(startCamera(c));
    EXPECT_EQ(c.state(), State::Ready);

    // The next movie never replaces this one.
    ASSERT_TRUE(rig.recordShortMovie());
    EXPECT_NE(c.outputURL().toLocalFile(), copy.filePath());
    EXPECT_EQ(filesIn(rig.downloads).size(), 2);
}

TEST(StudioController, ReturningWhileRecordingChangesNothing)
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
}

TEST(StudioController, RecordingsThatFail)
{
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    // Stopped before any frame.
    c.startRecording();
    c.stopRecording();
    ASSERT_TRUE(waitForState(c, State::Failed));
    EXPECT_EQ(c.failureMessage(), QStringLiteral("Recording failed"));
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Recording failed"));
    // A writer that cannot be made: the temporary folder is gone. The camera runs on.
    // It leaves no file behind.
    EXPECT_FALSE(QFileInfo::exists(c.recordingPath()));
    ASSERT_TRUE(rig.temporary.remove());
    c.startRecording();
    EXPECT_EQ(c.state(), State::Failed);
    EXPECT_FALSE(c.failureMessage().isEmpty());
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Could not start recording"));
    EXPECT_TRUE(c.isSessionRunning());
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
    ASSERT_TRUE(rig.recordShortMovie());
    const QString temporary = c.recordingPath();
    const QString copy = c.outputURL().toLocalFile();
    c.setUploadMessage(QStringLiteral("Saved to x.mov"));
    QPointer<QObject> player = new QObject;
    c.setPreviewPlayer(player);
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
    EXPECT_EQ(c.previewPlayer(), nullptr);
    EXPECT_EQ(c.elapsed(), 0.0);
    ASSERT_TRUE(waitUntil([&] { return !QFileInfo::exists(temporary) && player.isNull(); }));
    EXPECT_TRUE(QFileInfo::exists(copy));
    ASSERT_TRUE(waitUntil([&] { return started == 1; }));
    EXPECT_EQ(c.statusMessage(), QStringLiteral("Camera ready"));

    // Reset while recording discards the movie entirely.
    c.startRecording();
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    const QString discarded = c.recordingPath();
    c.reset();
    ASSERT_TRUE(waitUntil([&] { return !QFileInfo::exists(discarded); }));
    spinFor(std::chrono::milliseconds(30));
    EXPECT_EQ(c.state(), State::Idle);
    EXPECT_EQ(filesIn(rig.downloads).size(), 1);
}

TEST(StudioController, OnlyCopyIsNeverDeleted)
{
    StudioRig rig;
    auto &c = *rig.controller;
    // A Downloads folder that cannot take the copy: it is gone.
    ASSERT_TRUE(rig.downloads.remove());
    ASSERT_TRUE(rig.recordShortMovie());
    const QString movie = c.recordingPath();
    EXPECT_EQ(c.outputURL().toLocalFile(), movie);

    // Record Again keeps it.
    c.startRecording();
    spinFor(std::chrono::milliseconds(30));
    EXPECT_TRUE(QFileInfo::exists(movie));
    c.reset();
    ASSERT_TRUE(rig.recordShortMovie());
    const QString second = c.recordingPath();
    // Reset keeps it too.
    c.reset();
    spinFor(std::chrono::milliseconds(30));
    EXPECT_TRUE(QFileInfo::exists(second));
}

TEST(StudioController, ARecordingRunningAtTheEndIsKept)
{
    // At quit: done before returning, without the event loop.
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(rig.startShortRecording());
    c.pauseRecording();
    const QString movie = c.recordingPath();
    c.finishBeforeQuit();
    EXPECT_EQ(c.state(), State::Ready);
    EXPECT_EQ(QFileInfo(c.outputURL().toLocalFile()).absolutePath(),
        QDir(rig.downloads.path()).absolutePath());
    // Copied: the working movie does not outlive the run.
    EXPECT_FALSE(QFileInfo::exists(movie));

    // When the controller goes.
    c.startRecording();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    rig.controller.reset();
    const QStringList kept = filesIn(rig.downloads);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_TRUE(kept.last().startsWith(QStringLiteral("Orvella Testimony ")));
}

// The temporary folder is shared with every user of the computer.
TEST(StudioController, TheWorkingMovieIsTheOwnersAloneAndItsDownloadsCopyAsAnyNewFile)
{
    const ScopedUmask groupReads(027);
    StudioRig rig;
    auto &c = *rig.controller;
    ASSERT_TRUE(startCamera(c));
    c.startRecording();
    // Before the first frame opens the writer.
    EXPECT_EQ(fileMode(c.recordingPath()), 0600);
    for (int i = 0; i < 3; ++i) {
        rig.pushAudioForFrame();
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    }
    c.stopRecording();
    ASSERT_TRUE(waitForState(c, State::Ready));
    EXPECT_GT(QFileInfo(c.recordingPath()).size(), 0);
    EXPECT_EQ(fileMode(c.recordingPath()), 0600);
    // A copy would take its source's mode; it gets what the umask gives a new file.
    EXPECT_EQ(fileMode(c.outputURL().toLocalFile()), 0640);
}

// The temporary folder is shared with every user of the computer: a copy kept there is the
// viewer's alone, as the working movie is, and outlives it.
TEST(StudioController, WithoutADownloadsFolderTheCopyGoesToTheTemporaryFolderTheOwnersAlone)
{
    const ScopedUmask anyoneReads(022);
    QTemporaryDir home;
    const ScopedHome user(home.path());
    StudioRig rig(cv::Mat(144, 256, CV_32F, cv::Scalar(1.0)), true, false, true);
    auto &c = *rig.controller;
    const QString downloads = QDir(home.path()).filePath(QStringLiteral("Downloads"));
    const QRegularExpression name(
        QStringLiteral(R"(^Orvella Testimony \d{4}-\d\d-\d\d \d\d\.\d\d\.\d\d( \(\d+\))?\.mov$)"));

    // No Downloads folder, then a file of that name.
    for (const bool asFile : { false, true }) {
        if (asFile) {
            QFile file(downloads);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(rig.recordShortMovie());
        const QString movie = c.recordingPath();
        const QFileInfo copy(c.outputURL().toLocalFile());
        EXPECT_EQ(copy.absolutePath(), QDir(rig.temporary.path()).absolutePath());
        EXPECT_TRUE(name.match(copy.fileName()).hasMatch()) << copy.fileName().toStdString();
        EXPECT_EQ(fileMode(copy.filePath()), 0600);
        EXPECT_GT(copy.size(), 0);
        EXPECT_EQ(readAll(copy.filePath()), readAll(movie));
        // At quit the working movie goes, the copy stays.
        c.finishBeforeQuit();
        EXPECT_FALSE(QFileInfo::exists(movie));
        EXPECT_EQ(fileMode(copy.filePath()), 0600);
    }

    // A Downloads folder takes the copy with the mode of any new file, as before.
    ASSERT_TRUE(QFile::remove(downloads));
    ASSERT_TRUE(QDir().mkdir(downloads));
    ASSERT_TRUE(rig.recordShortMovie());
    const QFileInfo copy(c.outputURL().toLocalFile());
    EXPECT_EQ(copy.absolutePath(), downloads);
    EXPECT_TRUE(name.match(copy.fileName()).hasMatch()) << copy.fileName().toStdString();
    EXPECT_EQ(fileMode(copy.filePath()), 0644);
    EXPECT_EQ(readAll(copy.filePath()), readAll(c.recordingPath()));
}

TEST(StudioController, AtQuitTheWorkingMovieGoesOnlyWhenAWholeCopyIsKept)
{
    StudioRig rig;
    auto &c = *rig.controller;
    // A recording being finished when the application quits is finished and copied first.
    ASSERT_TRUE(rig.startShortRecording());
    const QString movie = c.recordingPath();
    c.stopRecording();
    EXPECT_EQ(c.state(), State::Processing);
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    EXPECT_EQ(c.state(), State::Ready);
    const QFileInfo copy(c.outputURL().toLocalFile());
    EXPECT_EQ(copy.absolutePath(), QDir(rig.downloads.path()).absolutePath());
    EXPECT_GT(copy.size(), 0);
    EXPECT_FALSE(QFileInfo::exists(movie));

    // A Downloads copy the viewer has removed since keeps nothing.
    ASSERT_TRUE(rig.recordShortMovie());
    const QString second = c.recordingPath();
    ASSERT_TRUE(QFile::remove(c.outputURL().toLocalFile()));
    c.finishBeforeQuit();
    EXPECT_TRUE(QFileInfo::exists(second));

    // Without a Downloads copy the working movie is the recording: it stays, private.
    ASSERT_TRUE(rig.downloads.remove());
    ASSERT_TRUE(rig.recordShortMovie());
    const QString only = c.recordingPath();
    ASSERT_EQ(c.outputURL().toLocalFile(), only);
    c.finishBeforeQuit();
    EXPECT_TRUE(QFileInfo::exists(only));
    EXPECT_EQ(fileMode(only), 0600);
    rig.controller.reset();
    EXPECT_TRUE(QFileInfo::exists(only));
}

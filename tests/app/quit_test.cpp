// Quitting mid-episode, by each way a viewer or the session has: the leave record reaches the
// service before the run ends, or is kept when the service does not answer in time. A recording
// in the studio is kept the same way.
#include "../platform/MovieProbe.h"
#include "QuitHarness.h"
#include "studio/StudioCaptureController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/ioctl.h>

namespace orvella::test {
namespace {

// The signals a process ignores ("SigIgn") or catches ("SigCgt"), as its status in /proc gives
// them: bit n - 1 for signal n.
quint64 signalMask(qint64 pid, QByteArrayView field)
{
    QFile status(u"/proc/%1/status"_qs.arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field) && line.size() > field.size() && line.at(field.size()) == ':')
            return line.mid(field.size() + 1).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}

TEST_F(Quitting, TheQuitKeysSendTheLeaveRecordBeforeTheRunEnds)
{
    QQuickWindow *window = playingAnEpisode();
    ASSERT_TRUE(window);
    quitAndCheckTheLeaveRecord([&] { QTest::keyClick(window, Qt::Key_Q, Qt::ControlModifier); });
    EXPECT_FALSE(window->isVisible()) << "the window goes at once";
    EXPECT_TRUE(find<QObject>(u"quitItem"_qs)) << "the File menu offers it too";
}

TEST_F(Quitting, TheCloseButtonQuitsTheSameWay)
{
    QQuickWindow *window = playingAnEpisode();
    ASSERT_TRUE(window);
    // The platform window delivers the close event as it does for the window manager's button.
    quitAndCheckTheLeaveRecord([&] { EXPECT_FALSE(window->close()) << "not closed alone"; });
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Quitting, SigtermAndSigintGoThroughTheEventLoop)
{
    for (const int signal : { SIGTERM, SIGINT }) {
        SCOPED_TRACE(signal);
        ASSERT_TRUE(playingAnEpisode());
        ASSERT_TRUE(requests->handlesSignals());
        quitAndCheckTheLeaveRecord([&] { std::raise(signal); });
        requests.reset();
        engine.reset();
        service.clearRequests();
        eventLoopEnds = 0;
    }
}

TEST_F(Quitting, AServiceThatDoesNotAnswerInTimeLeavesThePositionKept)
{
    QQuickWindow *window = playingAnEpisode();
    ASSERT_TRUE(window);
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}).withDelay(20s));
    model->quit();
    ASSERT_TRUE(service.waitForRequests("POST", "user/history", 2));
    spinFor(50ms);
    EXPECT_EQ(eventLoopEnds, 0) << "the run waits for the answer";
    clock.advance(AppModel::quitSettleBound);
    ASSERT_TRUE(waitUntil([&] { return eventLoopEnds == 1; }));
    const auto kept = ProgressReports::keptPosition(u"5001"_qs);
    ASSERT_TRUE(kept);
    EXPECT_GE(kept->position, 3);
    service.stop();
}

// The executable itself, against the double: SIGTERM and SIGHUP (its terminal closed) end it
// through its event loop, with a normal exit, also when they come with the first request the
// client sends, while it is still starting (its requests go out on their own thread before the
// window is built).
TEST_F(Quitting, TheClientEndsNormallyOnSigtermAndSighup)
{
    storeSession();
    for (const int signal : { SIGTERM, SIGHUP }) {
        SCOPED_TRACE(signal);
        QProcess client;
        // Whether or not this test runs under nohup.
        client.setChildProcessModifier([] { ::signal(SIGHUP, SIG_DFL); });
        startClient(client, service, u"offscreen"_qs);
        ASSERT_TRUE(client.waitForStarted());
        ASSERT_TRUE(service.waitForRequests(1, 30s));
        ::kill(pid_t(client.processId()), signal);
        expectEndedNormally(client);
        service.clearRequests();
    }
}

// Started with SIGHUP ignored, as nohup starts it, the client outlives its terminal: SIGHUP stays
// ignored (the kernel drops it, so it never reaches the client), and SIGTERM still ends the run.
TEST_F(Quitting, ASighupIgnoredAtStartStaysIgnored)
{
    storeSession();
    QProcess client;
    client.setChildProcessModifier([] { ::signal(SIGHUP, SIG_IGN); });
    startClient(client, service, u"offscreen"_qs);
    ASSERT_TRUE(client.waitForStarted());
    // The signals are set before the first request goes.
    ASSERT_TRUE(service.waitForRequests(1, 30s));
    const qint64 pid = client.processId();
    const auto bit = [](int signal) { return quint64(1) << (signal - 1); };
    EXPECT_TRUE(signalMask(pid, "SigCgt") & bit(SIGTERM)) << "the quit signals are caught";
    EXPECT_TRUE(signalMask(pid, "SigIgn") & bit(SIGHUP));
    EXPECT_FALSE(signalMask(pid, "SigCgt") & bit(SIGHUP));

    ::kill(pid_t(pid), SIGHUP);
    ASSERT_EQ(client.state(), QProcess::Running);
    ::kill(pid_t(pid), SIGTERM);
    expectEndedNormally(client);
}

// Recording in the studio when the terminal closes: the run ends as on Quit, and the recording
// is finished into a playable copy in Downloads before the client goes. More signals while it
// ends change nothing.
class QuittingWhileRecording : public Quitting
{
protected:
    void adjust(AppBuilder &builder) override
    {
        builder.studio([this](AppModel &) {
            StudioPlatform platform = StudioPlatform::testCamera();
            platform.downloadsFolder = downloads.path();
            platform.temporaryFolder = temporary.path();
            return std::make_unique<StudioCaptureController>(std::move(platform));
        });
    }

    QTemporaryDir downloads;
    QTemporaryDir temporary;
};

TEST_F(QuittingWhileRecording, SighupKeepsAPlayableCopy)
{
    struct sigaction hangUp
    {
    };
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &hangUp), 0);
    if (hangUp.sa_handler == SIG_IGN)
        GTEST_SKIP() << "this test runs with SIGHUP ignored (nohup), which the catcher keeps";
    ASSERT_NE(hangUp.sa_handler, SIG_DFL) << "SIGHUP is caught";
    AppModel &app = signedIn();
    requests = std::make_unique<QuitRequests>(app, quitSignals);
    ASSERT_TRUE(requests->handlesSignals());
    StudioCaptureController &capture = *app.testimonyCapture();
    runTask(capture.requestAccessAndStart());
    ASSERT_TRUE(capture.isSessionRunning());
    capture.startRecording();
    ASSERT_TRUE(waitUntil([&] { return capture.writtenFrameCount() >= 20; }, 20s));

    // The executable's loop emits this once it has ended; the studio finishes its recording then.
    whenEventLoopEnds = [] { QMetaObject::invokeMethod(qApp, "aboutToQuit"); };
    QObject::connect(&app, &AppModel::quitting, &app, [] {
        std::raise(SIGHUP);
        std::raise(SIGTERM);
    });
    std::raise(SIGHUP);
    ASSERT_TRUE(waitUntil([&] { return eventLoopEnds == 1; }, 10s));
    // The loop has read the signals that came while the run ended.
    ASSERT_TRUE(waitUntil([&] {
        int unread = 0;
        return ::ioctl(quitSignals.socket(), FIONREAD, &unread) == 0 && unread == 0;
    }));
    EXPECT_EQ(eventLoopEnds, 1);

    ASSERT_EQ(capture.state(), StudioCaptureController::State::Ready);
    const QString copy = capture.outputURL().toLocalFile();
    EXPECT_EQ(QFileInfo(copy).absolutePath(), QDir(downloads.path()).absolutePath());
    const MovieFacts facts = probeMovie(copy);
    ASSERT_TRUE(facts.opened);
    EXPECT_GE(facts.videoFrames, 20);
    EXPECT_GT(facts.videoDuration, 0.5);
}

} // namespace
} // namespace orvella::test

// Quitting mid-episode, by each way a viewer or the session has: the leave record reaches the
// service before the run ends, or is kept when the service does not answer in time.
#include "ShellHarness.h"
#include "app/QuitRequests.h"
#include "core/KeptPositions.h"
#include "screens/programs/EpisodePlayerModel.h"
#include "support/SampleContent.h"

#include <QProcess>
#include <QTest>
#include <csignal>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class Quitting : public ShellHarness
{
protected:
    void SetUp() override
    {
        ShellHarness::SetUp();
        installSampleContent(service);
    }

    void TearDown() override
    {
        requests.reset();
        ShellHarness::TearDown();
    }

    // The window playing the 8-second sample episode, a few seconds in, with the close button
    // and the signals routed as the executable routes them.
    QQuickWindow *playingAnEpisode()
    {
        AppModel &app = signedIn();
        QQuickWindow *window = loadWindow();
        if (!window)
            return nullptr;
        requests.reset();
        requests = std::make_unique<QuitRequests>(app);
        requests->watch(window);
        window->show();
        window->requestActivate();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        app.openEpisode(u"5001"_qs);
        const bool played = waitUntil(
            [&] {
                auto *screen = window->findChild<EpisodePlayerModel *>();
                if (!screen || !screen->ready())
                    return false;
                screen->player()->refreshTime();
                return screen->player()->currentTime() > 3;
            },
            20s);
        EXPECT_TRUE(played) << "the episode did not play";
        return played ? window : nullptr;
    }

    // The positions the service was sent, in order.
    [[nodiscard]] QList<int> postedPositions() const
    {
        QList<int> positions;
        for (const RecordedRequest &request : service.requests("POST", "user/history"))
            positions.append(request.json().object().value("position").toInt());
        return positions;
    }

    // What the service had been sent when the run ended.
    void quitAndCheckTheLeaveRecord(const std::function<void()> &quit)
    {
        QList<int> sentByTheEnd;
        whenEventLoopEnds = [&] { sentByTheEnd = postedPositions(); };
        quit();
        ASSERT_TRUE(waitUntil([&] { return eventLoopEnds == 1; }, 5s));
        ASSERT_EQ(sentByTheEnd.size(), 2) << "the start record and the leave record";
        EXPECT_EQ(sentByTheEnd.first(), 0);
        EXPECT_GE(sentByTheEnd.last(), 3) << "where the viewer was";
        EXPECT_FALSE(QSettings().contains(KeptPositions::settingsKey));
        spinFor(50ms);
        EXPECT_EQ(eventLoopEnds, 1);
    }

    std::unique_ptr<QuitRequests> requests;
};

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

// The executable itself, against the double: SIGTERM ends it through its event loop, with a
// normal exit.
TEST_F(Quitting, TheClientEndsNormallyOnSigterm)
{
    storeSession();
    QProcess client;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"ORVELLA_API_BASE"_qs, service.origin().toString());
    environment.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
    // How the process ends is the question here. The executable ends its run with the start-up
    // requests still on their way, whose coroutines the leak checker would report at exit.
    environment.insert(
        u"ASAN_OPTIONS"_qs, environment.value(u"ASAN_OPTIONS"_qs) + u":detect_leaks=0"_qs);
    client.setProcessEnvironment(environment);
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(QStringLiteral(ORVELLA_CLIENT_EXECUTABLE), {});
    ASSERT_TRUE(client.waitForStarted());
    ASSERT_TRUE(service.waitForRequests("GET", "tv/config", 1, 30s));
    ::kill(pid_t(client.processId()), SIGTERM);
    ASSERT_TRUE(waitUntil([&] { return client.state() == QProcess::NotRunning; }, 10s));
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 0);
}

} // namespace
} // namespace orvella::test

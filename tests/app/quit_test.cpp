// Quitting mid-episode, by each way a viewer or the session has: the leave record reaches the
// service before the run ends, or is kept when the service does not answer in time.
#include "QuitHarness.h"

#include <csignal>

namespace orvella::test {
namespace {

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
// normal exit, also when it comes with the first request the client sends, while it is still
// starting (its requests go out on their own thread before the window is built).
TEST_F(Quitting, TheClientEndsNormallyOnSigterm)
{
    storeSession();
    QProcess client;
    startClient(client, service, u"offscreen"_qs);
    ASSERT_TRUE(client.waitForStarted());
    ASSERT_TRUE(service.waitForRequests(1, 30s));
    ::kill(pid_t(client.processId()), SIGTERM);
    expectEndedNormally(client);
}

} // namespace
} // namespace orvella::test

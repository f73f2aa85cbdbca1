#pragma once

// The window playing an episode, with the close button, the window's loss and the signals routed
// as the executable routes them, and what the service had been sent when the run ended.

#include "ShellHarness.h"
#include "app/QuitRequests.h"
#include "app/QuitSignals.h"
#include "core/KeptPositions.h"
#include "screens/programs/EpisodePlayerModel.h"
#include "support/SampleContent.h"

#include <QProcess>
#include <QTest>

namespace orvella::test {

using namespace std::chrono_literals;

// Starts the executable against `service`, on `platform` when given, else on the test's own.
// How the process ends is the question: the leak checker is off, since a run may end with the
// start-up requests still on their way, whose coroutines it would report at exit.
inline void startClient(
    QProcess &client, const ServiceDouble &service, const QString &platform = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"ORVELLA_API_BASE"_qs, service.origin().toString());
    if (!platform.isEmpty())
        environment.insert(u"QT_QPA_PLATFORM"_qs, platform);
    environment.insert(
        u"ASAN_OPTIONS"_qs, environment.value(u"ASAN_OPTIONS"_qs) + u":detect_leaks=0"_qs);
    client.setProcessEnvironment(environment);
    client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    client.start(QStringLiteral(ORVELLA_CLIENT_EXECUTABLE), {});
}

// The executable ended its run through its event loop, with a normal exit.
inline void expectEndedNormally(QProcess &client)
{
    ASSERT_TRUE(waitUntil([&] { return client.state() == QProcess::NotRunning; }, 10s))
        << "still running";
    EXPECT_EQ(client.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(client.exitCode(), 0);
}

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
        requests = std::make_unique<QuitRequests>(app, quitSignals);
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

    QuitSignals quitSignals;
    std::unique_ptr<QuitRequests> requests;
};

} // namespace orvella::test

// Opening and leaving many episode screens with real players: every player goes with its
// screen and no thread stays behind (the sanitizer build checks the memory). Built twice: offscreen
// (software frames) and, labelled "gl", on a virtual display through OpenGL.
#include "EpisodeScreenHarness.h"
#include "player/VideoSurface.h"
#include "support/SampleContent.h"

#include <QFile>
#include <QGuiApplication>
#include <QThreadPool>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

// A number of /proc/self/status ("Threads").
qint64 selfStatus(const QByteArray &field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// The threads the process holds, less the shared pool's idle workers (they stay up to 30 s after
// their last task, however many screens came and went).
qint64 threadsHeld()
{
    QThreadPool::globalInstance()->waitForDone();
    return selfStatus("Threads");
}

class EpisodeScreenSoak : public EpisodeScreenHarness
{
};

TEST_F(EpisodeScreenSoak, TwentyScreensOpenAndLeaveWithoutLeftovers)
{
#ifdef ORVELLA_GL_TEST
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
#endif
    installSampleContent(service);
    AppModel &app = signedIn();
    std::vector<QPointer<MediaPlayer>> players;
    qint64 threads = 0;
    for (int i = 0; i < 20; ++i) {
        Built screen = buildScreen(app, i % 2 ? u"5001"_qs : u"5002"_qs);
        ASSERT_TRUE(screen.model);
        players.emplace_back(screen.model->player()->player());
        // Leave some while loading, the others once they play.
        if (i % 3 != 0) {
            auto *video = screen.item->findChild<VideoSurface *>(QStringLiteral("episodeVideo"));
            ASSERT_TRUE(video);
            ASSERT_TRUE(waitUntil([&] { return video->framesShown() > 0; }, 15s));
        }
        screen.item.reset();
        spinFor(30ms);
        if (i == 4)
            threads = threadsHeld(); // a warmed-up process with no screen open
    }
    for (const QPointer<MediaPlayer> &player : players)
        EXPECT_FALSE(player) << "a player outlived its screen";
    EXPECT_TRUE(waitUntil([&] { return threadsHeld() <= threads; }, 5s))
        << threadsHeld() << " threads against " << threads;
    EXPECT_EQ(claims, 0);
}

} // namespace
} // namespace orvella::test

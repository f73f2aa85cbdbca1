// Opening and leaving many episode screens with real players: every player goes with its
// screen and no thread stays behind (the sanitizer build checks the memory). Built twice: offscreen
// (software frames) and, labelled "gl", on a virtual display through OpenGL.
#include "EpisodeScreenHarness.h"
#include "player/VideoSurface.h"
#include "support/SampleContent.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

// The names of the threads the process holds, less the thread pools' workers: they stay up to
// 30 s after their last task, and how many there are depends on how the work fell, not on the
// screens that came and went.
QStringList threadsHeld()
{
    QStringList names;
    for (const QString &task :
        QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (!comm.open(QIODevice::ReadOnly))
            continue;
        const QString name = QString::fromUtf8(comm.readAll().trimmed());
        // The shared pool's, the picture decoders' and the API client's decoding threads (the
        // system keeps 15 characters of a name).
        static const QStringList pooled { QStringLiteral("Thread (pooled)"),
            QStringLiteral("ImageDecoder"), QStringLiteral("orvella-api-dec") };
        if (!pooled.contains(name))
            names << name;
    }
    names.sort();
    return names;
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
    QStringList threads;
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
    EXPECT_TRUE(waitUntil([&] { return threadsHeld().size() <= threads.size(); }, 5s))
        << threadsHeld().join(u", ").toStdString() << " against "
        << threads.join(u", ").toStdString();
    EXPECT_EQ(claims, 0);
}

} // namespace
} // namespace orvella::test

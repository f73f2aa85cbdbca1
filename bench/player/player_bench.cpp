// Start-up of the live fixture: from load to the first picture through the player controller
// and the video surface, against bare libmpv (loadfile to its first playback-restart) on the
// same stream in the same run. Also the resident memory while playing the 720p variant.
#include "PlayerBench.h"
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "player/VideoSurface.h"
#include "support/ProcessMemory.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>
#include <QQuickWindow>
#include <clocale>
#include <mpv/client.h>

using namespace orvella;
using namespace std::chrono_literals;

namespace {

using bench::service;

QUrl liveUrl()
{
    return service().mediaUrl(QStringLiteral("live/master.m3u8"));
}

// Bare libmpv, set up as the player sets it up, without any of our layers.
double bareStartMs()
{
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle *mpv = mpv_create();
    for (const auto &[name, value] :
        { std::pair { "vo", "null" }, { "hwdec", "no" }, { "ytdl", "no" }, { "terminal", "no" },
            { "mute", "yes" }, { "cache", "yes" }, { "keep-open", "yes" } })
        mpv_set_option_string(mpv, name, value);
    mpv_initialize(mpv);
    const QByteArray url = liveUrl().toString().toUtf8();
    const char *command[] = { "loadfile", url.constData(), nullptr };
    QElapsedTimer timer;
    timer.start();
    mpv_command_async(mpv, 0, command);
    double elapsed = -1;
    while (elapsed < 0 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents();
        const mpv_event *event = mpv_wait_event(mpv, 0.001);
        if (event->event_id == MPV_EVENT_PLAYBACK_RESTART)
            elapsed = double(timer.nsecsElapsed()) / 1e6;
    }
    mpv_terminate_destroy(mpv);
    return elapsed;
}

// The client's path: controller, libmpv player and video surface in a window.
double clientStartMs()
{
    QQuickWindow window;
    window.resize(640, 360);
    auto owned = std::make_unique<MpvMediaPlayer>();
    owned->setMuted(true);
    PlayerController controller(std::move(owned));
    VideoSurface surface(window.contentItem());
    surface.setSize({ 640, 360 });
    surface.setPlayer(controller.player());
    window.show();
    QElapsedTimer timer;
    timer.start();
    controller.load(liveUrl(), true, std::nullopt, true);
    if (!test::waitUntil([&] { return surface.framesShown() > 0; }, 10s))
        return -1;
    return double(timer.nsecsElapsed()) / 1e6;
}

void BM_LoadToFirstFrame(benchmark::State &state)
{
    double client = 0;
    double bare = 0;
    int runs = 0;
    for (auto _ : state) {
        const double b = bareStartMs();
        const double c = clientStartMs();
        if (b < 0 || c < 0) {
            state.SkipWithError("the stream did not start");
            return;
        }
        bare += b;
        client += c;
        ++runs;
    }
    state.counters["client_ms"] = client / runs;
    state.counters["bare_mpv_ms"] = bare / runs;
    state.counters["ratio"] = client / bare;
}

void BM_ResidentWhilePlaying720p(benchmark::State &state)
{
    double rss = 0;
    for (auto _ : state) {
        QQuickWindow window;
        window.resize(1280, 720);
        auto owned = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
        owned->setMuted(true);
        MpvMediaPlayer *player = owned.get();
        PlayerController controller(std::move(owned));
        VideoSurface surface(window.contentItem());
        surface.setSize({ 1280, 720 });
        surface.setPlayer(controller.player());
        window.show();
        controller.load(
            service().mediaUrl(QStringLiteral("live/720p/index.m3u8")), true, std::nullopt, true);
        if (!test::waitUntil([&] { return player->presentationSize().height() == 720; }, 10s)) {
            state.SkipWithError("720p did not play");
            return;
        }
        test::spinFor(4s);
        rss = test::residentMegabytes();
    }
    state.counters["rss_mb"] = rss;
}

BENCHMARK(BM_LoadToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ResidentWhilePlaying720p)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}

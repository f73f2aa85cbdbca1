// The generated HLS fixtures play through libmpv headless (no video or audio output), served by
// the double: the pattern playback tests follow, and proof the fixtures are playable.

#include "support/ServiceDoubleTest.h"
#include "support/TestAsync.h"

#include <QMetaObject>
#include <QPointer>
#include <clocale>
#include <gtest/gtest.h>
#include <memory>
#include <mpv/client.h>

using namespace std::chrono_literals;
using orvella::test::ScriptedAnswer;
using orvella::test::ServiceDouble;

namespace {

// One headless mpv core whose events are drained on the Qt thread, which must keep running:
// the double answers mpv's requests from the same event loop.
class HeadlessMpv : public QObject
{
public:
    HeadlessMpv()
        : m_handle(mpv_create(), &mpv_terminate_destroy)
    {
        std::setlocale(LC_NUMERIC, "C");
        for (const auto &[name, value] : { std::pair { "vo", "null" }, { "ao", "null" },
                 { "terminal", "no" }, { "ytdl", "no" }, { "hwdec", "no" } })
            mpv_set_option_string(m_handle.get(), name, value);
        mpv_initialize(m_handle.get());
        mpv_set_wakeup_callback(
            m_handle.get(),
            [](void *context) {
                QMetaObject::invokeMethod(
                    static_cast<HeadlessMpv *>(context), &HeadlessMpv::drain, Qt::QueuedConnection);
            },
            this);
    }
    ~HeadlessMpv() override { mpv_set_wakeup_callback(m_handle.get(), nullptr, nullptr); }

    void load(const QUrl &url)
    {
        const QByteArray address = url.toString().toUtf8();
        const char *command[] = { "loadfile", address.constData(), nullptr };
        mpv_command(m_handle.get(), command);
    }

    int restarts = 0;
    int endReason = -1;

private:
    void drain()
    {
        while (true) {
            const mpv_event *event = mpv_wait_event(m_handle.get(), 0);
            if (event->event_id == MPV_EVENT_NONE)
                return;
            if (event->event_id == MPV_EVENT_PLAYBACK_RESTART)
                ++restarts;
            if (event->event_id == MPV_EVENT_END_FILE)
                endReason = static_cast<const mpv_event_end_file *>(event->data)->reason;
        }
    }

    std::unique_ptr<mpv_handle, decltype(&mpv_terminate_destroy)> m_handle;
};

using PlaybackHarness = orvella::test::ServiceDoubleTest;

TEST_F(PlaybackHarness, MasterPlaylistPlaysToItsFirstPlaybackRestart)
{
    HeadlessMpv player;
    player.load(service.mediaUrl("multi/master.m3u8"));
    ASSERT_TRUE(orvella::test::waitUntil([&] { return player.restarts > 0; }, 10s))
        << "end reason " << player.endReason;
    EXPECT_FALSE(service.requests("GET", "/media/multi/*").isEmpty());
    EXPECT_FALSE(service.requests("GET", "/media/multi/240p/*").isEmpty()
        && service.requests("GET", "/media/multi/480p/*").isEmpty()
        && service.requests("GET", "/media/multi/720p/*").isEmpty());
}

TEST_F(PlaybackHarness, LiveWindowPlaysToItsFirstPlaybackRestart)
{
    HeadlessMpv player;
    player.load(service.mediaUrl("live/480p/index.m3u8"));
    ASSERT_TRUE(orvella::test::waitUntil([&] { return player.restarts > 0; }, 10s));
}

TEST_F(PlaybackHarness, AMissingMasterPlaylistEndsTheFileWithAnError)
{
    service.on("GET", "/media/multi/master.m3u8", ScriptedAnswer::empty(404));
    HeadlessMpv player;
    player.load(service.mediaUrl("multi/master.m3u8"));
    ASSERT_TRUE(orvella::test::waitUntil([&] { return player.endReason >= 0; }, 10s));
    EXPECT_EQ(player.endReason, MPV_END_FILE_REASON_ERROR);
    EXPECT_EQ(player.restarts, 0);
}

} // namespace

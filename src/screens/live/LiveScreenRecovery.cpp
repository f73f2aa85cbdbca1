// The live screen's playback supervision: the stream load, the offline poll, the watchdog,
// the stall recovery and the spaced reload.
#include "api/MediaURL.h"
#include "app/AppModel.h"
#include "platform/Clock.h"
#include "player/PlayerController.h"
#include "screens/live/LiveScreenModel.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto watchdogInterval = 15s;
constexpr auto offlinePollInterval = 60s;
constexpr auto stallGrace = 4s;
constexpr auto recoverySpacing = 30s;
// Below this the player counts as stopped.
constexpr double playingRate = 0.01;
constexpr int stallsBeforeRecovery = 2;
} // namespace

QCoro::Task<> LiveScreenModel::loadStream(bool force)
{
    QPointer self(this);
    if (!m_app)
        co_return;
    setErrorText(std::nullopt);
    const auto answer = co_await m_app->loadLiveStream(m_app->settings()->streamLanguage(), force);
    if (!self || !m_app)
        co_return;
    if (!answer) {
        setErrorText(QStringLiteral("Live stream is temporarily unavailable."));
        startOfflinePolling();
        co_return;
    }
    setStream(answer);
    // A present but unusable HLS address does not fall back to the other one.
    const auto url = MediaURL::make(answer->hls_url ? answer->hls_url : answer->stream_url);
    const bool live = answer->is_live
        ? *answer->is_live
        : answer->status.value_or(QString()).toLower() == QLatin1String("live");
    if (!url) {
        setErrorText(live ? QStringLiteral("Stream URL unavailable.")
                          : QStringLiteral("The live stream is currently offline."));
        startOfflinePolling();
        co_return;
    }
    PlayerController *controller = player();
    controller->load(*url, livePlaybackAllowed(), std::nullopt, live);
    controller->setQuality(m_app->settings()->preferredQuality());
    setRecoveringPlayback(false);
    applyCaptions();
}

QCoro::Task<> LiveScreenModel::applyCaptions()
{
    QPointer self(this);
    if (!m_app)
        co_return;
    // The settings are read when the task runs.
    SettingsModel *settings = m_app->settings();
    QPointer<PlayerController> controller = player();
    co_await controller->setCaptions(settings->captionsEnabled(), settings->captionLanguage());
}

void LiveScreenModel::startOfflinePolling()
{
    offlinePoll(restart(m_offlinePollTask));
}

QCoro::Task<> LiveScreenModel::offlinePoll(std::stop_token stop)
{
    QPointer self(this);
    Clock *clock = m_clock;
    for (;;) {
        if (stop.stop_requested())
            co_return;
        co_await clock->sleep(offlinePollInterval, stop);
        if (!self || stop.stop_requested() || !livePlaybackAllowed())
            co_return;
        co_await loadStream(true);
        if (!self || player()->hasCurrentItem())
            co_return;
    }
}

void LiveScreenModel::startPlaybackWatchdog()
{
    watchdog(restart(m_watchdogTask));
}

QCoro::Task<> LiveScreenModel::watchdog(std::stop_token stop)
{
    QPointer self(this);
    Clock *clock = m_clock;
    for (;;) {
        if (stop.stop_requested())
            co_return;
        co_await clock->sleep(watchdogInterval, stop);
        if (!self || stop.stop_requested())
            co_return;
        if (!livePlaybackAllowed() || !player()->wantsPlayback()) {
            m_watchdogStallCount = 0;
            continue;
        }
        guardOn();
        if (!player()->hasCurrentItem()) {
            co_await loadStream(true);
            if (!self)
                co_return;
            playNudge();
            continue;
        }
        if (playerRate() > playingRate) {
            m_watchdogStallCount = 0;
            continue;
        }
        if (player()->hasCurrentItem() && isBuffering()) {
            playNudge();
            continue;
        }
        ++m_watchdogStallCount;
        playNudge();
        if (m_watchdogStallCount >= stallsBeforeRecovery) {
            m_watchdogStallCount = 0;
            co_await recoverPlayback();
            if (!self)
                co_return;
        }
    }
}

void LiveScreenModel::scheduleStallRecovery()
{
    if (!livePlaybackAllowed() || m_recoveringPlayback || !player()->wantsPlayback())
        return;
    setRecoveringPlayback(true);
    stallRecovery();
}

QCoro::Task<> LiveScreenModel::stallRecovery()
{
    QPointer self(this);
    Clock *clock = m_clock;
    playNudge();
    guardOn();
    co_await clock->sleep(stallGrace, {});
    if (!self)
        co_return;
    if (!livePlaybackAllowed() || !player()->wantsPlayback() || playerRate() > playingRate) {
        setRecoveringPlayback(false);
        co_return;
    }
    if (player()->hasCurrentItem() && isBuffering()) {
        playNudge();
        setRecoveringPlayback(false);
        co_return;
    }
    co_await loadStream(true);
    if (!self)
        co_return;
    playNudge();
    guardOn();
    setRecoveringPlayback(false);
}

QCoro::Task<> LiveScreenModel::recoverPlayback()
{
    QPointer self(this);
    if (!livePlaybackAllowed() || m_recoveringPlayback)
        co_return;
    const auto now = m_clock->now();
    if (m_lastRecoveryAt && now - *m_lastRecoveryAt <= recoverySpacing)
        co_return;
    m_lastRecoveryAt = now;
    setRecoveringPlayback(true);
    // The reload drops any cap; the stored preference stays.
    player()->setQuality(QStringLiteral("Auto"));
    co_await loadStream(true);
    if (!self)
        co_return;
    if (livePlaybackAllowed()) {
        playNudge();
        guardOn();
    }
    setRecoveringPlayback(false);
}

QCoro::Task<> LiveScreenModel::refreshLive()
{
    QPointer self(this);
    setQualityOpen(false);
    setErrorText(std::nullopt);
    if (!player())
        co_return;
    if (!player()->hasCurrentItem()) {
        co_await loadStream(true);
        if (!self)
            co_return;
        playNudge();
        revealControls();
        co_return;
    }
    co_await player()->resumeLiveAtEdge();
    if (!self)
        co_return;
    playNudge();
    revealControls();
    loadStream(true);
}

} // namespace orvella

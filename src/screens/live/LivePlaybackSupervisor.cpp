#include "screens/live/LivePlaybackSupervisor.h"

#include "platform/Clock.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"

#include <QPointer>

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

LivePlaybackSupervisor::LivePlaybackSupervisor(
    LivePlaybackHost &host, PlayerController &player, PlaybackSleepGuard &guard, Clock &clock)
    : m_host(host)
    , m_player(player)
    , m_guard(guard)
    , m_clock(clock)
{
    // The player's failure and stall counters start the recoveries.
    m_onFailure = QObject::connect(
        &player, &PlayerController::failedGenerationChanged, &player, [this](int value) {
            if (value >= 1)
                recoverPlayback();
        });
    m_onStall = QObject::connect(
        &player, &PlayerController::stalledGenerationChanged, &player, [this](int value) {
            if (value >= 1)
                scheduleStallRecovery();
        });
}

LivePlaybackSupervisor::~LivePlaybackSupervisor()
{
    QObject::disconnect(m_onFailure);
    QObject::disconnect(m_onStall);
    stop();
    m_stallRecoveryTask.request_stop();
}

void LivePlaybackSupervisor::stop()
{
    m_offlinePollTask.request_stop();
    m_watchdogTask.request_stop();
    m_deferredRecoveryTask.request_stop();
    m_recoveryWaiting = false;
}

void LivePlaybackSupervisor::setStream(std::optional<LiveStreamData> stream)
{
    m_stream = std::move(stream);
    m_host.supervisionChanged(LivePlaybackHost::Change::Stream);
}

void LivePlaybackSupervisor::setErrorText(std::optional<QString> text)
{
    if (m_errorText == text)
        return;
    m_errorText = std::move(text);
    m_host.supervisionChanged(LivePlaybackHost::Change::ErrorText);
}

void LivePlaybackSupervisor::setRecovering(bool value)
{
    if (m_recovering == value)
        return;
    m_recovering = value;
    m_host.supervisionChanged(LivePlaybackHost::Change::Recovering);
}

void LivePlaybackSupervisor::nudge()
{
    m_player.nudgePlay();
}

void LivePlaybackSupervisor::holdDisplayAwake()
{
    // Off live another player may hold the display: never take it from that one.
    if (m_host.liveOnScreen())
        m_guard.playerShown(&m_player, true);
}

bool LivePlaybackSupervisor::hasFailed() const
{
    return m_player.player()->itemStatus() == MediaPlayer::ItemStatus::Failed;
}

bool LivePlaybackSupervisor::isBuffering() const
{
    // After a failure the cache reads as empty for good: a failed item is stopped, not waiting.
    const MediaPlayer *media = m_player.player();
    return media->hasCurrentItem() && !hasFailed()
        && (!media->isPlaybackLikelyToKeepUp() || media->isPlaybackBufferEmpty());
}

bool LivePlaybackSupervisor::isAdvancing() const
{
    return !hasFailed() && m_player.player()->rate() > playingRate;
}

QCoro::Task<> LivePlaybackSupervisor::loadStream(bool force)
{
    const std::weak_ptr<const bool> alive = m_alive;
    setErrorText(std::nullopt);
    const QString language = m_host.preferences().streamLanguage;
    m_requestedLanguage = language;
    auto fetch = m_host.fetchLiveStream(language, force);
    const std::optional<LiveStreamData> answer = co_await std::move(fetch);
    if (alive.expired())
        co_return;
    if (!answer) {
        setErrorText(QStringLiteral("Live stream is temporarily unavailable."));
        startOfflinePolling();
        co_return;
    }
    setStream(answer);
    const auto url = answer->playableURL();
    const bool live = answer->isLiveNow();
    if (!url) {
        setErrorText(live ? QStringLiteral("Stream URL unavailable.")
                          : QStringLiteral("The live stream is currently offline."));
        startOfflinePolling();
        co_return;
    }
    m_player.load(*url, m_host.liveOnScreen(), std::nullopt, live);
    m_player.setQuality(m_host.preferences().quality);
    setRecovering(false);
    applyCaptions();
}

QCoro::Task<> LivePlaybackSupervisor::applyCaptions()
{
    // The choices are read when the task runs.
    const LivePlaybackPreferences preferences = m_host.preferences();
    QPointer<PlayerController> player = &m_player;
    auto task = player->setCaptions(preferences.captions, preferences.captionLanguage);
    co_await std::move(task);
}

void LivePlaybackSupervisor::startOfflinePolling()
{
    offlinePoll(renewStop(m_offlinePollTask));
}

QCoro::Task<> LivePlaybackSupervisor::offlinePoll(std::stop_token stop)
{
    const std::weak_ptr<const bool> alive = m_alive;
    Clock &clock = m_clock;
    for (;;) {
        if (stop.stop_requested())
            co_return;
        co_await clock.sleep(offlinePollInterval, stop);
        if (alive.expired() || stop.stop_requested() || !m_host.liveOnScreen())
            co_return;
        co_await loadStream(true);
        if (alive.expired() || m_player.hasCurrentItem())
            co_return;
    }
}

void LivePlaybackSupervisor::startWatchdog()
{
    watchdog(renewStop(m_watchdogTask));
}

QCoro::Task<> LivePlaybackSupervisor::watchdog(std::stop_token stop)
{
    const std::weak_ptr<const bool> alive = m_alive;
    Clock &clock = m_clock;
    for (;;) {
        if (stop.stop_requested())
            co_return;
        co_await clock.sleep(watchdogInterval, stop);
        if (alive.expired() || stop.stop_requested())
            co_return;
        if (!m_host.liveOnScreen() || !m_player.wantsPlayback()) {
            m_watchdogStallCount = 0;
            continue;
        }
        holdDisplayAwake();
        if (!m_player.hasCurrentItem()) {
            co_await loadStream(true);
            if (alive.expired())
                co_return;
            nudge();
            continue;
        }
        if (isAdvancing()) {
            m_watchdogStallCount = 0;
            continue;
        }
        if (isBuffering()) {
            nudge();
            continue;
        }
        ++m_watchdogStallCount;
        nudge();
        if (m_watchdogStallCount >= stallsBeforeRecovery) {
            m_watchdogStallCount = 0;
            co_await recoverPlayback();
            if (alive.expired())
                co_return;
        }
    }
}

void LivePlaybackSupervisor::scheduleStallRecovery()
{
    if (!m_host.liveOnScreen() || m_recovering || !m_player.wantsPlayback())
        return;
    setRecovering(true);
    stallRecovery(renewStop(m_stallRecoveryTask));
}

QCoro::Task<> LivePlaybackSupervisor::stallRecovery(std::stop_token stop)
{
    const std::weak_ptr<const bool> alive = m_alive;
    nudge();
    holdDisplayAwake();
    co_await m_clock.sleep(stallGrace, stop);
    if (alive.expired())
        co_return;
    if (stop.stop_requested() || !m_host.liveOnScreen() || !m_player.wantsPlayback()
        || isAdvancing()) {
        setRecovering(false);
        co_return;
    }
    if (isBuffering()) {
        nudge();
        setRecovering(false);
        co_return;
    }
    if (!takeReloadSlot()) {
        setRecovering(false);
        co_return;
    }
    co_await loadStream(true);
    if (alive.expired())
        co_return;
    nudge();
    holdDisplayAwake();
    setRecovering(false);
}

bool LivePlaybackSupervisor::takeReloadSlot()
{
    const auto now = m_clock.now();
    if (!m_lastRecoveryAt || now - *m_lastRecoveryAt > recoverySpacing) {
        m_lastRecoveryAt = now;
        return true;
    }
    if (!m_recoveryWaiting) {
        m_recoveryWaiting = true;
        const auto wait = *m_lastRecoveryAt + recoverySpacing + 1ms - now;
        deferredRecovery(wait, renewStop(m_deferredRecoveryTask));
    }
    return false;
}

QCoro::Task<> LivePlaybackSupervisor::deferredRecovery(
    std::chrono::milliseconds wait, std::stop_token stop)
{
    const std::weak_ptr<const bool> alive = m_alive;
    co_await m_clock.sleep(wait, stop);
    if (alive.expired() || stop.stop_requested())
        co_return;
    m_recoveryWaiting = false;
    // Healed meanwhile, or paused by the viewer: nothing to do.
    if (!m_player.wantsPlayback() || isAdvancing())
        co_return;
    co_await recoverPlayback();
}

QCoro::Task<> LivePlaybackSupervisor::recoverPlayback()
{
    const std::weak_ptr<const bool> alive = m_alive;
    if (!m_host.liveOnScreen() || m_recovering || !takeReloadSlot())
        co_return;
    setRecovering(true);
    // The reload drops any cap; the stored preference stays.
    m_player.setQuality(QStringLiteral("Auto"));
    co_await loadStream(true);
    if (alive.expired())
        co_return;
    if (m_host.liveOnScreen()) {
        nudge();
        holdDisplayAwake();
    }
    setRecovering(false);
}

QCoro::Task<> LivePlaybackSupervisor::refresh()
{
    const std::weak_ptr<const bool> alive = m_alive;
    setErrorText(std::nullopt);
    if (!m_player.hasCurrentItem()) {
        co_await loadStream(true);
        if (alive.expired())
            co_return;
        nudge();
        co_return;
    }
    QPointer<PlayerController> player = &m_player;
    auto resume = player->resumeLiveAtEdge();
    co_await std::move(resume);
    if (alive.expired())
        co_return;
    nudge();
    loadStream(true);
}

} // namespace orvella

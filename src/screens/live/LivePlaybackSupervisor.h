#pragma once

#include "api/ContentModels.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>

namespace orvella {

class Clock;
class PlaybackSleepGuard;
class PlayerController;

// The viewer's choices the live load applies, read when a load runs.
struct LivePlaybackPreferences
{
    QString streamLanguage;
    QString quality;
    bool captions = false;
    QString captionLanguage;
};

// What the supervisor needs of the application around it.
class LivePlaybackHost
{
public:
    enum class Change { Stream, ErrorText, Recovering };

    virtual ~LivePlaybackHost() = default;
    // The live stream answer in a language (joined with a fetch in flight unless forced); none
    // when the service gave none.
    virtual QCoro::Task<std::optional<LiveStreamData>> fetchLiveStream(QString language, bool force)
        = 0;
    // True exactly while the live route is on screen.
    [[nodiscard]] virtual bool liveOnScreen() const = 0;
    [[nodiscard]] virtual LivePlaybackPreferences preferences() const = 0;
    virtual void supervisionChanged(Change change) = 0;
};

// Keeps the live channel playing in the live player: loads the stream, shows a one-line text
// and polls once a minute while it is missing or offline, and heals playback with a 15-second
// watchdog, a stall recovery and forced reloads spaced at least 30 seconds apart. A reload the
// spacing refuses waits for the end of the spacing instead of being dropped, and a failed item
// counts as stopped (never as buffering), so playback comes back after any outage. It holds
// the display awake while it keeps playback going on screen. The player must outlive it.
class LivePlaybackSupervisor
{
public:
    LivePlaybackSupervisor(
        LivePlaybackHost &host, PlayerController &player, PlaybackSleepGuard &guard, Clock &clock);
    LivePlaybackSupervisor(const LivePlaybackSupervisor &) = delete;
    LivePlaybackSupervisor &operator=(const LivePlaybackSupervisor &) = delete;
    ~LivePlaybackSupervisor();

    [[nodiscard]] const std::optional<LiveStreamData> &stream() const { return m_stream; }
    [[nodiscard]] const std::optional<QString> &errorText() const { return m_errorText; }
    [[nodiscard]] bool recovering() const { return m_recovering; }
    [[nodiscard]] int watchdogStallCount() const { return m_watchdogStallCount; }
    // The language of the last stream load, none before the first.
    [[nodiscard]] const std::optional<QString> &requestedLanguage() const
    {
        return m_requestedLanguage;
    }

    void setStream(std::optional<LiveStreamData> stream);
    void clearErrorText() { setErrorText(std::nullopt); }

    QCoro::Task<> loadStream(bool force);
    // Reloads (dropping any quality cap) unless a recovery runs; within 30 seconds of the last
    // recovery reload it waits for the end of the spacing.
    QCoro::Task<> recoverPlayback();
    // The Refresh action: back to the live edge and a fresh load.
    QCoro::Task<> refresh();
    QCoro::Task<> applyCaptions();
    void scheduleStallRecovery();
    void startOfflinePolling();
    void startWatchdog();
    // The screen went away: the poll, the watchdog and a waiting recovery end.
    void stop();

    // The play nudge: playback wanted, playing.
    void nudge();
    void holdDisplayAwake();

private:
    void setErrorText(std::optional<QString> text);
    void setRecovering(bool value);
    [[nodiscard]] bool hasFailed() const;
    [[nodiscard]] bool isBuffering() const;
    [[nodiscard]] bool isAdvancing() const;
    // Takes the spacing's slot for a reload now, or sets the reload to wait for its end.
    bool takeReloadSlot();
    QCoro::Task<> offlinePoll(std::stop_token stop);
    QCoro::Task<> watchdog(std::stop_token stop);
    QCoro::Task<> stallRecovery(std::stop_token stop);
    QCoro::Task<> deferredRecovery(std::chrono::milliseconds wait, std::stop_token stop);

    LivePlaybackHost &m_host;
    PlayerController &m_player;
    PlaybackSleepGuard &m_guard;
    Clock &m_clock;
    // Coroutines that outlive the supervisor find this expired after their awaits.
    std::shared_ptr<const bool> m_alive = std::make_shared<const bool>(true);

    std::optional<LiveStreamData> m_stream;
    std::optional<QString> m_errorText;
    std::optional<QString> m_requestedLanguage;
    bool m_recovering = false;
    bool m_recoveryWaiting = false;
    std::optional<std::chrono::milliseconds> m_lastRecoveryAt; // none: the distant past
    int m_watchdogStallCount = 0;

    QMetaObject::Connection m_onFailure;
    QMetaObject::Connection m_onStall;
    std::stop_source m_offlinePollTask;
    std::stop_source m_watchdogTask;
    std::stop_source m_stallRecoveryTask;
    std::stop_source m_deferredRecoveryTask;
};

} // namespace orvella

#pragma once

#include "api/ContentModels.h"
#include "core/MacRoute.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWindow>
#include <QtQml/qqmlregistration.h>
#include <chrono>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;

class Clock;
class PlaybackSleepGuard;
class PlayerController;

// The behaviour of the live screen: it loads the live stream into the app model's live player,
// applies the viewer's quality and captions, shows a one-line text when the stream is missing
// or offline and polls for it, keeps playback alive (stall recovery, a 15-second watchdog and
// forced reloads spaced at least 30 seconds apart), holds the display awake while the route is
// live, reloads the schedule every 300 seconds, hides its chrome 4 seconds after the last use,
// and runs the first-run welcome. The page only lays out what this publishes.
class LiveScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(orvella::PlayerController *player READ player NOTIFY appChanged)
    Q_PROPERTY(bool showControls READ showControls NOTIFY showControlsChanged)
    Q_PROPERTY(bool showSchedule READ showSchedule NOTIFY showScheduleChanged)
    Q_PROPERTY(bool qualityOpen READ qualityOpen NOTIFY qualityOpenChanged)
    Q_PROPERTY(bool showWelcome READ showWelcome NOTIFY showWelcomeChanged)
    Q_PROPERTY(double welcomeOpacity READ welcomeOpacity NOTIFY welcomeOpacityChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool hasError READ hasError NOTIFY errorTextChanged)
    Q_PROPERTY(bool recoveringPlayback READ recoveringPlayback NOTIFY recoveringPlaybackChanged)
    Q_PROPERTY(QString liveDisplayTitle READ liveDisplayTitle NOTIFY streamChanged)
    Q_PROPERTY(QString minister READ minister NOTIFY streamChanged)
    Q_PROPERTY(QString viewersLabel READ viewersLabel NOTIFY streamChanged)
    Q_PROPERTY(bool hasPoster READ hasPoster NOTIFY streamChanged)
    Q_PROPERTY(QString posterUrl READ posterUrl NOTIFY streamChanged)
    Q_PROPERTY(QString qualityLabel READ qualityLabel NOTIFY labelsChanged)
    Q_PROPERTY(QString dataRateLabel READ dataRateLabel NOTIFY labelsChanged)
    Q_PROPERTY(QString showingNextTitle READ showingNextTitle NOTIFY labelsChanged)
    Q_PROPERTY(QString selectedQuality READ selectedQuality NOTIFY labelsChanged)
    Q_PROPERTY(bool captionsEnabled READ captionsEnabled NOTIFY labelsChanged)
    Q_PROPERTY(bool menuPresented READ menuPresented NOTIFY menuPresentedChanged)

public:
    // The service's line under the title when the stream gives none.
    static constexpr const char *slogan = "Taking the Gospel to every home";
    static constexpr const char *onReason = "Orvella Live";
    static constexpr const char *offReason = "Orvella TV playback";

    explicit LiveScreenModel(QObject *parent = nullptr);
    ~LiveScreenModel() override;

    // Tests give the clock and the guard; by default the system clock and the shared guard.
    void setClock(Clock *clock) { m_clock = clock; }
    void setSleepGuard(PlaybackSleepGuard *guard) { m_guard = guard; }

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] PlayerController *player() const;

    [[nodiscard]] bool showControls() const { return m_showControls; }
    [[nodiscard]] bool showSchedule() const { return m_showSchedule; }
    [[nodiscard]] bool qualityOpen() const { return m_qualityOpen; }
    [[nodiscard]] bool showWelcome() const { return m_showWelcome; }
    [[nodiscard]] double welcomeOpacity() const { return m_welcomeOpacity; }
    [[nodiscard]] QString errorText() const { return m_errorText.value_or(QString()); }
    [[nodiscard]] bool hasError() const { return m_errorText.has_value(); }
    [[nodiscard]] bool recoveringPlayback() const { return m_recoveringPlayback; }
    [[nodiscard]] int watchdogStallCount() const { return m_watchdogStallCount; }
    [[nodiscard]] const std::optional<LiveStreamData> &stream() const { return m_stream; }
    [[nodiscard]] bool menuPresented() const;

    [[nodiscard]] QString liveDisplayTitle() const;
    [[nodiscard]] QString minister() const;
    [[nodiscard]] QString viewersLabel() const;
    [[nodiscard]] bool hasPoster() const;
    [[nodiscard]] QString posterUrl() const;
    [[nodiscard]] QString qualityLabel() const;
    [[nodiscard]] QString dataRateLabel() const;
    [[nodiscard]] QString showingNextTitle() const;
    [[nodiscard]] QString selectedQuality() const;
    [[nodiscard]] bool captionsEnabled() const;
    [[nodiscard]] bool livePlaybackAllowed() const;

    // Appearing and disappearing (the page calls these when it is built and torn down).
    Q_INVOKABLE void appear();
    Q_INVOKABLE void disappear();

    // Viewer actions.
    Q_INVOKABLE void revealControls();
    Q_INVOKABLE void pointerActivity() { revealControls(); }
    Q_INVOKABLE void hover(bool entered);
    Q_INVOKABLE void tapVideo();
    Q_INVOKABLE void toggleCaptions();
    Q_INVOKABLE void toggleQuality();
    Q_INVOKABLE void selectQuality(const QString &id);
    Q_INVOKABLE void dismissQuality();
    Q_INVOKABLE void openSchedule();
    Q_INVOKABLE void closeSchedule();
    Q_INVOKABLE void openMenu();
    Q_INVOKABLE void toggleFullScreen();
    // The window's own full-screen toggle.
    Q_INVOKABLE static void toggleWindowFullScreen(QWindow *window);
    Q_INVOKABLE void retry();
    Q_INVOKABLE void refresh();
    // The action bar's way out: languages, give, herald, testimony, programs.
    Q_INVOKABLE void open(orvella::MacRoute::Value route);

    // The operations the actions and tasks run (tests await them).
    QCoro::Task<> enterLive();
    QCoro::Task<> loadStream(bool force);
    QCoro::Task<> refreshLive();
    QCoro::Task<> recoverPlayback();
    void setQuality(const QString &id);
    void scheduleStallRecovery();
    void startOfflinePolling();
    void startPlaybackWatchdog();

signals:
    void appChanged();
    void showControlsChanged();
    void showScheduleChanged();
    void qualityOpenChanged();
    void showWelcomeChanged();
    void welcomeOpacityChanged();
    void errorTextChanged();
    void recoveringPlaybackChanged();
    void streamChanged();
    void labelsChanged();
    void menuPresentedChanged();
    // The page toggles its window's full screen.
    void fullScreenToggleRequested();

private:
    using Stop = std::stop_source;

    void setShowControls(bool value);
    void setShowSchedule(bool value);
    void setQualityOpen(bool value);
    void setShowWelcome(bool value);
    void setWelcomeOpacity(double value);
    void setErrorText(std::optional<QString> text);
    void setRecoveringPlayback(bool value);
    void setStream(std::optional<LiveStreamData> stream);
    void playNudge();
    void guardOn();
    void routeChanged();
    void failureCounterChanged(int value);
    void stallCounterChanged(int value);
    void endCounterChanged(int value);
    [[nodiscard]] bool isBuffering() const;
    [[nodiscard]] double playerRate() const;
    static std::stop_token restart(Stop &source);

    QCoro::Task<> hideTimer(std::stop_token stop);
    QCoro::Task<> offlinePoll(std::stop_token stop);
    QCoro::Task<> watchdog(std::stop_token stop);
    QCoro::Task<> stallRecovery();
    QCoro::Task<> scheduleRefreshLoop(std::stop_token stop);
    QCoro::Task<> welcomeFade(std::stop_token stop);
    QCoro::Task<> applyCaptions();
    QCoro::Task<> loadSchedule(bool force);
    QCoro::Task<> recoverAfterFailure();
    QCoro::Task<> resumeAtEdge();

    QPointer<AppModel> m_app;
    Clock *m_clock;
    PlaybackSleepGuard *m_guard;

    std::optional<LiveStreamData> m_stream;
    bool m_showControls = true;
    bool m_showSchedule = false;
    bool m_showWelcome = false;
    double m_welcomeOpacity = 0;
    std::optional<QString> m_errorText;
    bool m_qualityOpen = false;
    bool m_recoveringPlayback = false;
    std::optional<std::chrono::milliseconds> m_lastRecoveryAt; // none: the distant past
    int m_watchdogStallCount = 0;

    Stop m_hideTask;
    Stop m_offlinePollTask;
    Stop m_watchdogTask;
    Stop m_scheduleRefreshTask;
    Stop m_welcomeFade;
    bool m_hideRunning = false;
};

} // namespace orvella

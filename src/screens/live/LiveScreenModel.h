#pragma once

#include "api/ContentModels.h"
#include "core/MacRoute.h"
#include "screens/live/LiveChromeModel.h"
#include "screens/live/LivePlaybackSupervisor.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWindow>
#include <QtQml/qqmlregistration.h>
#include <memory>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;
class Clock;
class PlaybackSleepGuard;
class PlayerController;

// The live screen's face for the page: it wires the app model's live player, route and
// settings to the playback supervisor (loading and healing playback) and the chrome model
// (hide timer, menus, panel, welcome), reloads the schedule every 300 seconds while live,
// follows the chosen stream language, and publishes the labels the page shows.
class LiveScreenModel : public QObject, private LivePlaybackHost
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

    explicit LiveScreenModel(QObject *parent = nullptr);
    ~LiveScreenModel() override;

    // Tests give the clock and the guard before the app; by default the system clock and the
    // app's guard.
    void setClock(Clock *clock);
    void setSleepGuard(PlaybackSleepGuard *guard) { m_guard = guard; }

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] PlayerController *player() const;
    // Present while an app is set.
    [[nodiscard]] LivePlaybackSupervisor *supervisor() const { return m_supervisor.get(); }

    [[nodiscard]] bool showControls() const { return m_chrome.showControls(); }
    [[nodiscard]] bool showSchedule() const { return m_chrome.showSchedule(); }
    [[nodiscard]] bool qualityOpen() const { return m_chrome.qualityOpen(); }
    [[nodiscard]] bool showWelcome() const { return m_chrome.showWelcome(); }
    [[nodiscard]] double welcomeOpacity() const { return m_chrome.welcomeOpacity(); }
    [[nodiscard]] QString errorText() const;
    [[nodiscard]] bool hasError() const;
    [[nodiscard]] bool recoveringPlayback() const;
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
    Q_INVOKABLE void revealControls() { m_chrome.reveal(); }
    Q_INVOKABLE void pointerActivity() { m_chrome.reveal(); }
    // Where the pointer is over the window; only a move reveals the chrome.
    Q_INVOKABLE void pointerAt(double x, double y) { m_chrome.pointerAt(QPointF(x, y)); }
    Q_INVOKABLE void hover(bool entered) { m_chrome.hover(entered); }
    // The page's welcome overlay reached the screen.
    Q_INVOKABLE void welcomeOnScreen() { m_chrome.welcomeOnScreen(); }
    Q_INVOKABLE void tapVideo();
    Q_INVOKABLE void toggleCaptions();
    Q_INVOKABLE void toggleQuality() { m_chrome.toggleQuality(); }
    Q_INVOKABLE void selectQuality(const QString &id);
    Q_INVOKABLE void dismissQuality() { m_chrome.dismissQuality(); }
    Q_INVOKABLE void openSchedule();
    Q_INVOKABLE void closeSchedule() { m_chrome.closeSchedule(); }
    Q_INVOKABLE void openMenu();
    Q_INVOKABLE void toggleFullScreen();
    // The window's own full-screen toggle.
    Q_INVOKABLE static void toggleWindowFullScreen(QWindow *window);
    Q_INVOKABLE void retry();
    Q_INVOKABLE void refresh() { refreshLive(); }
    // The action bar's way out: languages, give, herald, testimony, programs.
    Q_INVOKABLE void open(orvella::MacRoute::Value route);

    // The operations the actions run (tests await them).
    QCoro::Task<> enterLive();
    QCoro::Task<> refreshLive();
    void setQuality(const QString &id);

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
    // LivePlaybackHost
    QCoro::Task<std::optional<LiveStreamData>> fetchLiveStream(
        QString language, bool force) override;
    [[nodiscard]] bool liveOnScreen() const override { return livePlaybackAllowed(); }
    [[nodiscard]] LivePlaybackPreferences preferences() const override;
    void supervisionChanged(Change change) override;

    void detach();
    void routeChanged();
    void followStreamLanguage();
    [[nodiscard]] const LiveStreamData *shownStream() const;
    QCoro::Task<> scheduleRefreshLoop(std::stop_token stop);
    QCoro::Task<> loadSchedule(bool force);

    QPointer<AppModel> m_app;
    Clock *m_clock;
    PlaybackSleepGuard *m_guard = nullptr;
    LiveChromeModel m_chrome;
    std::unique_ptr<LivePlaybackSupervisor> m_supervisor;
    std::stop_source m_scheduleRefreshTask;
};

} // namespace orvella

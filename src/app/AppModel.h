#pragma once

#include "api/AccountModels.h"
#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/ScheduleData.h"
#include "app/AppServices.h"
#include "core/ApplicationForeground.h"
#include "core/EventReminders.h"
#include "core/MacRoute.h"
#include "core/Navigator.h"
#include "core/ProgressReports.h"
#include "core/Session.h"
#include "core/SettingsModel.h"
#include "core/SharedContent.h"
#include "player/PlayerController.h"
#include "studio/StudioCaptureController.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QObject>
#include <QTimer>
#include <QUrl>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QQmlEngine;
class QJSEngine;

namespace orvella {

// The one application state of the process, as QML and the screens see it: the route with its
// back stack and sign-in gate (Navigator), the session (Session), the configuration and the data
// several screens share (SharedContent), the event reminders, the settings, the live player and
// the studio's capture controller. Screens read its properties and change screen only through
// navigate(), goBack(), openEpisode() and the menu flag. Built by AppBuilder.
class AppModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(orvella::MacRoute::Value route READ route NOTIFY routeChanged)
    Q_PROPERTY(QString selectedProgramId READ selectedProgramIdText WRITE setSelectedProgramIdText
            NOTIFY selectedProgramIdChanged)
    Q_PROPERTY(QString selectedEpisodeId READ selectedEpisodeIdText NOTIFY selectedEpisodeIdChanged)
    Q_PROPERTY(QList<int> backStack READ backStack NOTIFY navigationStackChanged)
    Q_PROPERTY(bool canGoBack READ canGoBack NOTIFY canGoBackChanged)
    Q_PROPERTY(
        bool menuPresented READ menuPresented WRITE setMenuPresented NOTIFY menuPresentedChanged)
    Q_PROPERTY(bool isGuest READ isGuest NOTIFY isGuestChanged)
    Q_PROPERTY(QString bootstrapError READ bootstrapErrorText NOTIFY bootstrapErrorChanged)
    Q_PROPERTY(bool hasSeenLiveWelcome READ hasSeenLiveWelcome WRITE setHasSeenLiveWelcome NOTIFY
            hasSeenLiveWelcomeChanged)
    Q_PROPERTY(QString liveScheduleError READ liveScheduleErrorText NOTIFY liveScheduleErrorChanged)
    Q_PROPERTY(
        bool isLoadingLiveSchedule READ isLoadingLiveSchedule NOTIFY isLoadingLiveScheduleChanged)
    Q_PROPERTY(bool hasConfig READ hasConfig NOTIFY configChanged)
    Q_PROPERTY(QString forceUpdateMessage READ forceUpdateMessage NOTIFY configChanged)
    Q_PROPERTY(QVariantMap configUrls READ configUrls NOTIFY configChanged)
    Q_PROPERTY(QVariantList liveLanguages READ liveLanguages NOTIFY configChanged)
    Q_PROPERTY(QUrl activateURL READ activateURL NOTIFY configChanged)
    Q_PROPERTY(orvella::SettingsModel *settings READ settings CONSTANT)
    Q_PROPERTY(orvella::PlayerController *livePlayer READ livePlayer CONSTANT)
    // Made on first read; only the studio's screens read it.
    Q_PROPERTY(orvella::StudioCaptureController *testimonyCapture READ testimonyCapture CONSTANT)

public:
    // Not default-constructible on purpose: QML must reach the one instance through create().
    AppModel(AppServices services, QObject *parent = nullptr);
    ~AppModel() override;

    // The process's model: the one installed with setInstance(), else one built on first use
    // with the default services (owned by the application object).
    [[nodiscard]] static AppModel &instance();
    // Installs the process's model (the application entry, or a test that shows QML); the
    // caller keeps ownership.
    static void setInstance(AppModel *model);
    // The QML singleton: the process's model, owned by C++.
    static AppModel *create(QQmlEngine *engine, QJSEngine *scriptEngine);

    // The parts behind the face.
    [[nodiscard]] Navigator &navigator() const { return *m_navigator; }
    [[nodiscard]] Session &session() const { return *m_session; }
    [[nodiscard]] SharedContent &content() const { return *m_content; }
    [[nodiscard]] EventReminders &reminders() const { return *m_reminders; }
    // Whether the client is in front, fed by its window: the reminders' notices wait for it to
    // be behind (unless the builder was given its own answer to that).
    [[nodiscard]] ApplicationForeground &foreground() const { return *m_foreground; }
    // Where the viewer is in episodes, on its way to the service or kept.
    [[nodiscard]] ProgressReports &progressReports() const { return *m_progressReports; }

    // Published state.
    [[nodiscard]] MacRoute::Value route() const { return m_navigator->route(); }
    [[nodiscard]] const std::optional<QString> &selectedProgramId() const
    {
        return m_navigator->selectedProgramId();
    }
    void setSelectedProgramId(const std::optional<QString> &id);
    [[nodiscard]] const std::optional<QString> &selectedEpisodeId() const
    {
        return m_navigator->selectedEpisodeId();
    }
    [[nodiscard]] const QList<MacRoute::Value> &navigationStack() const
    {
        return m_navigator->navigationStack();
    }
    [[nodiscard]] const std::optional<TvConfig> &config() const { return m_content->config(); }
    [[nodiscard]] const std::optional<HomeData> &home() const { return m_content->home(); }
    [[nodiscard]] const QList<ContinueWatchingItem> &continueWatching() const
    {
        return m_content->continueWatching();
    }
    [[nodiscard]] const std::optional<QString> &bootstrapError() const
    {
        return m_content->bootstrapError();
    }
    [[nodiscard]] bool isGuest() const { return m_session->isGuest(); }
    [[nodiscard]] const std::optional<UserProfile> &profile() const { return m_session->profile(); }
    [[nodiscard]] bool menuPresented() const { return m_navigator->menuPresented(); }
    void setMenuPresented(bool presented);
    // Presents the menu on the next turn of the event loop, so the click that asked is over.
    Q_INVOKABLE void presentMenuSoon() { m_navigator->presentMenuSoon(); }
    [[nodiscard]] const std::optional<LiveStreamData> &liveStreamCache() const
    {
        return m_content->liveStreamCache();
    }
    [[nodiscard]] const std::optional<ScheduleData> &liveSchedule() const
    {
        return m_content->liveSchedule();
    }
    [[nodiscard]] const std::optional<QString> &liveScheduleError() const
    {
        return m_content->liveScheduleError();
    }
    [[nodiscard]] bool isLoadingLiveSchedule() const { return m_content->isLoadingLiveSchedule(); }
    [[nodiscard]] const QList<ProgramSummary> &programsCache() const
    {
        return m_content->programsCache();
    }
    [[nodiscard]] bool hasSeenLiveWelcome() const { return m_hasSeenLiveWelcome; }
    void setHasSeenLiveWelcome(bool seen);
    [[nodiscard]] SettingsModel *settings() const { return m_settings.get(); }
    [[nodiscard]] PlayerController *livePlayer() const { return m_livePlayer.get(); }
    // The one display and idle claim, which follows the player on screen.
    [[nodiscard]] PlaybackSleepGuard &sleepGuard() const { return *m_sleepGuard; }
    [[nodiscard]] StudioCaptureController *testimonyCapture() const;
    // Whether the studio's controller was made yet.
    [[nodiscard]] bool hasTestimonyCapture() const { return m_testimonyCapture != nullptr; }
    [[nodiscard]] OrvellaAPIClient &client() const { return *m_client; }

    // Navigation.
    Q_INVOKABLE void navigate(orvella::MacRoute::Value target);
    Q_INVOKABLE void goBack();
    [[nodiscard]] bool canGoBack() const { return m_navigator->canGoBack(); }
    // Shows one episode; blanks around the id are ignored, an empty id does nothing.
    Q_INVOKABLE void openEpisode(const QString &id);
    // Shows the episode the episode player moves on to (next, repeat all, a related one): the
    // new player starts muted when the one before was.
    void openEpisodeFromPlayer(const QString &id, bool muted);
    // Whether the player of this episode starts muted: set only for the episode the last
    // openEpisodeFromPlayer() showed, until another episode is opened.
    [[nodiscard]] bool startsMuted(const QString &episodeId) const;
    // Follows the action of a home hero or rail item ("live", "program", "episode").
    void handleAction(const std::optional<NavAction> &action);
    // A web link of the service tagged with this client's source; none for a missing or empty
    // base, a text that is no URL, or any scheme but http and https.
    [[nodiscard]] static std::optional<QUrl> engagementURL(const std::optional<QString> &base);
    // QML form of engagementURL(): an empty URL for none.
    Q_INVOKABLE QUrl engagementUrl(const QString &base) const;
    // The configuration's activation page, else the service's own.
    [[nodiscard]] QUrl activateURL() const;
    // Part-by-part numeric comparison of version texts ("1.0.1" < "1.0.2" < "1.1").
    [[nodiscard]] static bool isVersion(QStringView a, QStringView lessThan);

    // Ends the run, whatever asked (Ctrl+Q, the window's close button, a quit signal): the
    // screens on show leave as they would on navigation (an episode makes its leave record), the
    // live player stops, the positions on their way get up to two seconds to reach the service
    // (those that do not are kept), and then the event loop ends, so the work waiting for the
    // application to quit (drafts, the studio's finishing) runs as on any quit. Asking again
    // meanwhile changes nothing.
    Q_INVOKABLE void quit();
    [[nodiscard]] bool isQuitting() const { return m_quitting; }
    static constexpr std::chrono::seconds quitSettleBound { 2 };

    // Start-up and session.
    QCoro::Task<> bootstrap();
    // Starts bootstrap() again (the maintenance screen's Retry).
    Q_INVOKABLE void retryBootstrap();
    void restoreSession();
    // Stores the tokens of a sign-in, uploads the local history, loads the viewer's data and
    // shows live.
    QCoro::Task<> applyTokens(TokenData tokens);
    QCoro::Task<> signOut();

    // Shared loads; none of them throws. A requested stop ends a load without writing anything.
    QCoro::Task<std::optional<LiveStreamData>> loadLiveStream(
        QString lang, bool force, std::stop_token stop = {});
    QCoro::Task<> refreshHome(bool force, std::stop_token stop = {});
    QCoro::Task<> refreshContinueWatching(std::stop_token stop = {});
    // Records where the viewer is in one episode: its continue-watching entry takes the new
    // position and duration (an episode not listed yet comes first).
    void updateContinueWatching(const ContinueWatchingItem &item);
    QCoro::Task<> refreshProgramsCache(bool force, std::stop_token stop = {});
    QCoro::Task<> syncProfileFromServer(std::stop_token stop = {});
    QCoro::Task<> loadLiveSchedule(bool force);

    // Event reminders.
    QCoro::Task<> syncEventNotifications();
    QCoro::Task<> refreshEventScheduleData();
    // The 60-second timer's work (tests call it directly): re-fetch the configuration and apply
    // the reminder rules, and keep the session's access token fresh.
    void eventTimerFired();
    [[nodiscard]] const QTimer &eventTimer() const { return m_reminders->timer(); }
    [[nodiscard]] const OrvellaNotificationSync &notificationSync() const
    {
        return m_reminders->notificationSync();
    }

    // QML forms of the optional texts ("" for none).
    [[nodiscard]] QString selectedProgramIdText() const
    {
        return selectedProgramId().value_or(QString());
    }
    void setSelectedProgramIdText(const QString &id) { setSelectedProgramId(id); }
    [[nodiscard]] QString selectedEpisodeIdText() const
    {
        return selectedEpisodeId().value_or(QString());
    }
    [[nodiscard]] QString bootstrapErrorText() const
    {
        return bootstrapError().value_or(QString());
    }
    [[nodiscard]] QString liveScheduleErrorText() const
    {
        return liveScheduleError().value_or(QString());
    }
    [[nodiscard]] QList<int> backStack() const;
    [[nodiscard]] bool hasConfig() const { return config().has_value(); }
    [[nodiscard]] QString forceUpdateMessage() const;
    [[nodiscard]] QVariantMap configUrls() const;
    [[nodiscard]] QVariantList liveLanguages() const;

signals:
    void routeChanged();
    void selectedProgramIdChanged();
    // Also announced when the same episode is opened again while it is shown.
    void selectedEpisodeIdChanged();
    void navigationStackChanged();
    void canGoBackChanged();
    void configChanged();
    void homeChanged();
    void continueWatchingChanged();
    void bootstrapErrorChanged();
    void isGuestChanged();
    void profileChanged();
    void menuPresentedChanged();
    void liveStreamCacheChanged();
    void liveScheduleChanged();
    void liveScheduleErrorChanged();
    void isLoadingLiveScheduleChanged();
    void programsCacheChanged();
    void hasSeenLiveWelcomeChanged();
    // The run is ending: screens leave now.
    void quitting();

private:
    void forwardSignals();
    // The live player plays on live and pauses elsewhere (the menu leaves it as it is).
    void syncLivePlayback(MacRoute::Value route);
    // A fetched stream starts the live player when it has nothing loaded yet.
    void offerLiveStream(const LiveStreamData &stream);
    QCoro::Task<> endRun();

    OrvellaAPIClient *m_client;
    PlaybackSleepGuard *m_sleepGuard;
    std::unique_ptr<SettingsModel> m_settings;
    std::unique_ptr<PlayerController> m_livePlayer;
    StudioFactory m_makeStudio;
    std::function<void()> m_endEventLoop;
    mutable std::unique_ptr<StudioCaptureController> m_testimonyCapture;
    // Declared in the order they depend on each other; destroyed the other way round.
    std::unique_ptr<Session> m_session;
    std::unique_ptr<ProgressReports> m_progressReports;
    std::unique_ptr<Navigator> m_navigator;
    std::unique_ptr<SharedContent> m_content;
    std::unique_ptr<ApplicationForeground> m_foreground;
    std::unique_ptr<EventReminders> m_reminders;
    bool m_hasSeenLiveWelcome = false;
    // The episode opened muted from the player before it, by id.
    std::optional<QString> m_mutedEpisode;
    bool m_quitting = false;
    std::stop_source m_bootstrapStop;
};

} // namespace orvella

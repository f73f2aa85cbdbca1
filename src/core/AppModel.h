#pragma once

#include "api/AccountModels.h"
#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/ScheduleData.h"
#include "core/EventNotifications.h"
#include "core/MacRoute.h"
#include "core/SettingsModel.h"
#include "platform/Notifier.h"
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
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QQmlEngine;
class QJSEngine;

namespace orvella {

class OrvellaAPIClient;
class PlaybackSleepGuard;

// What the model is built from. Every member has a default for the running application;
// tests give a client pointed at the service double, a player on a fake media player, a
// fake notifier and clock, and may keep the bootstrap from starting on its own.
struct AppModelDependencies
{
    OrvellaAPIClient *client = nullptr; // default: OrvellaAPIClient::shared()
    std::unique_ptr<PlayerController> livePlayer; // default: a player on libmpv
    PlaybackSleepGuard *sleepGuard = nullptr; // default: PlaybackSleepGuard::shared()
    std::unique_ptr<StudioCaptureController> testimonyCapture; // default: system camera and mic
    std::unique_ptr<Notifier> notifier; // default: the desktop's notifications
    std::function<qint64()> clock; // ms since 1970; default: system clock
    std::function<bool()> applicationActive; // default: the application's state
    bool startBootstrap = true;
};

// The one application state of the process: the route with its back stack and sign-in gate,
// the session, the configuration and the data several screens share, the settings, the live
// player and the studio's capture controller. Screens read its properties and change screen
// only through navigate(), goBack(), openEpisode() and the menu flag.
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
    Q_PROPERTY(orvella::StudioCaptureController *testimonyCapture READ testimonyCapture CONSTANT)

public:
    using Dependencies = AppModelDependencies;

    // Not default-constructible on purpose: QML must reach the one instance through create().
    explicit AppModel(Dependencies dependencies, QObject *parent = nullptr);
    ~AppModel() override;

    // The process's model: the one installed with setInstance(), else one built on first use
    // with the default dependencies (owned by the application object).
    [[nodiscard]] static AppModel &instance();
    // Installs the process's model (the application entry, or a test that shows QML); the
    // caller keeps ownership.
    static void setInstance(AppModel *model);
    // The QML singleton: the process's model, owned by C++.
    static AppModel *create(QQmlEngine *engine, QJSEngine *scriptEngine);

    // Published state.
    [[nodiscard]] MacRoute::Value route() const { return m_route; }
    [[nodiscard]] const std::optional<QString> &selectedProgramId() const
    {
        return m_selectedProgramId;
    }
    void setSelectedProgramId(const std::optional<QString> &id);
    [[nodiscard]] const std::optional<QString> &selectedEpisodeId() const
    {
        return m_selectedEpisodeId;
    }
    [[nodiscard]] const QList<MacRoute::Value> &navigationStack() const
    {
        return m_navigationStack;
    }
    [[nodiscard]] const std::optional<TvConfig> &config() const { return m_config; }
    [[nodiscard]] const std::optional<HomeData> &home() const { return m_home; }
    [[nodiscard]] const QList<ContinueWatchingItem> &continueWatching() const
    {
        return m_continueWatching;
    }
    [[nodiscard]] const std::optional<QString> &bootstrapError() const { return m_bootstrapError; }
    [[nodiscard]] bool isGuest() const { return m_isGuest; }
    [[nodiscard]] const std::optional<UserProfile> &profile() const { return m_profile; }
    [[nodiscard]] bool menuPresented() const { return m_menuPresented; }
    void setMenuPresented(bool presented);
    [[nodiscard]] const std::optional<LiveStreamData> &liveStreamCache() const
    {
        return m_liveStreamCache;
    }
    [[nodiscard]] const std::optional<ScheduleData> &liveSchedule() const { return m_liveSchedule; }
    [[nodiscard]] const std::optional<QString> &liveScheduleError() const
    {
        return m_liveScheduleError;
    }
    [[nodiscard]] bool isLoadingLiveSchedule() const { return m_isLoadingLiveSchedule; }
    [[nodiscard]] const QList<ProgramSummary> &programsCache() const { return m_programsCache; }
    [[nodiscard]] bool hasSeenLiveWelcome() const { return m_hasSeenLiveWelcome; }
    void setHasSeenLiveWelcome(bool seen);
    [[nodiscard]] SettingsModel *settings() const { return m_settings; }
    [[nodiscard]] PlayerController *livePlayer() const { return m_livePlayer.get(); }
    [[nodiscard]] StudioCaptureController *testimonyCapture() const
    {
        return m_testimonyCapture.get();
    }
    [[nodiscard]] OrvellaAPIClient &client() const { return *m_client; }

    // Navigation.
    Q_INVOKABLE void navigate(orvella::MacRoute::Value target);
    Q_INVOKABLE void goBack();
    [[nodiscard]] bool canGoBack() const;
    // Shows one episode; blanks around the id are ignored, an empty id does nothing.
    Q_INVOKABLE void openEpisode(const QString &id);
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
    [[nodiscard]] const QTimer &eventTimer() const { return m_eventNotifTimer; }
    [[nodiscard]] const OrvellaNotificationSync &notificationSync() const
    {
        return m_notificationSync;
    }

    // QML forms of the optional texts ("" for none).
    [[nodiscard]] QString selectedProgramIdText() const
    {
        return m_selectedProgramId.value_or(QString());
    }
    void setSelectedProgramIdText(const QString &id) { setSelectedProgramId(id); }
    [[nodiscard]] QString selectedEpisodeIdText() const
    {
        return m_selectedEpisodeId.value_or(QString());
    }
    [[nodiscard]] QString bootstrapErrorText() const
    {
        return m_bootstrapError.value_or(QString());
    }
    [[nodiscard]] QString liveScheduleErrorText() const
    {
        return m_liveScheduleError.value_or(QString());
    }
    [[nodiscard]] QList<int> backStack() const;
    [[nodiscard]] bool hasConfig() const { return m_config.has_value(); }
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

private:
    class LiveFetch;

    bool shouldPushCurrentRoute(MacRoute::Value target) const;
    void syncLivePlayback(MacRoute::Value route);
    void setRoute(MacRoute::Value route);
    // A route set outside navigation; leaving live this way still pauses the live player.
    void setRouteDirectly(MacRoute::Value route);
    void setNavigationStack(QList<MacRoute::Value> stack);
    void setConfig(std::optional<TvConfig> config);
    void setHome(std::optional<HomeData> home);
    void setContinueWatching(QList<ContinueWatchingItem> items);
    void setBootstrapError(std::optional<QString> error);
    void setIsGuest(bool guest);
    void setProfile(std::optional<UserProfile> profile);
    void setLiveStreamCache(std::optional<LiveStreamData> stream);
    void setLiveSchedule(std::optional<ScheduleData> schedule);
    void setLiveScheduleError(std::optional<QString> error);
    void setIsLoadingLiveSchedule(bool loading);
    void setProgramsCache(QList<ProgramSummary> programs);

    [[nodiscard]] double nowSeconds() const;
    QCoro::Task<> maybeRefresh(QString refreshToken);
    void storeTokens(
        const QString &accessToken, const QString &refreshToken, std::optional<qint64> expiresIn);
    // Takes a fresh profile into `profile`, "profile.json" and the settings.
    void adoptProfile(const UserProfile &profile);
    void copyProfileIntoSettings(const UserProfile &profile, bool includePhoneAndZone);
    std::shared_ptr<LiveFetch> startLiveFetch(const QString &lang);
    QCoro::Task<> runLiveFetch(std::shared_ptr<LiveFetch> fetch, QString lang);
    void applyLiveStream(const LiveStreamData &stream);
    // Fetches the configuration; a failure keeps the one held.
    QCoro::Task<> refreshConfig();

    OrvellaAPIClient *m_client;
    PlaybackSleepGuard *m_sleepGuard;
    std::unique_ptr<Notifier> m_notifier;
    std::function<qint64()> m_clock;

    MacRoute::Value m_route = MacRoute::Splash;
    std::optional<QString> m_selectedProgramId;
    std::optional<QString> m_selectedEpisodeId;
    QList<MacRoute::Value> m_navigationStack;
    std::optional<TvConfig> m_config;
    std::optional<HomeData> m_home;
    QList<ContinueWatchingItem> m_continueWatching;
    std::optional<QString> m_bootstrapError;
    bool m_isGuest = true;
    std::optional<UserProfile> m_profile;
    bool m_menuPresented = false;
    std::optional<LiveStreamData> m_liveStreamCache;
    std::optional<ScheduleData> m_liveSchedule;
    std::optional<QString> m_liveScheduleError;
    bool m_isLoadingLiveSchedule = false;
    QList<ProgramSummary> m_programsCache;
    bool m_hasSeenLiveWelcome = false;
    SettingsModel *m_settings;
    std::unique_ptr<PlayerController> m_livePlayer;
    std::unique_ptr<StudioCaptureController> m_testimonyCapture;

    std::shared_ptr<LiveFetch> m_liveLoad;
    std::stop_source m_bootstrapStop;
    bool m_refreshInFlight = false;
    // Changes with every sign-in and sign-out, so an answer for an earlier session is dropped.
    quint64 m_session = 0;
    OrvellaNotificationSync m_notificationSync;
    QTimer m_eventNotifTimer;
};

} // namespace orvella

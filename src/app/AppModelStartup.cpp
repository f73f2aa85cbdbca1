// Start-up and the session's turns, across the navigator, the session and the shared content.

#include "api/APIError.h"
#include "api/Identity.h"
#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "core/LocalHistory.h"
#include "core/SessionLog.h"

#include <QPointer>

namespace orvella {

namespace {

// The version a configuration demands of this client: its own platform's entry, else the one
// of the platform it signs in as.
std::optional<QString> minimumVersion(const TvConfig &config)
{
    if (!config.min_app_version || config.min_app_version->isEmpty())
        return std::nullopt;
    const QMap<QString, QString> &versions = *config.min_app_version;
    for (const char *platform : { identity::platform, identity::signInPlatform }) {
        if (const auto it = versions.find(QLatin1String(platform)); it != versions.end())
            return *it;
    }
    return std::nullopt;
}

// A start-up configuration that arrives while the window may still come to the front posts no
// notice: a launch that stays behind gets it when that wait ends, not at the next minute's run.
QCoro::Task<> applyRulesWhenLaunchGraceEnds(
    ApplicationForeground &foreground, EventReminders &reminders, std::stop_token stop)
{
    QPointer<EventReminders> alive(&reminders);
    const bool ended = co_await foreground.launchGraceEnd(stop);
    if (ended && alive && !stop.stop_requested())
        reminders.applyHeldConfig();
}

} // namespace

QCoro::Task<> AppModel::bootstrap()
{
    QPointer<AppModel> self(this);
    // A new run ends what an earlier one still has running.
    m_bootstrapStop.request_stop();
    m_bootstrapStop = std::stop_source();
    const std::stop_token stop = m_bootstrapStop.get_token();

    m_navigator->setRouteDirectly(MacRoute::Splash);
    m_content->setBootstrapError(std::nullopt);
    m_navigator->clearStack();

    restoreSession();
    if (isGuest()) {
        m_navigator->setRouteDirectly(MacRoute::Login);
        co_return;
    }
    m_navigator->setRoute(MacRoute::Live);

    // The four loads run beside the configuration fetch; the run can end them early. The live
    // load only stops waiting: the fetch it shares stays alive for the live screen.
    std::stop_source loads;
    std::stop_callback endLoadsWithRun(stop, [&loads] { loads.request_stop(); });
    QCoro::Task<std::optional<LiveStreamData>> live
        = loadLiveStream(m_settings->streamLanguage(), false, loads.get_token());
    QCoro::Task<> home = refreshHome(false, loads.get_token());
    QCoro::Task<> continueWatching = refreshContinueWatching(loads.get_token());
    QCoro::Task<> programs = refreshProgramsCache(false, loads.get_token());
    const auto endLoads = [&]() -> QCoro::Task<> {
        loads.request_stop();
        co_await std::move(live);
        co_await std::move(home);
        co_await std::move(continueWatching);
        co_await std::move(programs);
    };

    std::optional<TvConfig> config;
    std::optional<QString> failure;
    try {
        config = co_await m_client->getConfig(stop);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Configuration failed:" << error.description();
        failure = error.description();
    }
    if (!self)
        co_return;
    if (stop.stop_requested()) {
        co_await endLoads();
        co_return;
    }
    if (failure) {
        m_content->setBootstrapError(failure);
        m_navigator->setRouteDirectly(isGuest() ? MacRoute::Login : MacRoute::Live);
        co_await endLoads();
        co_return;
    }

    m_content->setConfig(config);
    m_reminders->applyHeldConfig();
    applyRulesWhenLaunchGraceEnds(*m_foreground, *m_reminders, stop);
    if (const auto required = minimumVersion(*config);
        required && isVersion(QStringLiteral(ORVELLA_APP_VERSION), *required)) {
        m_navigator->setRouteDirectly(MacRoute::ForceUpdate);
        co_await endLoads();
        co_return;
    }

    co_await std::move(live);
    co_await std::move(home);
    co_await std::move(continueWatching);
    co_await std::move(programs);
    if (!self || stop.stop_requested())
        co_return;
    co_await syncProfileFromServer(stop);
}

void AppModel::retryBootstrap()
{
    bootstrap();
}

void AppModel::restoreSession()
{
    m_session->restore();
}

QCoro::Task<> AppModel::applyTokens(TokenData tokens)
{
    QPointer<AppModel> self(this);
    m_session->begin(tokens);

    co_await LocalHistoryStore::migrateToServer(*m_client);
    if (!self)
        co_return;
    co_await refreshContinueWatching();
    if (!self)
        co_return;
    co_await syncProfileFromServer();
    if (!self)
        co_return;
    if (tokens.user)
        m_session->keepSignInNames(*tokens.user);
    m_navigator->restart(MacRoute::Live);
}

QCoro::Task<> AppModel::signOut()
{
    return m_session->signOut();
}

} // namespace orvella

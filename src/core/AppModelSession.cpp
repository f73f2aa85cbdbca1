// Start-up, the session and its tokens.

#include "api/APIError.h"
#include "api/KeychainStore.h"
#include "api/OrvellaAPIClient.h"
#include "core/AppModel.h"
#include "core/LocalHistory.h"

#include <QJsonDocument>
#include <QPointer>
#include <QSettings>

namespace orvella {

namespace {

const QString accessTokenKey = QStringLiteral("access_token");
const QString refreshTokenKey = QStringLiteral("refresh_token");
const QString expiresKey = QStringLiteral("access_expires");
const QString profileKey = QStringLiteral("profile.json");

// Seconds left at which a stored access token is refreshed.
constexpr double refreshMargin = 300;
constexpr qint64 defaultLifetime = 3600;

std::optional<UserProfile> storedProfile()
{
    const QVariant stored = QSettings().value(profileKey);
    if (!stored.isValid())
        return std::nullopt;
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(stored.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    try {
        return decodeModel<UserProfile>(document.object());
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

// The version a configuration demands of this client: its "macos" entry, else "androidtv".
std::optional<QString> minimumVersion(const TvConfig &config)
{
    if (!config.min_app_version || config.min_app_version->isEmpty())
        return std::nullopt;
    const QMap<QString, QString> &versions = *config.min_app_version;
    if (const auto it = versions.find(QStringLiteral("macos")); it != versions.end())
        return *it;
    if (const auto it = versions.find(QStringLiteral("androidtv")); it != versions.end())
        return *it;
    return std::nullopt;
}

} // namespace

QCoro::Task<> AppModel::bootstrap()
{
    QPointer<AppModel> self(this);
    // A new run ends what an earlier one still has running.
    m_bootstrapStop.request_stop();
    m_bootstrapStop = std::stop_source();
    const std::stop_token stop = m_bootstrapStop.get_token();

    setRouteDirectly(MacRoute::Splash);
    setBootstrapError(std::nullopt);
    setNavigationStack({});

    restoreSession();
    if (m_isGuest) {
        setRouteDirectly(MacRoute::Login);
        co_return;
    }
    setRoute(MacRoute::Live);

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
    } catch (...) {
        failure = describeException(std::current_exception());
    }
    if (!self)
        co_return;
    if (stop.stop_requested()) {
        co_await endLoads();
        co_return;
    }
    if (failure) {
        setBootstrapError(failure);
        setRouteDirectly(m_isGuest ? MacRoute::Login : MacRoute::Live);
        co_await endLoads();
        co_return;
    }

    setConfig(config);
    m_notificationSync.applyConfigEvent(config->event, m_settings->value());
    if (const auto required = minimumVersion(*config);
        required && isVersion(QStringLiteral(ORVELLA_APP_VERSION), *required)) {
        setRouteDirectly(MacRoute::ForceUpdate);
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
    const std::optional<QString> access = KeychainStore::get(accessTokenKey);
    const std::optional<QString> refresh = KeychainStore::get(refreshTokenKey);
    if (!access || !refresh) {
        setIsGuest(true);
        m_client->setAccessToken(std::nullopt);
        return;
    }
    setIsGuest(false);
    // Handed over at once, so the first loads already carry it.
    m_client->setAccessToken(*access);
    maybeRefresh(*refresh);

    const std::optional<UserProfile> profile = storedProfile();
    if (!profile)
        return;
    setProfile(profile);
    if (!m_settings->displayName().isEmpty())
        return;
    SettingsStore settings = m_settings->value();
    settings.displayName = profile->name.value_or(QString());
    settings.email = profile->email.value_or(QString());
    settings.phone = profile->phone.value_or(QString());
    if (profile->zone)
        settings.zone = *profile->zone;
    m_settings->setValue(settings);
    m_settings->persist();
}

QCoro::Task<> AppModel::maybeRefresh(QString refreshToken)
{
    const double expires = QSettings().value(expiresKey).toDouble();
    if (expires != 0 && !(expires - refreshMargin < nowSeconds()))
        co_return;
    if (m_refreshInFlight)
        co_return;
    m_refreshInFlight = true;
    QPointer<AppModel> self(this);
    std::optional<RefreshData> refreshed;
    bool invalid = false;
    try {
        refreshed = co_await m_client->refreshTokens(refreshToken);
    } catch (const APIError &error) {
        invalid = error.kind() == APIError::Kind::Http && error.code() == u"TOKEN_INVALID";
    } catch (...) { }
    if (!self)
        co_return;
    m_refreshInFlight = false;
    // The session may have ended or changed while the request ran; its answer then belongs to
    // no one and must not bring the old session back.
    if (m_isGuest || KeychainStore::get(refreshTokenKey) != refreshToken)
        co_return;
    if (invalid) {
        co_await signOut();
        co_return;
    }
    if (!refreshed)
        co_return;
    storeTokens(refreshed->access_token, refreshed->refresh_token, refreshed->expires_in);
    m_client->setAccessToken(refreshed->access_token);
}

void AppModel::storeTokens(
    const QString &accessToken, const QString &refreshToken, std::optional<qint64> expiresIn)
{
    KeychainStore::set(accessTokenKey, accessToken);
    KeychainStore::set(refreshTokenKey, refreshToken);
    QSettings().setValue(expiresKey, nowSeconds() + double(expiresIn.value_or(defaultLifetime)));
}

void AppModel::adoptProfile(const UserProfile &profile)
{
    setProfile(profile);
    QSettings().setValue(profileKey, profile.toJson());
    copyProfileIntoSettings(profile, true);
}

void AppModel::copyProfileIntoSettings(const UserProfile &profile, bool includePhoneAndZone)
{
    SettingsStore settings = m_settings->value();
    const auto copy = [](const std::optional<QString> &from, QString &to) {
        if (from && !from->isEmpty())
            to = *from;
    };
    copy(profile.name, settings.displayName);
    copy(profile.email, settings.email);
    if (includePhoneAndZone) {
        copy(profile.phone, settings.phone);
        copy(profile.zone ? profile.zone : profile.region, settings.zone);
    }
    m_settings->setValue(settings);
    m_settings->persist();
}

QCoro::Task<> AppModel::applyTokens(TokenData tokens)
{
    QPointer<AppModel> self(this);
    ++m_session;
    storeTokens(tokens.access_token, tokens.refresh_token, tokens.expires_in);
    m_client->setAccessToken(tokens.access_token);
    setIsGuest(false);
    if (tokens.user)
        adoptProfile(*tokens.user);

    co_await LocalHistoryStore::migrateToServer(*m_client);
    if (!self)
        co_return;
    co_await refreshContinueWatching();
    if (!self)
        co_return;
    co_await syncProfileFromServer();
    if (!self)
        co_return;
    // The sign-in answer's name and e-mail win over the profile just fetched.
    if (tokens.user)
        copyProfileIntoSettings(*tokens.user, false);
    setNavigationStack({});
    setRoute(MacRoute::Live);
    setMenuPresented(false);
}

QCoro::Task<> AppModel::signOut()
{
    QPointer<AppModel> self(this);
    // The request goes out with the current token before the session is forgotten here; the
    // viewer does not wait for the service (offline this could take the whole time-out).
    QCoro::Task<SignOutData> request = m_client->signOut();
    ++m_session;

    KeychainStore::remove(accessTokenKey);
    KeychainStore::remove(refreshTokenKey);
    {
        QSettings settings;
        settings.remove(expiresKey);
        settings.remove(profileKey);
    }
    m_client->setAccessToken(std::nullopt);
    m_client->clearCaches();
    setProfile(std::nullopt);
    setIsGuest(true);
    setContinueWatching({});
    setNavigationStack({});
    setRouteDirectly(MacRoute::Login);
    setMenuPresented(false);

    try {
        co_await std::move(request);
    } catch (...) {
        // The service's answer changes nothing: the session is gone here either way.
    }
}

void AppModel::eventTimerFired()
{
    syncEventNotifications();
    if (m_isGuest)
        return;
    if (const auto refresh = KeychainStore::get(refreshTokenKey))
        maybeRefresh(*refresh);
}

} // namespace orvella

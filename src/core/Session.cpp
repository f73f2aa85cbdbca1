#include "core/Session.h"

#include "api/APIError.h"
#include "api/KeychainStore.h"
#include "api/OrvellaAPIClient.h"
#include "core/KeptPositions.h"
#include "core/PublishedValue.h"
#include "core/SessionLog.h"
#include "core/SettingsModel.h"
#include "platform/Clock.h"

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

} // namespace

Session::Session(
    OrvellaAPIClient &client, SettingsModel &settings, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_settings(settings)
    , m_clock(clock)
{ }

void Session::setIsGuest(bool guest)
{
    publish(this, m_isGuest, guest, &Session::isGuestChanged);
}

void Session::setProfile(std::optional<UserProfile> profile)
{
    publish(this, m_profile, std::move(profile), &Session::profileChanged);
}

double Session::nowSeconds() const
{
    return double(m_clock.sinceEpoch().count()) / 1000.0;
}

void Session::restore()
{
    const std::optional<QString> access = KeychainStore::get(accessTokenKey);
    const std::optional<QString> refresh = KeychainStore::get(refreshTokenKey);
    if (!access || !refresh) {
        setIsGuest(true);
        m_client.setAccessToken(std::nullopt);
        return;
    }
    setIsGuest(false);
    // Handed over at once, so the first loads already carry it.
    m_client.setAccessToken(*access);
    maybeRefresh(*refresh);

    const std::optional<UserProfile> profile = storedProfile();
    if (!profile)
        return;
    setProfile(profile);
    if (!m_settings.displayName().isEmpty())
        return;
    SettingsStore settings = m_settings.value();
    settings.displayName = profile->name.value_or(QString());
    settings.email = profile->email.value_or(QString());
    settings.phone = profile->phone.value_or(QString());
    if (profile->zone)
        settings.zone = *profile->zone;
    m_settings.setValue(settings);
    m_settings.persist();
}

void Session::refreshIfDue()
{
    if (m_isGuest)
        return;
    if (const auto refresh = KeychainStore::get(refreshTokenKey))
        maybeRefresh(*refresh);
}

QCoro::Task<> Session::maybeRefresh(QString refreshToken)
{
    const double expires = QSettings().value(expiresKey).toDouble();
    if (expires != 0 && !(expires - refreshMargin < nowSeconds()))
        co_return;
    if (m_refreshInFlight)
        co_return;
    m_refreshInFlight = true;
    QPointer<Session> self(this);
    std::optional<RefreshData> refreshed;
    bool invalid = false;
    try {
        refreshed = co_await m_client.refreshTokens(refreshToken);
    } catch (const APIError &error) {
        invalid = error.kind() == APIError::Kind::Http && error.code() == u"TOKEN_INVALID";
        qCDebug(lcSession) << "Token refresh failed:" << error.description();
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Token refresh failed:" << error.description();
    }
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
    m_client.setAccessToken(refreshed->access_token);
}

void Session::storeTokens(
    const QString &accessToken, const QString &refreshToken, std::optional<qint64> expiresIn)
{
    KeychainStore::set(accessTokenKey, accessToken);
    KeychainStore::set(refreshTokenKey, refreshToken);
    QSettings().setValue(expiresKey, nowSeconds() + double(expiresIn.value_or(defaultLifetime)));
}

void Session::adoptProfile(const UserProfile &profile)
{
    setProfile(profile);
    QSettings().setValue(profileKey, profile.toJson());
    copyProfileIntoSettings(profile, true);
}

void Session::copyProfileIntoSettings(const UserProfile &profile, bool includePhoneAndZone)
{
    SettingsStore settings = m_settings.value();
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
    m_settings.setValue(settings);
    m_settings.persist();
}

void Session::keepSignInNames(const UserProfile &user)
{
    copyProfileIntoSettings(user, false);
}

void Session::begin(const TokenData &tokens)
{
    ++m_generation;
    storeTokens(tokens.access_token, tokens.refresh_token, tokens.expires_in);
    m_client.setAccessToken(tokens.access_token);
    setIsGuest(false);
    if (tokens.user)
        adoptProfile(*tokens.user);
}

QCoro::Task<> Session::syncProfileFromServer(std::stop_token stop)
{
    if (m_isGuest)
        co_return;
    QPointer<Session> self(this);
    const quint64 generation = m_generation;
    std::optional<UserProfile> profile;
    try {
        profile = co_await m_client.getProfile(stop);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Profile not refreshed:" << error.description();
    }
    if (!self || stop.stop_requested() || generation != m_generation || !profile)
        co_return;
    adoptProfile(*profile);
}

QCoro::Task<> Session::signOut()
{
    // The request goes out with the current token before the session is forgotten here; the
    // viewer does not wait for the service (offline this could take the whole time-out).
    QCoro::Task<SignOutData> request = m_client.signOut();
    ++m_generation;

    KeychainStore::remove(accessTokenKey);
    KeychainStore::remove(refreshTokenKey);
    {
        QSettings settings;
        settings.remove(expiresKey);
        settings.remove(profileKey);
    }
    // Positions the service did not take were the viewer's.
    KeptPositions::stored().clear();
    m_client.setAccessToken(std::nullopt);
    m_client.clearCaches();
    setProfile(std::nullopt);
    setIsGuest(true);
    emit ended();

    try {
        co_await std::move(request);
    } catch (const DescribedError &error) {
        // The service's answer changes nothing: the session is gone here either way.
        qCDebug(lcSession) << "Sign-out request failed:" << error.description();
    }
}

} // namespace orvella

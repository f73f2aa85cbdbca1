#pragma once

#include "api/AccountModels.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <optional>
#include <stop_token>

namespace orvella {

class Clock;
class OrvellaAPIClient;
class SettingsModel;

// The viewer's session: the stored tokens and their refresh, sign-in and sign-out, and the
// profile with the settings fields it fills.
class Session : public QObject
{
    Q_OBJECT

public:
    Session(OrvellaAPIClient &client, SettingsModel &settings, const Clock &clock,
        QObject *parent = nullptr);

    [[nodiscard]] bool isGuest() const { return m_isGuest; }
    [[nodiscard]] const std::optional<UserProfile> &profile() const { return m_profile; }
    // Changes with every sign-in and sign-out, so an answer for an earlier session is dropped.
    [[nodiscard]] quint64 generation() const { return m_generation; }

    // Takes up the session a previous run stored, refreshing its access token when due.
    void restore();
    // Stores the tokens of a sign-in and takes its profile.
    void begin(const TokenData &tokens);
    // The sign-in answer's name and e-mail win over a profile fetched since.
    void keepSignInNames(const UserProfile &user);
    // Forgets the session at once (announcing ended()), then tells the service.
    QCoro::Task<> signOut();
    // Refreshes the access token when it is due (the minute timer).
    void refreshIfDue();
    QCoro::Task<> syncProfileFromServer(std::stop_token stop = {});

signals:
    void isGuestChanged();
    void profileChanged();
    // The session was forgotten (signed out, or its refresh token was refused).
    void ended();

private:
    QCoro::Task<> maybeRefresh(QString refreshToken);
    void storeTokens(
        const QString &accessToken, const QString &refreshToken, std::optional<qint64> expiresIn);
    void setIsGuest(bool guest);
    void setProfile(std::optional<UserProfile> profile);
    // Takes a fresh profile into `profile`, "profile.json" and the settings.
    void adoptProfile(const UserProfile &profile);
    void copyProfileIntoSettings(const UserProfile &profile, bool includePhoneAndZone);
    [[nodiscard]] double nowSeconds() const;

    OrvellaAPIClient &m_client;
    SettingsModel &m_settings;
    const Clock &m_clock;
    bool m_isGuest = true;
    std::optional<UserProfile> m_profile;
    quint64 m_generation = 0;
    bool m_refreshInFlight = false;
};

} // namespace orvella

#pragma once

#include "api/FlexibleID.h"
#include "api/JsonDecoding.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvella {

// Answer to the device-code request.
struct DeviceCodeData
{
    QString device_code;
    QString user_code;
    std::optional<QString> verification_url;
    std::optional<QString> verification_url_complete;
    std::optional<QString> qr_url;
    std::optional<qint64> expires_in;
    std::optional<qint64> interval;

    static DeviceCodeData fromJson(const JsonObjectReader &r);
    friend bool operator==(const DeviceCodeData &, const DeviceCodeData &) = default;
};

// The viewer's profile. Decodes the name from "name", else the older "fullname".
struct UserProfile
{
    std::optional<FlexibleID> id;
    std::optional<QString> name;
    std::optional<QString> email;
    std::optional<QString> phone;
    std::optional<QString> zone;
    std::optional<QString> region;
    std::optional<QString> access_level;
    std::optional<QString> subscription_status;
    std::optional<QString> subscription_end_date;

    static UserProfile fromJson(const JsonObjectReader &r);
    // Present fields only, the id as a string and the name always under "name".
    [[nodiscard]] QJsonObject toJsonObject() const;
    [[nodiscard]] QByteArray toJson() const;
    friend bool operator==(const UserProfile &, const UserProfile &) = default;
};

// Answer of every sign-in. The access token may come under the older key "token".
struct TokenData
{
    QString access_token;
    std::optional<QString> token_type;
    std::optional<qint64> expires_in;
    QString refresh_token;
    std::optional<UserProfile> user;

    static TokenData fromJson(const JsonObjectReader &r);
    friend bool operator==(const TokenData &, const TokenData &) = default;
};

// Answer of a token refresh (no fallback key).
struct RefreshData
{
    QString access_token;
    std::optional<QString> token_type;
    std::optional<qint64> expires_in;
    QString refresh_token;

    static RefreshData fromJson(const JsonObjectReader &r);
    friend bool operator==(const RefreshData &, const RefreshData &) = default;
};

// Answer of the sign-out request.
struct SignOutData
{
    std::optional<bool> signed_out;

    static SignOutData fromJson(const JsonObjectReader &r);
};

} // namespace orvella

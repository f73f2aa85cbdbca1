#include "api/AccountModels.h"

#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace orvella {

DeviceCodeData DeviceCodeData::fromJson(const JsonObjectReader &r)
{
    DeviceCodeData code;
    code.device_code = r.requiredString("device_code"_L1);
    // Only shown, never sent back.
    code.user_code = boundedCodeText(r.requiredString("user_code"_L1));
    code.verification_url = r.string("verification_url"_L1);
    code.verification_url_complete = r.string("verification_url_complete"_L1);
    code.qr_url = r.string("qr_url"_L1);
    code.expires_in = r.integer("expires_in"_L1);
    code.interval = r.integer("interval"_L1);
    return code;
}

UserProfile UserProfile::fromJson(const JsonObjectReader &r)
{
    UserProfile profile;
    profile.id = r.id("id"_L1);
    profile.name = r.has("name"_L1) ? r.string("name"_L1) : r.string("fullname"_L1);
    profile.email = r.string("email"_L1);
    profile.phone = r.string("phone"_L1);
    profile.zone = r.string("zone"_L1);
    profile.region = r.string("region"_L1);
    profile.access_level = r.string("access_level"_L1);
    profile.subscription_status = r.string("subscription_status"_L1);
    profile.subscription_end_date = r.string("subscription_end_date"_L1);
    return profile;
}

QJsonObject UserProfile::toJsonObject() const
{
    QJsonObject object;
    const auto put = [&object](QLatin1StringView key, const std::optional<QString> &value) {
        if (value)
            object.insert(key, *value);
    };
    if (id)
        object.insert("id"_L1, id->stringValue);
    put("name"_L1, name);
    put("email"_L1, email);
    put("phone"_L1, phone);
    put("zone"_L1, zone);
    put("region"_L1, region);
    put("access_level"_L1, access_level);
    put("subscription_status"_L1, subscription_status);
    put("subscription_end_date"_L1, subscription_end_date);
    return object;
}

QByteArray UserProfile::toJson() const
{
    return QJsonDocument(toJsonObject()).toJson(QJsonDocument::Compact);
}

TokenData TokenData::fromJson(const JsonObjectReader &r)
{
    TokenData tokens;
    tokens.access_token = r.has("access_token"_L1) ? r.requiredHeaderText("access_token"_L1)
                                                   : r.requiredHeaderText("token"_L1);
    tokens.token_type = r.string("token_type"_L1);
    tokens.expires_in = r.integer("expires_in"_L1);
    tokens.refresh_token = r.requiredHeaderText("refresh_token"_L1);
    tokens.user = r.model<UserProfile>("user"_L1);
    return tokens;
}

RefreshData RefreshData::fromJson(const JsonObjectReader &r)
{
    RefreshData tokens;
    tokens.access_token = r.requiredHeaderText("access_token"_L1);
    tokens.token_type = r.string("token_type"_L1);
    tokens.expires_in = r.integer("expires_in"_L1);
    tokens.refresh_token = r.requiredHeaderText("refresh_token"_L1);
    return tokens;
}

SignOutData SignOutData::fromJson(const JsonObjectReader &r)
{
    return SignOutData { r.boolean("signed_out"_L1) };
}

} // namespace orvella

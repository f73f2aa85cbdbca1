#pragma once

#include <QString>
#include <optional>

namespace orvella {

// The session tokens, kept in the application settings (not a keychain) under
// "orvella.session." plus the logical key ("access_token", "refresh_token").
namespace KeychainStore {

inline constexpr auto sessionPrefix = "orvella.session.";
// An older prefix that is only ever removed.
inline constexpr auto legacyPrefix = "orvella.secure.";

[[nodiscard]] std::optional<QString> get(const QString &key);
void set(const QString &key, const QString &value);
// Removes the value under both prefixes.
void remove(const QString &key);

} // namespace KeychainStore

// The installation's device id under "orvella.deviceId": created once as a lower-case UUID and
// kept across launches. Read anew on every call, so a value written elsewhere is used next.
[[nodiscard]] QString storedDeviceId();

} // namespace orvella

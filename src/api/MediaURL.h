#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace orvella {

// Clean-up of an address text from the service (media and image addresses) before use.
namespace MediaURL {

// Trims the text; returns it as a URL when it is well formed with a scheme, else percent-encodes
// it once (leaving "%" alone, so encoded addresses stay as they are) and tries again. Only http
// and https addresses with a host are returned: the service never names a local file.
[[nodiscard]] std::optional<QUrl> make(const std::optional<QString> &text);

} // namespace MediaURL

} // namespace orvella

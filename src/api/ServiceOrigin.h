#pragma once

#include <QUrl>

namespace orvella {

// The service's origin (scheme, host and port). ORVELLA_API_BASE overrides the built-in one,
// so the client can be pointed at a staging service or a local double.
[[nodiscard]] QUrl serviceOrigin();

// A page of the service host, e.g. "/activate".
[[nodiscard]] QUrl servicePage(const QString &path);

} // namespace orvella

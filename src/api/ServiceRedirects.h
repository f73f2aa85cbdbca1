#pragma once

#include <QByteArray>
#include <QUrl>
#include <optional>

namespace orvella {

// Where a redirect may take a request that carries the bearer token or a body: the same host by
// the same scheme and port, or up to https on the same port or from http's default port to
// https's.
[[nodiscard]] bool isSameService(const QUrl &from, const QUrl &to);

// The client follows the redirects of such a request itself, one request per hop, at most this
// many hops.
inline constexpr int maxServiceRedirects = 5;

// Where a request the client follows goes after an answer of `status` with that Location at
// `from`, having followed `hops` redirects so far: nothing when the answer is the request's own.
// A GET follows 301, 302, 303, 307 and 308; any other method only 307 and 308, with its method
// and body, since the others would turn it into a GET without its body and leave unknown what the
// service took. Throws TransportError for a redirect it does not follow: elsewhere than the
// service, one that would change the method, one without a usable address, or one past the
// bound.
[[nodiscard]] std::optional<QUrl> nextServiceHop(
    const QUrl &from, const QByteArray &verb, int status, const QByteArray &location, int hops);

} // namespace orvella

#include "api/ServiceRedirects.h"

#include "api/APIError.h"
#include "api/ApiLog.h"

using namespace Qt::StringLiterals;

namespace orvella {

namespace {

constexpr int httpPort = 80;
constexpr int httpsPort = 443;

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString hostOf(const QUrl &url)
{
    return url.toDisplayString(
        QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
}

} // namespace

bool isSameService(const QUrl &from, const QUrl &to)
{
    if (to.host().isEmpty() || to.host().compare(from.host(), Qt::CaseInsensitive) != 0)
        return false;
    if (to.scheme() == "http"_L1 && from.scheme() == "http"_L1)
        return to.port(httpPort) == from.port(httpPort);
    if (to.scheme() != "https"_L1)
        return false;
    if (from.scheme() == "https"_L1)
        return to.port(httpsPort) == from.port(httpsPort);
    // Up from http: on the same port, or from one default port to the other.
    return from.scheme() == "http"_L1
        && (to.port(httpsPort) == from.port(httpPort)
            || (from.port(httpPort) == httpPort && to.port(httpsPort) == httpsPort));
}

std::optional<QUrl> nextServiceHop(
    const QUrl &from, const QByteArray &verb, int status, const QByteArray &location, int hops)
{
    if (!isRedirect(status))
        return std::nullopt;
    if (verb != "GET" && status != 307 && status != 308) {
        qCWarning(lcApi) << verb << "of" << from.path() << "redirected with" << status
                         << "not followed";
        throw TransportError(TransportError::Kind::RedirectNotFollowed);
    }
    const QUrl named = QUrl::fromEncoded(location);
    const QUrl target = named.isValid() && !location.isEmpty() ? from.resolved(named) : QUrl();
    if (!target.isValid()) {
        qCWarning(lcApi) << "Redirect of" << from.path() << "without a usable address";
        throw TransportError(TransportError::Kind::RedirectNotFollowed);
    }
    if (!isSameService(from, target)) {
        qCWarning(lcApi) << "Redirect of" << from.path() << "to another server" << hostOf(target)
                         << "not followed";
        throw TransportError(TransportError::Kind::RedirectRefused);
    }
    if (hops >= maxServiceRedirects) {
        qCWarning(lcApi) << "Redirect of" << from.path() << "past" << maxServiceRedirects
                         << "hops not followed";
        throw TransportError(TransportError::Kind::TooManyRedirects);
    }
    return target;
}

} // namespace orvella

#include "api/APIError.h"

#include <utility>

namespace orvella {

DecodingError::DecodingError(QString description)
    : m_description(std::move(description))
{ }

APIError APIError::http(int status, QString message, std::optional<QString> code)
{
    APIError error(Kind::Http);
    error.m_status = status;
    error.m_message = std::move(message);
    error.m_code = std::move(code);
    return error;
}

APIError APIError::decoding(const DescribedError &underlying)
{
    return decoding(underlying.description());
}

APIError APIError::decoding(QString underlyingDescription)
{
    APIError error(Kind::Decoding);
    error.m_underlying = std::move(underlyingDescription);
    return error;
}

APIError APIError::empty()
{
    return APIError(Kind::Empty);
}

APIError APIError::unauthorized()
{
    return APIError(Kind::Unauthorized);
}

QString APIError::description() const
{
    switch (m_kind) {
    case Kind::Http:
        return m_message;
    case Kind::Decoding:
        return QStringLiteral("Decoding error: ") + m_underlying;
    case Kind::Empty:
        return QStringLiteral("Empty response");
    case Kind::Unauthorized:
        return QStringLiteral("Signed out \u2014 please sign in again");
    }
    return {};
}

TransportError::TransportError(Kind kind, QNetworkReply::NetworkError networkError)
    : m_kind(kind)
    , m_networkError(networkError)
{ }

TransportError TransportError::fromNetworkError(QNetworkReply::NetworkError error, bool timedOut)
{
    if (timedOut)
        return TransportError(Kind::TimedOut, error);
    switch (error) {
    case QNetworkReply::TimeoutError:
        return TransportError(Kind::TimedOut, error);
    case QNetworkReply::HostNotFoundError:
        return TransportError(Kind::HostNotFound, error);
    case QNetworkReply::ConnectionRefusedError:
        return TransportError(Kind::ConnectionRefused, error);
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::BackgroundRequestNotAllowedError:
        return TransportError(Kind::Offline, error);
    case QNetworkReply::OperationCanceledError:
        return TransportError(Kind::Cancelled, error);
    case QNetworkReply::SslHandshakeFailedError:
    case QNetworkReply::InsecureRedirectError:
        return TransportError(Kind::Tls, error);
    default:
        return TransportError(Kind::Other, error);
    }
}

QString TransportError::description() const
{
    switch (m_kind) {
    case Kind::TimedOut:
        return QStringLiteral("The request timed out.");
    case Kind::HostNotFound:
        return QStringLiteral("A server with the specified hostname could not be found.");
    case Kind::ConnectionRefused:
        return QStringLiteral("Could not connect to the server.");
    case Kind::Offline:
        return QStringLiteral("The Internet connection appears to be offline.");
    case Kind::Cancelled:
        return QStringLiteral("The request was cancelled.");
    case Kind::Tls:
        return QStringLiteral("A secure connection to the server could not be made.");
    case Kind::AnswerTooLarge:
        return QStringLiteral("The service's answer was too large.");
    case Kind::RedirectRefused:
        return QStringLiteral("The service redirected the request to another server.");
    case Kind::RedirectNotFollowed:
        return QStringLiteral("The service redirected the request in a way the client cannot "
                              "follow.");
    case Kind::TooManyRedirects:
        return QStringLiteral("The service redirected the request too many times.");
    case Kind::Other:
        break;
    }
    return QStringLiteral("A network error occurred.");
}

FileReadError::FileReadError(QString fileName, QString reason)
    : m_fileName(std::move(fileName))
    , m_reason(std::move(reason))
{ }

QString FileReadError::description() const
{
    QString text
        = QStringLiteral("The file \u201c%1\u201d couldn\u2019t be opened.").arg(m_fileName);
    if (!m_reason.isEmpty())
        text += u' ' + m_reason;
    return text;
}

QString httpReasonPhrase(int status)
{
    switch (status) {
    case 100:
        return QStringLiteral("continue");
    case 101:
        return QStringLiteral("switching protocols");
    case 200:
        return QStringLiteral("ok");
    case 201:
        return QStringLiteral("created");
    case 202:
        return QStringLiteral("accepted");
    case 203:
        return QStringLiteral("non-authoritative information");
    case 204:
        return QStringLiteral("no content");
    case 205:
        return QStringLiteral("reset content");
    case 206:
        return QStringLiteral("partial content");
    case 300:
        return QStringLiteral("multiple choices");
    case 301:
        return QStringLiteral("moved permanently");
    case 302:
        return QStringLiteral("found");
    case 303:
        return QStringLiteral("see other");
    case 304:
        return QStringLiteral("not modified");
    case 305:
        return QStringLiteral("use proxy");
    case 307:
        return QStringLiteral("temporary redirect");
    case 308:
        return QStringLiteral("permanent redirect");
    case 400:
        return QStringLiteral("bad request");
    case 401:
        return QStringLiteral("unauthorized");
    case 402:
        return QStringLiteral("payment required");
    case 403:
        return QStringLiteral("forbidden");
    case 404:
        return QStringLiteral("not found");
    case 405:
        return QStringLiteral("method not allowed");
    case 406:
        return QStringLiteral("not acceptable");
    case 407:
        return QStringLiteral("proxy authentication required");
    case 408:
        return QStringLiteral("request timeout");
    case 409:
        return QStringLiteral("conflict");
    case 410:
        return QStringLiteral("gone");
    case 411:
        return QStringLiteral("length required");
    case 412:
        return QStringLiteral("precondition failed");
    case 413:
        return QStringLiteral("content too large");
    case 414:
        return QStringLiteral("uri too long");
    case 415:
        return QStringLiteral("unsupported media type");
    case 416:
        return QStringLiteral("range not satisfiable");
    case 417:
        return QStringLiteral("expectation failed");
    case 421:
        return QStringLiteral("misdirected request");
    case 422:
        return QStringLiteral("unprocessable content");
    case 426:
        return QStringLiteral("upgrade required");
    case 429:
        return QStringLiteral("too many requests");
    case 500:
        return QStringLiteral("internal server error");
    case 501:
        return QStringLiteral("not implemented");
    case 502:
        return QStringLiteral("bad gateway");
    case 503:
        return QStringLiteral("service unavailable");
    case 504:
        return QStringLiteral("gateway timeout");
    case 505:
        return QStringLiteral("http version not supported");
    default:
        break;
    }
    if (status >= 100 && status < 200)
        return QStringLiteral("informational");
    if (status >= 200 && status < 300)
        return QStringLiteral("success");
    if (status >= 300 && status < 400)
        return QStringLiteral("redirected");
    if (status >= 400 && status < 500)
        return QStringLiteral("client error");
    if (status >= 500 && status < 600)
        return QStringLiteral("server error");
    return QStringLiteral("unknown");
}

QString describeException(std::exception_ptr error)
{
    try {
        if (error)
            std::rethrow_exception(error);
    } catch (const DescribedError &e) {
        return e.description();
    }
    // Anything else is a programming error and goes on up; only a null error arrives here.
    return QStringLiteral("Something went wrong.");
}

} // namespace orvella

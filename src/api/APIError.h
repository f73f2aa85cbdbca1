#pragma once

#include "base/DescribedError.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QString>
#include <exception>
#include <memory>
#include <optional>

namespace orvella {

// A service answer did not fit its model: the description names the first offending member.
class DecodingError : public DescribedError
{
public:
    explicit DecodingError(QString description);
    [[nodiscard]] QString description() const override { return m_description; }

private:
    QString m_description;
};

// The error of the API layer for service answers.
class APIError : public DescribedError
{
public:
    enum class Kind { Http, Decoding, Empty, Unauthorized };

    [[nodiscard]] static APIError http(
        int status, QString message, std::optional<QString> code = std::nullopt);
    [[nodiscard]] static APIError decoding(const DescribedError &underlying);
    [[nodiscard]] static APIError decoding(QString underlyingDescription);
    [[nodiscard]] static APIError empty();
    [[nodiscard]] static APIError unauthorized();

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] int status() const { return m_status; }
    [[nodiscard]] const QString &message() const { return m_message; }
    [[nodiscard]] const std::optional<QString> &code() const { return m_code; }
    // The description of the wrapped error, for Decoding.
    [[nodiscard]] const QString &underlyingDescription() const { return m_underlying; }

    [[nodiscard]] QString description() const override;

private:
    explicit APIError(Kind kind)
        : m_kind(kind)
    { }

    Kind m_kind;
    int m_status = 0;
    QString m_message;
    std::optional<QString> m_code;
    QString m_underlying;
};

// A request that never got a whole HTTP answer: none at all, one cut short, or one past the
// client's bound. Each kind has one fixed, readable text.
class TransportError : public DescribedError
{
public:
    enum class Kind {
        TimedOut,
        HostNotFound,
        ConnectionRefused,
        Offline,
        Cancelled,
        Tls,
        AnswerTooLarge,
        // The service redirected a request that carries the token or a body to another server.
        RedirectRefused,
        // ... in a way the client does not follow: a 301, 302 or 303 of a request other than a
        // GET (it would go on as a GET without its body), or without a usable address.
        RedirectNotFollowed,
        // ... more times than the client follows.
        TooManyRedirects,
        Other
    };

    explicit TransportError(
        Kind kind, QNetworkReply::NetworkError networkError = QNetworkReply::UnknownNetworkError);
    // Maps a failed reply's error; timedOut tells an abort by a time-out from one by the caller.
    [[nodiscard]] static TransportError fromNetworkError(
        QNetworkReply::NetworkError error, bool timedOut);

    [[nodiscard]] Kind kind() const { return m_kind; }
    [[nodiscard]] QNetworkReply::NetworkError networkError() const { return m_networkError; }
    [[nodiscard]] QString description() const override;

private:
    Kind m_kind;
    QNetworkReply::NetworkError m_networkError;
};

// A local file could not be read (the testimony upload reads its movie before sending).
class FileReadError : public DescribedError
{
public:
    FileReadError(QString fileName, QString reason);
    [[nodiscard]] QString description() const override;
    [[nodiscard]] const QString &fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QString m_reason;
};

// The RFC 9110 reason phrase of an HTTP status in lower case ("not found"); a generic text for
// codes without one.
[[nodiscard]] QString httpReasonPhrase(int status);

// The readable description of a failure an operation threw (a DescribedError); anything else is
// rethrown, as a programming error is never shown as a failure.
[[nodiscard]] QString describeException(std::exception_ptr error);

} // namespace orvella

// The multipart testimony upload, tried on the service's upload routes in turn.

#include "api/Identity.h"
#include "api/MultipartForm.h"
#include "api/OrvellaAPIClient.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QPointer>
#include <exception>

using namespace Qt::StringLiterals;

namespace orvella {

namespace {

// Why an answer of a route is not an acceptance, if it is not: any 2xx but an error envelope
// accepts the upload.
std::optional<APIError> refusal(const OrvellaAPIClient::HttpAnswer &answer)
{
    if (answer.status < 200 || answer.status > 299)
        return APIError::http(answer.status, httpReasonPhrase(answer.status));
    try {
        const auto envelope = decodeEnvelope<JSONValue>(answer.body);
        if (envelope.status != "error"_L1)
            return std::nullopt;
        return APIError::http(
            answer.status, envelope.message.value_or(u"Upload failed"_s), envelope.code);
    } catch (const DecodingError &) {
        // Any 2xx answer that is not an envelope counts as accepted.
        return std::nullopt;
    }
}

constexpr int maxUploadRedirects = 5;

} // namespace

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::sendUpload(
    QNetworkRequest request, MultipartForm form, std::stop_token stop)
{
    // Qt sends a request again on a new connection when its connection closed before an
    // answer: for an upload, a second whole body on the same route. The form's body cannot be
    // rewound once read, so that becomes a failure of the route instead. A connection of its own
    // is never a kept-alive one that the service has closed meanwhile, which would otherwise
    // fail the route before anything went out.
    // Qt would rewind the body to follow a redirect too, so redirects are followed here: a 307 or
    // 308 moves the upload, body and all, to its new address on the same service; any other
    // redirect is the route's answer.
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QPointer<OrvellaAPIClient> self(this);
    for (int redirects = 0;; ++redirects) {
        auto manager = std::make_unique<QNetworkAccessManager>();
        manager->setAutoDeleteReplies(false);
        HttpAnswer answer = co_await send(
            manager.get(), request, "POST", {}, form.open(), m_options.upload, stop);
        if (!self)
            throwGone();
        if ((answer.status != 307 && answer.status != 308) || redirects == maxUploadRedirects)
            co_return answer;
        const QUrl next = request.url().resolved(
            QUrl::fromEncoded(answer.header("Location"), QUrl::StrictMode));
        if (!next.isValid() || !isSameService(request.url(), next))
            co_return answer;
        request.setUrl(next);
    }
}

QCoro::Task<> OrvellaAPIClient::uploadTestimony(
    QString filePath, QString name, QString email, QString title, std::stop_token stop)
{
    const MultipartForm form(MultipartForm::newBoundary(),
        { { u"name"_s, name }, { u"fullname"_s, name }, { u"email"_s, email },
            { u"title"_s, title }, { u"source"_s, QString::fromLatin1(identity::testimonySource) },
            { u"platform"_s, QString::fromLatin1(identity::platform) } },
        u"video"_s, filePath, "video/quicktime");
    static const QStringList routes { u"user/testimony"_s, u"user/testimonies"_s,
        u"testimony/upload"_s, u"testimonies/upload"_s, u"engagement/testimony"_s };
    QPointer<OrvellaAPIClient> self(this);
    std::exception_ptr lastError;
    for (const QString &route : routes) {
        QNetworkRequest request = uncachedRequest(endpointURL(route), true);
        request.setRawHeader("Content-Type", form.contentType());
        request.setHeader(QNetworkRequest::ContentLengthHeader, form.size());
        try {
            const std::optional<APIError> refused
                = co_await readOnDecoders(sendUpload(request, form, stop), &refusal);
            if (!refused)
                co_return;
            lastError = std::make_exception_ptr(*refused);
        } catch (const TransportError &error) {
            if (error.kind() == TransportError::Kind::Cancelled && stop.stop_requested())
                throw;
            lastError = std::current_exception();
        } catch (const APIError &) {
            lastError = std::current_exception();
        }
        if (!self)
            throwGone();
    }
    std::rethrow_exception(lastError);
}

} // namespace orvella

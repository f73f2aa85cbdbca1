// The multipart testimony upload, tried on the service's upload routes in turn.

#include "api/Identity.h"
#include "api/MultipartForm.h"
#include "api/OrvellaAPIClient.h"

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

} // namespace

QCoro::Task<> OrvellaAPIClient::uploadTestimony(
    QString filePath, QString name, QString email, QString title, std::stop_token stop)
{
    const MultipartForm form(MultipartForm::newBoundary(),
        { { u"name"_s, name }, { u"fullname"_s, name }, { u"email"_s, email },
            { u"title"_s, title }, { u"source"_s, QString::fromLatin1(identity::testimonySource) },
            { u"platform"_s, QString::fromLatin1(identity::platform) } },
        u"video"_s, filePath, "video/quicktime");
    const RequestBody body([form] { return form.open(); }, form.size());
    static const QStringList routes { u"user/testimony"_s, u"user/testimonies"_s,
        u"testimony/upload"_s, u"testimonies/upload"_s, u"engagement/testimony"_s };
    QPointer<OrvellaAPIClient> self(this);
    std::exception_ptr lastError;
    for (const QString &route : routes) {
        QNetworkRequest request = uncachedRequest(endpointURL(route), true);
        request.setRawHeader("Content-Type", form.contentType());
        try {
            // A network manager of its own per request: a new connection, never a kept-alive
            // one that the service closed meanwhile, which would fail the route before anything
            // went out (the body is read once: Qt's own resend fails the route instead).
            const std::optional<APIError> refused = co_await readOnDecoders(
                send(nullptr, request, "POST", body, m_options.upload, stop), &refusal);
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

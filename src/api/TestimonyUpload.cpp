// The multipart testimony upload, tried on the service's upload routes in turn.

#include "api/Identity.h"
#include "api/MultipartForm.h"
#include "api/OrvellaAPIClient.h"

#include <QIODevice>
#include <QPointer>
#include <exception>

using namespace Qt::StringLiterals;

namespace orvella {

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
            const HttpAnswer answer = co_await send(
                m_session, request, "POST", {}, form.open(), m_options.upload, stop);
            if (answer.status >= 200 && answer.status <= 299) {
                try {
                    const auto envelope = decodeEnvelope<JSONValue>(answer.body);
                    if (envelope.status != "error"_L1)
                        co_return;
                    lastError = std::make_exception_ptr(APIError::http(answer.status,
                        envelope.message.value_or(u"Upload failed"_s), envelope.code));
                } catch (const DecodingError &) {
                    // Any 2xx answer that is not an envelope counts as accepted.
                    co_return;
                }
            } else {
                lastError = std::make_exception_ptr(
                    APIError::http(answer.status, httpReasonPhrase(answer.status)));
            }
        } catch (const TransportError &error) {
            if (error.kind() == TransportError::Kind::Cancelled && stop.stop_requested())
                throw;
            lastError = std::current_exception();
        } catch (const APIError &) {
            lastError = std::current_exception();
        }
        if (!self)
            throw TransportError(TransportError::Kind::Cancelled);
    }
    std::rethrow_exception(lastError);
}

} // namespace orvella

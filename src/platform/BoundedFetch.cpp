#include "platform/BoundedFetch.h"

#include <QCoro/QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <memory>
#include <optional>

namespace orvella {

namespace {
// False once enough has arrived to tell that it does not begin as a playlist.
bool mayBePlaylist(const QByteArray &head)
{
    static constexpr QByteArrayView tag("#EXTM3U");
    const QByteArrayView text = QByteArrayView(head).trimmed();
    return text.size() < tag.size() || text.startsWith(tag);
}

// The HTTP status when it is known and not a success (an error page is no file of the stream).
std::optional<int> failedStatus(const QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return std::nullopt;
    const int code = status.toInt();
    if (code >= 200 && code < 300)
        return std::nullopt;
    return code;
}

QString statusError(int status)
{
    return QStringLiteral("the server answered with HTTP status %1").arg(status);
}
} // namespace

QCoro::Task<FetchedFile> fetchBounded(
    QNetworkAccessManager &network, QUrl url, FetchLimits limits, std::stop_token stop)
{
    FetchedFile result;
    result.url = url;
    if (stop.stop_requested()) {
        result.error = QStringLiteral("stopped");
        co_return result;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(int(limits.idleTimeout.count()));
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(
        network.get(request), [](QNetworkReply *r) { r->deleteLater(); });
    // Filled as the body arrives, so nothing past the bound is held.
    auto state = std::make_shared<FetchedFile>();
    state->outcome = FetchedFile::Outcome::Complete;
    QNetworkReply *const raw = reply.get();
    const auto stopReading = [state, raw](FetchedFile::Outcome why, QString error = {}) {
        state->outcome = why;
        state->error = std::move(error);
        state->body.clear();
        raw->abort();
    };
    // Reads what arrived, never more than the bound allows (read(n) would reserve n bytes).
    const auto take = [state, raw, limits] {
        const qint64 room = limits.maxBytes + 1 - state->body.size();
        state->body += raw->read(std::min(raw->bytesAvailable(), room));
    };
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [=] {
        // Redirects that are followed pass by here too: only errors are told at once.
        if (const auto status = failedStatus(*raw); status && *status >= 400) {
            stopReading(FetchedFile::Outcome::Failed, statusError(*status));
            return;
        }
        const QVariant length = raw->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits.maxBytes)
            stopReading(FetchedFile::Outcome::TooLarge);
    });
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [=] {
        if (state->outcome != FetchedFile::Outcome::Complete)
            return;
        if (const auto status = failedStatus(*raw)) {
            stopReading(FetchedFile::Outcome::Failed, statusError(*status));
            return;
        }
        take();
        if (state->body.size() > limits.maxBytes)
            stopReading(FetchedFile::Outcome::TooLarge);
        else if (limits.playlistOnly && !mayBePlaylist(state->body))
            stopReading(FetchedFile::Outcome::NotPlaylist);
    });
    QTimer whole;
    if (limits.wholeTimeout.count() > 0) {
        whole.setSingleShot(true);
        QObject::connect(&whole, &QTimer::timeout, raw, [=] {
            stopReading(FetchedFile::Outcome::Failed,
                QStringLiteral("not read within %1 s")
                    .arg(double(limits.wholeTimeout.count()) / 1000.0));
        });
        whole.start(limits.wholeTimeout);
    }
    std::stop_callback abortOnStop(stop, [raw] { raw->abort(); });
    if (!raw->isFinished())
        co_await raw;
    whole.stop();
    result.url = raw->url();
    if (state->outcome != FetchedFile::Outcome::Complete) {
        result.outcome = state->outcome;
        result.error = state->error;
        co_return result;
    }
    if (const auto status = failedStatus(*raw)) {
        result.error = statusError(*status);
        co_return result;
    }
    if (raw->error() != QNetworkReply::NoError) {
        result.error = raw->errorString();
        co_return result;
    }
    // What arrived with the end of the transfer.
    take();
    if (state->body.size() > limits.maxBytes) {
        result.outcome = FetchedFile::Outcome::TooLarge;
        co_return result;
    }
    result.outcome = FetchedFile::Outcome::Complete;
    result.body = std::move(state->body);
    co_return result;
}

} // namespace orvella

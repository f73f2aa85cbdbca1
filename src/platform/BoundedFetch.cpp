#include "platform/BoundedFetch.h"

#include <QCoro/QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <memory>

namespace orvella {

namespace {
// False once enough has arrived to tell that it does not begin as a playlist.
bool mayBePlaylist(const QByteArray &head)
{
    static constexpr QByteArrayView tag("#EXTM3U");
    const QByteArrayView text = QByteArrayView(head).trimmed();
    return text.size() < tag.size() || text.startsWith(tag);
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
    const auto stopReading = [state, raw](FetchedFile::Outcome why) {
        state->outcome = why;
        state->body.clear();
        raw->abort();
    };
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [=] {
        const QVariant length = raw->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits.maxBytes)
            stopReading(FetchedFile::Outcome::TooLarge);
    });
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [=] {
        if (state->outcome != FetchedFile::Outcome::Complete)
            return;
        state->body += raw->read(limits.maxBytes + 1 - state->body.size());
        if (state->body.size() > limits.maxBytes)
            stopReading(FetchedFile::Outcome::TooLarge);
        else if (limits.playlistOnly && !mayBePlaylist(state->body))
            stopReading(FetchedFile::Outcome::NotPlaylist);
    });
    std::stop_callback abortOnStop(stop, [raw] { raw->abort(); });
    if (!raw->isFinished())
        co_await raw;
    result.url = raw->url();
    if (state->outcome != FetchedFile::Outcome::Complete) {
        result.outcome = state->outcome;
        co_return result;
    }
    if (raw->error() != QNetworkReply::NoError) {
        result.error = raw->errorString();
        co_return result;
    }
    // What arrived with the end of the transfer.
    state->body += raw->read(limits.maxBytes + 1 - state->body.size());
    if (state->body.size() > limits.maxBytes) {
        result.outcome = FetchedFile::Outcome::TooLarge;
        co_return result;
    }
    result.outcome = FetchedFile::Outcome::Complete;
    result.body = std::move(state->body);
    co_return result;
}

} // namespace orvella

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

// Why an answer does not hold the part of the file asked for: a whole file (200) holds it only
// when the part begins the file, and a partial answer (206) must begin where the part does.
std::optional<QString> wrongPart(const QNetworkReply &reply, const ByteRange &range)
{
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 200 && range.offset != 0) {
        return QStringLiteral("the server sent the whole file instead of its part from byte %1")
            .arg(range.offset);
    }
    if (status != 206)
        return std::nullopt;
    // "bytes FIRST-LAST/LENGTH"
    const QByteArray value = reply.rawHeader("Content-Range").trimmed();
    bool known = false;
    const qint64 first = value.startsWith("bytes ")
        ? value.mid(6, value.indexOf('-') - 6).trimmed().toLongLong(&known)
        : -1;
    if (known && first == range.offset)
        return std::nullopt;
    return QStringLiteral("the server sent another part than asked for (Content-Range \"%1\")")
        .arg(QString::fromLatin1(value.left(80)));
}

void askForPart(QNetworkRequest &request, const ByteRange &range)
{
    request.setRawHeader("Range",
        "bytes=" + QByteArray::number(range.offset) + '-'
            + QByteArray::number(range.offset + range.length - 1));
    // A part is not the file: the disk cache neither answers for it nor keeps it as the file.
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
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
    if (limits.range && (limits.range->offset < 0 || limits.range->length <= 0)) {
        result.error = QStringLiteral("no such part of a file: %1 bytes from byte %2")
                           .arg(limits.range->length)
                           .arg(limits.range->offset);
        co_return result;
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(int(limits.idleTimeout.count()));
    if (limits.range)
        askForPart(request, *limits.range);
    const std::unique_ptr<QNetworkReply, void (*)(QNetworkReply *)> reply(
        network.get(request), [](QNetworkReply *r) { r->deleteLater(); });
    // Filled as the body arrives, so nothing past the bound is held.
    auto state = std::make_shared<FetchedFile>();
    state->outcome = FetchedFile::Outcome::Complete;
    // The whole part asked for has arrived (the transfer was ended for that).
    auto partRead = std::make_shared<bool>(false);
    QNetworkReply *const raw = reply.get();
    // Qt's HTTP thread reads on unbounded while an abort is on its way to it: from a server that
    // sends a whole file at once it took in up to 512 MiB after the part had arrived.
    if (limits.range)
        raw->setReadBufferSize(limits.range->length);
    const auto stopReading
        = [state, raw](FetchedFile::Outcome why, QString error = {}, int errorStatus = 0) {
              state->outcome = why;
              state->error = std::move(error);
              state->refused = errorStatus >= 400;
              state->errorStatus = errorStatus;
              state->body.clear();
              raw->abort();
          };
    // Reads what arrived, never more than the bound allows (read(n) would reserve n bytes).
    const auto take = [state, raw, limits] {
        const qint64 bound = limits.range ? limits.range->length : limits.maxBytes + 1;
        const qint64 room = bound - state->body.size();
        state->body += raw->read(std::min(raw->bytesAvailable(), room));
    };
    QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [=] {
        // Redirects that are followed pass by here too: only errors are told at once.
        if (const auto status = failedStatus(*raw); status && *status >= 400) {
            stopReading(FetchedFile::Outcome::Failed, statusError(*status), *status);
            return;
        }
        if (limits.range) {
            if (const auto wrong = wrongPart(*raw, *limits.range))
                stopReading(FetchedFile::Outcome::Failed, *wrong);
            return;
        }
        const QVariant length = raw->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits.maxBytes)
            stopReading(FetchedFile::Outcome::TooLarge);
    });
    QObject::connect(raw, &QNetworkReply::readyRead, raw, [=] {
        if (state->outcome != FetchedFile::Outcome::Complete || *partRead)
            return;
        if (const auto status = failedStatus(*raw)) {
            stopReading(
                FetchedFile::Outcome::Failed, statusError(*status), *status >= 400 ? *status : 0);
            return;
        }
        take();
        if (limits.range && state->body.size() >= limits.range->length) {
            *partRead = true;
            raw->abort();
        } else if (!limits.range && state->body.size() > limits.maxBytes)
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
        result.refused = state->refused;
        result.errorStatus = state->errorStatus;
        co_return result;
    }
    if (const auto status = failedStatus(*raw)) {
        result.error = statusError(*status);
        result.refused = *status >= 400;
        result.errorStatus = result.refused ? *status : 0;
        co_return result;
    }
    if (!*partRead && raw->error() != QNetworkReply::NoError) {
        result.error = raw->errorString();
        co_return result;
    }
    // What arrived with the end of the transfer.
    if (!*partRead)
        take();
    if (!limits.range && state->body.size() > limits.maxBytes) {
        result.outcome = FetchedFile::Outcome::TooLarge;
        co_return result;
    }
    result.outcome = FetchedFile::Outcome::Complete;
    result.body = std::move(state->body);
    co_return result;
}

} // namespace orvella

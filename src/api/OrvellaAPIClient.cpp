#include "api/OrvellaAPIClient.h"

#include "api/ApiLog.h"
#include "api/Identity.h"
#include "api/KeychainStore.h"
#include "api/ServiceOrigin.h"
#include "api/ServiceRedirects.h"

#include <QCoroNetworkReply>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace orvella {

namespace {

constexpr auto userAgent = "okhttp/4.12.0";

struct DeleteLater
{
    void operator()(QObject *object) const
    {
        if (object)
            object->deleteLater();
    }
};

// Aborts on the reply's next event-loop turn: an abort finishes the reply at once, which resumes
// the awaiting coroutine, and that must not happen inside the timer signal or stop callback
// whose owner the coroutine frame destroys.
void abortLater(const QPointer<QNetworkReply> &reply)
{
    if (reply)
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

// Qt keeps at most this much of an answer that the client has not taken yet, so the network is
// read no faster than the answer is counted.
constexpr qint64 replyBufferBytes = 1024 * 1024;

// A failure of the transfer itself, which Qt reports even after a status arrived (an answer cut
// short, aborted by a time-out); the other errors it gives with a status stand for that status.
bool isTransferFailure(QNetworkReply::NetworkError error)
{
    return error != QNetworkReply::NoError
        && (error < QNetworkReply::ProxyConnectionRefusedError
            || error == QNetworkReply::ProtocolFailure);
}

// Qt ends an answer whose content coding inflates past its own safety check (a compression bomb)
// with this error and the answer's own status; Qt 6.4 ends a broken compressed stream the same
// way. Qt gives this error for unknown 4xx statuses too, which are answers.
bool stoppedByContentDecoding(QNetworkReply::NetworkError error, int status)
{
    return error == QNetworkReply::UnknownContentError && status < 400;
}

bool isNoCacheDirective(const QByteArray &cacheControl)
{
    const QByteArray lower = cacheControl.toLower();
    return lower.contains("no-cache") || lower.contains("no-store");
}

} // namespace

QByteArray OrvellaAPIClient::HttpAnswer::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

OrvellaAPIClient::OrvellaAPIClient(Options options, QObject *parent)
    : QObject(parent)
    , m_options(std::move(options))
    , m_session(new QNetworkAccessManager(this))
    , m_scheduleSession(new QNetworkAccessManager(this))
    , m_diskCache(new QNetworkDiskCache(this))
{
    QString folder = m_options.cacheDirectory;
    if (folder.isEmpty()) {
        folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
            + QStringLiteral("/api");
    }
    QDir().mkpath(folder);
    m_diskCache->setCacheDirectory(folder);
    m_diskCache->setMaximumCacheSize(m_options.cacheBytes);
    m_session->setCache(m_diskCache);
    m_session->setAutoDeleteReplies(false);
    m_scheduleSession->setAutoDeleteReplies(false);
}

OrvellaAPIClient::OrvellaAPIClient(QObject *parent)
    : OrvellaAPIClient(Options(), parent)
{ }

OrvellaAPIClient::~OrvellaAPIClient() = default;

OrvellaAPIClient &OrvellaAPIClient::shared()
{
    static OrvellaAPIClient *instance = [] {
        auto *client = new OrvellaAPIClient();
        // Lives as long as the application; freed with it.
        if (QCoreApplication::instance())
            client->setParent(QCoreApplication::instance());
        return client;
    }();
    return *instance;
}

QUrl OrvellaAPIClient::baseURL()
{
    QUrl url = serviceOrigin();
    url.setPath(QStringLiteral("/fresh/newapi/v1/"));
    return url;
}

QUrl OrvellaAPIClient::endpointURL(const QString &path, const QueryItems &query)
{
    QUrl url = baseURL();
    // The path is already percent-encoded where it needs to be (identifiers are one segment).
    url.setPath(url.path(QUrl::FullyEncoded) + path, QUrl::TolerantMode);
    if (!query.isEmpty()) {
        QString text;
        for (const auto &[name, value] : query) {
            if (!text.isEmpty())
                text += u'&';
            text += QString::fromLatin1(QUrl::toPercentEncoding(name)) + u'='
                + QString::fromLatin1(QUrl::toPercentEncoding(value));
        }
        url.setQuery(text, QUrl::StrictMode);
    }
    return url;
}

void OrvellaAPIClient::setAccessToken(const std::optional<QString> &token)
{
    m_accessToken = token;
}

QString OrvellaAPIClient::deviceId()
{
    return storedDeviceId();
}

void OrvellaAPIClient::clearCaches()
{
    m_etags.clear();
    m_diskCache->clear();
}

void OrvellaAPIClient::applyHeaders(
    QNetworkRequest &request, bool auth, const std::optional<QString> &platform) const
{
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("User-Agent", userAgent);
    request.setRawHeader("X-Device-Id", deviceId().toUtf8());
    request.setRawHeader(
        "X-Platform", platform ? platform->toUtf8() : QByteArray(identity::platform));
    request.setRawHeader("X-App-Version", identity::appVersion);
    if (auth && m_accessToken)
        request.setRawHeader("Authorization", "Bearer " + m_accessToken->toUtf8());
}

void OrvellaAPIClient::throwIfNeeded(int status, const QByteArray &body)
{
    if (status >= 200 && status <= 299)
        return;
    try {
        const auto envelope = decodeEnvelope<JSONValue>(body);
        if (envelope.message && !envelope.message->isEmpty())
            throw APIError::http(status, *envelope.message, envelope.code);
    } catch (const DecodingError &error) {
        qCDebug(lcApi) << "HTTP" << status << "answer without an envelope:" << error.description();
    }
    if (status == 403) {
        throw APIError::http(403,
            u"Sign-in was blocked by the server (forbidden). Check your network, "
            "then tap Get New Code."_s,
            u"FORBIDDEN"_s);
    }
    throw APIError::http(status, httpReasonPhrase(status));
}

void OrvellaAPIClient::throwGone()
{
    throw TransportError(TransportError::Kind::Cancelled);
}

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::send(QNetworkAccessManager *manager,
    QNetworkRequest request, QByteArray verb, RequestBody body, Limits limits, std::stop_token stop)
{
    // Qt would carry the token and the body wherever a redirect points, rewinds a body to follow
    // one, and asked hops it had verified more than once: such a request follows its redirects
    // here, one request per hop, on the service only.
    if (!request.hasRawHeader("Authorization") && body.isEmpty())
        co_return co_await sendOnce(manager, request, verb, body, limits, stop);
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QPointer<OrvellaAPIClient> self(this);
    // The whole-transfer bound is the whole chain's.
    QElapsedTimer sending;
    sending.start();
    for (int hops = 0;; ++hops) {
        Limits hop = limits;
        if (limits.whole.count() > 0) {
            hop.whole = limits.whole - std::chrono::milliseconds(sending.elapsed());
            if (hop.whole.count() <= 0)
                throw TransportError(
                    TransportError::Kind::TimedOut, QNetworkReply::OperationCanceledError);
        }
        HttpAnswer answer = co_await sendOnce(manager, request, verb, body, hop, stop);
        if (!self)
            throwGone();
        const std::optional<QUrl> next
            = nextServiceHop(request.url(), verb, answer.status, answer.header("Location"), hops);
        if (!next)
            co_return answer;
        request.setUrl(*next);
    }
}

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::sendOnce(QNetworkAccessManager *manager,
    QNetworkRequest request, QByteArray verb, const RequestBody &body, Limits limits,
    std::stop_token stop)
{
    if (stop.stop_requested())
        throw TransportError(
            TransportError::Kind::Cancelled, QNetworkReply::OperationCanceledError);
    if (manager == m_session && verb == "GET"
        && request.attribute(QNetworkRequest::CacheLoadControlAttribute).toInt()
            == QNetworkRequest::PreferNetwork) {
        if (auto cached = freshCachedAnswer(request.url()))
            co_return std::move(*cached);
    }
    request.setTransferTimeout(static_cast<int>(limits.idle.count()));
    // A network manager of its own goes out on a new connection, never on a kept-alive one that
    // the service closed meanwhile.
    std::unique_ptr<QNetworkAccessManager> own;
    if (!manager) {
        own = std::make_unique<QNetworkAccessManager>();
        own->setAutoDeleteReplies(false);
        manager = own.get();
    }
    std::unique_ptr<QIODevice> bodyDevice = body.open();
    std::unique_ptr<QNetworkReply, DeleteLater> reply;
    if (bodyDevice) {
        request.setHeader(QNetworkRequest::ContentLengthHeader, body.size());
        reply.reset(verb == "POST" ? manager->post(request, bodyDevice.get())
                                   : manager->sendCustomRequest(request, verb, bodyDevice.get()));
        bodyDevice.release()->setParent(reply.get());
    } else if (verb == "GET")
        reply.reset(manager->get(request));
    else if (verb == "DELETE")
        reply.reset(manager->deleteResource(request));
    else if (verb == "POST")
        reply.reset(manager->post(request, QByteArray()));
    else
        reply.reset(manager->sendCustomRequest(request, verb));
    reply->setReadBufferSize(replyBufferBytes);

    QPointer<QNetworkReply> guarded(reply.get());
    bool timedOut = false;
    QTimer wholeLimit;
    if (limits.whole.count() > 0) {
        wholeLimit.setSingleShot(true);
        QObject::connect(&wholeLimit, &QTimer::timeout, reply.get(), [&timedOut, guarded] {
            timedOut = true;
            abortLater(guarded);
        });
        wholeLimit.start(limits.whole);
    }
    std::stop_callback onStop(stop, [guarded] { abortLater(guarded); });

    // The answer is taken as it arrives and counted: past the bound it is dropped and the
    // transfer ends, whatever the service announced.
    const qint64 bound = m_options.answerBytes;
    QByteArray received;
    bool tooLarge = false;
    const auto refuse = [&received, &tooLarge, guarded] {
        tooLarge = true;
        received = QByteArray();
        abortLater(guarded);
    };
    const QMetaObject::Connection onHead
        = QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, reply.get(), [&] {
              const QVariant length = guarded->header(QNetworkRequest::ContentLengthHeader);
              if (!tooLarge && length.isValid() && length.toLongLong() > bound)
                  refuse();
          });
    // Takes what is there, one byte past the bound at most.
    const auto take = [&received, bound](QNetworkReply *from) {
        received += from->read(std::min(from->bytesAvailable(), bound + 1 - received.size()));
    };
    const QMetaObject::Connection onData
        = QObject::connect(reply.get(), &QNetworkReply::readyRead, reply.get(), [&] {
              if (tooLarge)
                  return;
              take(guarded);
              if (received.size() > bound)
                  refuse();
          });

    co_await reply.get();
    wholeLimit.stop();
    QObject::disconnect(onHead);
    QObject::disconnect(onData);

    if (stop.stop_requested()) {
        throw TransportError(
            TransportError::Kind::Cancelled, QNetworkReply::OperationCanceledError);
    }
    const auto refused = [&] {
        qCWarning(lcApi) << "Answer of" << reply->url().path() << "refused: more than" << bound
                         << "bytes";
        return TransportError(TransportError::Kind::AnswerTooLarge);
    };
    if (tooLarge)
        throw refused();
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const bool hasStatus = statusAttribute.isValid() && statusAttribute.toInt() > 0;
    const QNetworkReply::NetworkError error = reply->error();
    if (hasStatus && stoppedByContentDecoding(error, statusAttribute.toInt())) {
        qCWarning(lcApi) << "Answer of" << reply->url().path()
                         << "refused: its content coding did not inflate within Qt's bounds";
        throw TransportError(TransportError::Kind::AnswerTooLarge);
    }
    // Once a status has arrived, an answer cut short or ended by a time-out is still no answer.
    if (!hasStatus || isTransferFailure(error)) {
        if (error != QNetworkReply::NoError) {
            // An abort that the caller did not ask for is a time-out (idle or whole).
            const bool timeOut = timedOut || error == QNetworkReply::OperationCanceledError;
            throw TransportError::fromNetworkError(error, timeOut);
        }
        throw APIError::empty();
    }
    take(reply.get());
    if (received.size() > bound)
        throw refused();
    HttpAnswer answer;
    answer.status = statusAttribute.toInt();
    answer.body = std::move(received);
    answer.headers = reply->rawHeaderPairs();
    co_return answer;
}

std::optional<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::freshCachedAnswer(const QUrl &url)
{
    const QNetworkCacheMetaData meta = m_diskCache->metaData(url);
    if (!meta.isValid())
        return std::nullopt;
    bool fresh = meta.saveToDisk() && meta.expirationDate().isValid()
        && QDateTime::currentDateTimeUtc() < meta.expirationDate();
    for (const auto &[name, value] : meta.rawHeaders()) {
        if (name.compare("Cache-Control", Qt::CaseInsensitive) == 0 && isNoCacheDirective(value))
            fresh = false;
    }
    const int status = meta.attributes().value(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (fresh && status >= 200 && status <= 299) {
        std::unique_ptr<QIODevice> data(m_diskCache->data(url));
        if (data) {
            HttpAnswer answer;
            answer.status = status;
            answer.body = data->readAll();
            answer.headers = meta.rawHeaders();
            return answer;
        }
    }
    // An entry past its freshness is dropped, so that Qt neither revalidates it with its own
    // conditional headers nor turns a 304 for the client's own tag into a cached 200.
    m_diskCache->remove(url);
    return std::nullopt;
}

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::fetchGet(
    QString path, QueryItems query, bool auth, bool useEtag, std::stop_token stop)
{
    const QUrl url = endpointURL(path, query);
    if (!useEtag)
        co_return co_await getUncached(m_session, url, auth, m_options.main, std::move(stop));
    // Served from the disk cache while fresh (each hop's address in turn).
    QNetworkRequest request(url);
    applyHeaders(request, auth);
    if (const auto tag = m_etags.constFind(path); tag != m_etags.constEnd())
        request.setRawHeader("If-None-Match", tag->toUtf8());
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferNetwork);
    co_return co_await send(m_session, request, "GET", {}, m_options.main, std::move(stop));
}

OrvellaAPIClient::GetAnswer OrvellaAPIClient::readGetAnswer(
    const HttpAnswer &answer, const std::optional<QString> &replay, bool useEtag)
{
    if (replay) {
        // Not modified: the answer stored with the tag that was sent.
        const auto envelope = decodeEnvelope<JSONValue>(replay->toUtf8());
        return { envelope.data.value_or(JSONValue()), {} };
    }
    throwIfNeeded(answer.status, answer.body);
    const auto envelope = decodeEnvelope<JSONValue>(answer.body);
    if (envelope.status == "error"_L1) {
        throw APIError::http(answer.status, envelope.message.value_or(u"Error"_s), envelope.code);
    }
    GetAnswer read { envelope.data.value_or(JSONValue()), {} };
    if (useEtag) {
        // Only a usable answer feeds the tag cache: the tag and the body go together.
        read.tags.apply = true;
        read.tags.tag = QString::fromUtf8(answer.header("ETag"));
        if (!read.tags.tag.isEmpty())
            read.tags.body = QString::fromUtf8(answer.body);
    }
    return read;
}

std::optional<QString> OrvellaAPIClient::storedBody(const QString &path) const
{
    const auto body = m_etags.constFind(u"body:"_s + path);
    return body == m_etags.constEnd() ? std::nullopt : std::optional(*body);
}

void OrvellaAPIClient::storeTags(const QString &path, TagUpdate tags)
{
    const QString bodyKey = u"body:"_s + path;
    if (tags.tag.isEmpty()) {
        m_etags.remove(path);
        m_etags.remove(bodyKey);
    } else {
        m_etags.insert(path, std::move(tags.tag));
        m_etags.insert(bodyKey, std::move(tags.body));
    }
}

QCoro::Task<JSONValue> OrvellaAPIClient::getRaw(
    QString path, QueryItems query, bool auth, bool useEtag, std::stop_token stop)
{
    co_return co_await getDecoded(
        std::move(path), std::move(query), auth, useEtag,
        [](const JSONValue &data) { return data; }, std::move(stop));
}

QNetworkRequest OrvellaAPIClient::jsonPostRequest(
    const QString &path, bool auth, const std::optional<QString> &platform) const
{
    QNetworkRequest request = uncachedRequest(endpointURL(path), auth, platform);
    request.setRawHeader("Content-Type", "application/json");
    return request;
}

QNetworkRequest OrvellaAPIClient::uncachedRequest(
    const QUrl &url, bool auth, const std::optional<QString> &platform, bool fresh) const
{
    QNetworkRequest request(url);
    if (fresh) {
        request.setRawHeader("Cache-Control", "no-cache");
        request.setRawHeader("Pragma", "no-cache");
    }
    applyHeaders(request, auth, platform);
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::getUncached(
    QNetworkAccessManager *manager, QUrl url, bool auth, Limits limits, std::stop_token stop)
{
    const QNetworkRequest request = uncachedRequest(url, auth, std::nullopt, true);
    co_return co_await send(manager, request, "GET", {}, limits, std::move(stop));
}

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::sendPost(QString path,
    QByteArray jsonBody, bool auth, std::optional<QString> platformHeader, std::stop_token stop)
{
    const QNetworkRequest request = jsonPostRequest(path, auth, platformHeader);
    co_return co_await send(m_session, request, "POST", RequestBody(std::move(jsonBody)),
        m_options.main, std::move(stop));
}

QCoro::Task<OrvellaAPIClient::HttpAnswer> OrvellaAPIClient::sendDelete(
    QString path, std::optional<QString> platformHeader, std::stop_token stop)
{
    const QNetworkRequest request = uncachedRequest(endpointURL(path), true, platformHeader);
    co_return co_await send(m_session, request, "DELETE", {}, m_options.main, std::move(stop));
}

QCoro::Task<> OrvellaAPIClient::postChecked(QString path, QByteArray jsonBody, bool auth,
    std::optional<QString> platformHeader, std::stop_token stop)
{
    // A 2xx body is not read.
    co_await readOnDecoders(sendPost(std::move(path), std::move(jsonBody), auth,
                                std::move(platformHeader), std::move(stop)),
        [](const HttpAnswer &answer) {
            throwIfNeeded(answer.status, answer.body);
            return true;
        });
}

} // namespace orvella

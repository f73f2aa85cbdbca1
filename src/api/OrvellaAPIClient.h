#pragma once

#include "api/APIEnvelope.h"
#include "api/AccountModels.h"
#include "api/AnswerDecoding.h"
#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/DecodeExecutor.h"
#include "api/JSONValue.h"
#include "api/RequestBody.h"
#include "api/ScheduleData.h"
#include "api/ServiceRedirects.h"

#include <QByteArray>
#include <QCoroTask>
#include <QHash>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>
#include <type_traits>
#include <utility>

class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

namespace orvella {

using QueryItems = QList<std::pair<QString, QString>>;

struct APIClientLimits
{
    std::chrono::milliseconds idle { 0 }; // no data for this long fails the request
    std::chrono::milliseconds whole { 0 }; // the whole transfer; 0 means no cap
};

struct APIClientOptions
{
    // Folder of the main disk cache; empty gives the "api" subfolder of the cache location.
    QString cacheDirectory;
    qint64 cacheBytes = 96LL * 1024 * 1024;
    APIClientLimits main { std::chrono::seconds(15), std::chrono::seconds(45) };
    APIClientLimits schedule { std::chrono::seconds(20), std::chrono::seconds(30) };
    APIClientLimits upload { std::chrono::seconds(120), std::chrono::milliseconds(0) };
    // The most bytes one answer may hold, far above any real one; a longer answer fails as soon
    // as it is known to be longer, without being read further. Request bodies are not bounded.
    qint64 answerBytes = 64LL * 1024 * 1024;
};

// The one client of the service's API. It lives on the main thread (the network managers are
// asynchronous) and reads answers on threads of its own: the JSON and the models are decoded
// there, and each operation resumes on the main thread with its result. Every operation is a
// task that throws APIError, TransportError, DecodingError (or FileReadError for the upload).
// Each takes an optional stop token that aborts its request.
class OrvellaAPIClient : public QObject
{
    Q_OBJECT

public:
    using Limits = APIClientLimits;
    using Options = APIClientOptions;

    explicit OrvellaAPIClient(QObject *parent = nullptr);
    explicit OrvellaAPIClient(Options options, QObject *parent = nullptr);
    ~OrvellaAPIClient() override;

    // The process-wide instance, created on first use.
    [[nodiscard]] static OrvellaAPIClient &shared();
    // The service origin plus "/fresh/newapi/v1/".
    [[nodiscard]] static QUrl baseURL();
    // The URL of a request path under baseURL().
    [[nodiscard]] static QUrl endpointURL(const QString &path, const QueryItems &query = {});

    void setAccessToken(const std::optional<QString> &token);
    [[nodiscard]] const std::optional<QString> &accessToken() const { return m_accessToken; }
    [[nodiscard]] static QString deviceId();
    // Forgets the ETag entries and empties the disk cache (sign-out).
    void clearCaches();
    [[nodiscard]] const QHash<QString, QString> &etags() const { return m_etags; }

    // Endpoints.
    QCoro::Task<TvConfig> getConfig(std::stop_token stop = {});
    QCoro::Task<HomeData> getHome(std::stop_token stop = {});
    QCoro::Task<LiveStreamData> getLiveStream(QString lang, std::stop_token stop = {});
    QCoro::Task<QList<ProgramSummary>> getPrograms(
        int page, int perPage, std::stop_token stop = {});
    // The programme whose folded title equals a phrase, else the first partial match, reading
    // at most ten pages of 50.
    QCoro::Task<std::optional<ProgramSummary>> resolveProgram(
        QStringList needles, std::stop_token stop = {});
    QCoro::Task<ProgramWithEpisodes> getProgram(
        QString id, int maxPages, std::stop_token stop = {});
    QCoro::Task<ScheduleData> getSchedule(int days, std::stop_token stop = {});
    QCoro::Task<EpisodeDetail> getEpisode(QString id, std::stop_token stop = {});
    QCoro::Task<QList<SearchResult>> search(QString query, int page, std::stop_token stop = {});
    QCoro::Task<DeviceCodeData> requestDeviceCode(QString model, std::stop_token stop = {});
    QCoro::Task<TokenData> pollDeviceToken(QString deviceCode, std::stop_token stop = {});
    QCoro::Task<TokenData> loginWithEmail(
        QString fullname, QString email, std::stop_token stop = {});
    QCoro::Task<RefreshData> refreshTokens(QString refreshToken, std::stop_token stop = {});
    QCoro::Task<SignOutData> signOut(std::stop_token stop = {});
    QCoro::Task<UserProfile> getProfile(std::stop_token stop = {});
    QCoro::Task<QList<ContinueWatchingItem>> getContinueWatching(std::stop_token stop = {});
    QCoro::Task<> postHistory(
        QString episodeId, qint64 position, qint64 duration, std::stop_token stop = {});
    QCoro::Task<> postEpisodeView(QString id, std::stop_token stop = {});
    // Sends the movie with the sender's details as one multipart form, trying the upload
    // routes in order until one accepts it; throws the last route's failure.
    QCoro::Task<> uploadTestimony(
        QString filePath, QString name, QString email, QString title, std::stop_token stop = {});

    // Primitives.
    // GET of a path; returns the envelope's data (null when absent).
    QCoro::Task<JSONValue> getRaw(
        QString path, QueryItems query, bool auth, bool useEtag, std::stop_token stop = {});
    // The same GET, whose data `decode` turns into the result on the decoding threads.
    template<class Decode>
    QCoro::Task<std::invoke_result_t<Decode &, const JSONValue &>> getDecoded(QString path,
        QueryItems query, bool auth, bool useEtag, Decode decode, std::stop_token stop = {})
    {
        using Value = std::invoke_result_t<Decode &, const JSONValue &>;
        QPointer<OrvellaAPIClient> self(this);
        const HttpAnswer answer = co_await fetchGet(path, std::move(query), auth, useEtag, stop);
        if (!self)
            throwGone();
        const std::optional<QString> replay
            = useEtag && answer.status == 304 ? storedBody(path) : std::nullopt;
        QFuture<Decoded<std::pair<TagUpdate, Decoded<Value>>>> reading
            = m_decoders.run([answer, replay, useEtag, decode = std::move(decode)]() mutable {
                  GetAnswer read = readGetAnswer(answer, replay, useEtag);
                  // The tags of a usable answer are kept even when its data fits no model.
                  return std::pair(
                      std::move(read.tags), tryDecoding([&] { return decode(read.data); }));
              });
        auto outcome = co_await reading;
        if (!self)
            throwGone();
        auto [tags, decoded] = outcome.take();
        if (tags.apply)
            storeTags(path, std::move(tags));
        co_return decoded.take();
    }
    // POST of a JSON body; returns the envelope's data decoded as T.
    template<class T>
    QCoro::Task<T> post(QString path, QByteArray jsonBody, bool auth,
        std::optional<QString> platformHeader, std::stop_token stop = {})
    {
        co_return co_await readOnDecoders(sendPost(std::move(path), std::move(jsonBody), auth,
                                              std::move(platformHeader), std::move(stop)),
            [](const HttpAnswer &answer) {
                throwIfNeeded(answer.status, answer.body);
                return dataOfPost(answer.status, decodeEnvelope<T>(answer.body));
            });
    }
    // DELETE (always authorised); returns the envelope's data decoded as T, whatever its status.
    template<class T>
    QCoro::Task<T> deleteResource(
        QString path, std::optional<QString> platformHeader, std::stop_token stop = {})
    {
        co_return co_await readOnDecoders(
            sendDelete(std::move(path), std::move(platformHeader), std::move(stop)),
            [](const HttpAnswer &answer) {
                throwIfNeeded(answer.status, answer.body);
                auto envelope = decodeEnvelope<T>(answer.body);
                if (!envelope.data)
                    throw APIError::empty();
                return std::move(*envelope.data);
            });
    }

    // Sets the common headers; "Authorization" only when auth and a token is held.
    void applyHeaders(QNetworkRequest &request, bool auth,
        const std::optional<QString> &platform = std::nullopt) const;
    // Passes 2xx; otherwise throws APIError::http with the envelope's message, the fixed 403
    // text, or the status's reason phrase.
    static void throwIfNeeded(int status, const QByteArray &body);

    // The answer of one request.
    struct HttpAnswer
    {
        int status = 0;
        QByteArray body;
        QList<std::pair<QByteArray, QByteArray>> headers;
        [[nodiscard]] QByteArray header(const QByteArray &name) const;
    };

private:
    // What the tag cache takes from a GET answer: its tag and body, or (with no tag) the end of
    // the path's entries; nothing for an answer replayed from the cache.
    struct TagUpdate
    {
        bool apply = false;
        QString tag;
        QString body;
    };
    struct GetAnswer
    {
        JSONValue data;
        TagUpdate tags;
    };

    [[noreturn]] static void throwGone();
    // Awaits an answer, then runs `read` over it on the decoding threads; its result, or what
    // it threw, comes back on this thread.
    template<class Read>
    QCoro::Task<std::invoke_result_t<Read &, const HttpAnswer &>> readOnDecoders(
        QCoro::Task<HttpAnswer> answering, Read read)
    {
        QPointer<OrvellaAPIClient> self(this);
        HttpAnswer answer = co_await answering;
        if (!self)
            throwGone();
        QFuture<Decoded<std::invoke_result_t<Read &, const HttpAnswer &>>> reading
            = m_decoders.run([answer = std::move(answer), read = std::move(read)]() mutable {
                  return read(answer);
              });
        auto outcome = co_await reading;
        co_return outcome.take();
    }
    template<class T>
    static T dataOfPost(int status, APIEnvelope<T> envelope)
    {
        if (envelope.status == QLatin1StringView("error"))
            throw APIError::http(
                status, envelope.message.value_or(QStringLiteral("Error")), envelope.code);
        if (!envelope.data)
            throw APIError::empty();
        return std::move(*envelope.data);
    }

    // The GET's answer: from the disk cache while fresh, else from the service.
    QCoro::Task<HttpAnswer> fetchGet(
        QString path, QueryItems query, bool auth, bool useEtag, std::stop_token stop);
    // On the decoding threads: the status check, the envelope, and what the tag cache takes.
    [[nodiscard]] static GetAnswer readGetAnswer(
        const HttpAnswer &answer, const std::optional<QString> &replay, bool useEtag);
    [[nodiscard]] std::optional<QString> storedBody(const QString &path) const;
    void storeTags(const QString &path, TagUpdate tags);
    QCoro::Task<HttpAnswer> sendPost(QString path, QByteArray jsonBody, bool auth,
        std::optional<QString> platformHeader, std::stop_token stop);
    QCoro::Task<HttpAnswer> sendDelete(
        QString path, std::optional<QString> platformHeader, std::stop_token stop);
    // A POST whose answer only has to pass the status check.
    QCoro::Task<> postChecked(QString path, QByteArray jsonBody, bool auth,
        std::optional<QString> platformHeader, std::stop_token stop);
    // Sends a request and awaits its whole HTTP answer. A request that carries the token or a
    // body follows redirects here, one request per hop and on the service only (see
    // nextServiceHop); any other follows them as Qt does. Throws TransportError (no answer, one
    // cut short, ended by a time-out, past the bound, or a redirect not followed) or
    // APIError::empty. Without a manager, each request goes out on a network manager of its own.
    QCoro::Task<HttpAnswer> send(QNetworkAccessManager *manager, QNetworkRequest request,
        QByteArray verb, RequestBody body, Limits limits, std::stop_token stop);
    // One request of it, its answer read as it arrives up to the answer bound; a GET that reads
    // the disk cache is answered from it while fresh. The body's device becomes the reply's
    // child: Qt may read it until the reply is gone.
    QCoro::Task<HttpAnswer> sendOnce(QNetworkAccessManager *manager, QNetworkRequest request,
        QByteArray verb, const RequestBody &body, Limits limits, std::stop_token stop);
    std::optional<HttpAnswer> freshCachedAnswer(const QUrl &url);
    QCoro::Task<QList<EpisodeSummary>> fetchProgramPage(QString id, int page, std::stop_token stop);
    QNetworkRequest jsonPostRequest(
        const QString &path, bool auth, const std::optional<QString> &platform) const;
    // A request that neither reads nor fills the disk cache; `fresh` also asks every cache on
    // the way not to answer it.
    QNetworkRequest uncachedRequest(const QUrl &url, bool auth,
        const std::optional<QString> &platform = std::nullopt, bool fresh = false) const;
    // A fresh, uncached GET.
    QCoro::Task<HttpAnswer> getUncached(
        QNetworkAccessManager *manager, QUrl url, bool auth, Limits limits, std::stop_token stop);

    Options m_options;
    QNetworkAccessManager *m_session = nullptr;
    QNetworkAccessManager *m_scheduleSession = nullptr;
    QNetworkDiskCache *m_diskCache = nullptr;
    QHash<QString, QString> m_etags;
    std::optional<QString> m_accessToken;
    DecodeExecutor m_decoders;
};

} // namespace orvella

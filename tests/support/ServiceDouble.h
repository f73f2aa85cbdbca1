#pragma once

// ServiceDouble: an HTTP/1.1 stand-in for the Orvella service, listening on 127.0.0.1 only.
// Used in-process by tests and, with the sample content, by the orvella-service-double tool.
//
//   orvella::test::ServiceDouble service;
//   ASSERT_TRUE(service.start());                       // a free port
//   service.on("GET", "tv/config", ScriptedAnswer::envelope(QJsonObject{{"image_base", "x"}}));
//   service.on("GET", "programs/*", {ScriptedAnswer::error(500, "Down"),   // served in order,
//                                    ScriptedAnswer::envelope(data)});    // the last repeats
//   service.on("GET", "user/profile", ScriptedAnswer::envelope(user).withEtag("\"v1\""));
//   service.handle("GET", "episodes/search", [](const RecordedRequest &r) { ... });
//   service.on("GET", "/media/live/480p/*", ScriptedAnswer::file().withDelay(3s)); // slow media
//   client.setBase(service.apiBase());                  // http://127.0.0.1:PORT/fresh/newapi/v1/
//   ASSERT_TRUE(service.waitForRequests("POST", "user/history", 1));
//   const RecordedRequest r = service.requests().last(); // method, path, query, headers, body
//
// Patterns: a path without a leading '/' is relative to /fresh/newapi/v1/; a trailing '*' makes
// it a prefix. An exact pattern wins over prefixes, a longer prefix over a shorter one; method
// "*" matches any method. Registering the same method and pattern again replaces the script.
//
// Answers: status, headers, body; an ETag answers 304 (no body) to a matching If-None-Match;
// delay before answering; dropped connection; truncated body (the full Content-Length is
// announced, fewer bytes sent, then the connection closes). ScriptedAnswer::file() serves the
// requested /media/ file with the answer's delay, drop or truncation applied. (Qt resends an
// idempotent request once when its connection closes without an answer: a dropped GET arrives
// twice.)
//
// Media outages (addMediaOutage) answer an error status for every /media/ file inside a window
// of the live clock.
//
// Unscripted: /fresh/newapi/v1/... answers 404 with an error envelope; /media/<path> serves the
// file under mediaRoot() (the generated fixtures by default). A playlist X.m3u8 that does not
// exist beside an X.source.m3u8 is a live stream: a sliding window over the source's segments
// that advances with the live clock (EXT-X-MEDIA-SEQUENCE rising, looping with a
// discontinuity, or ending with EXT-X-ENDLIST when looping is off).
//
// Every request is recorded whole (multipart bodies included), media requests too.

#include "support/RecordedRequest.h"
#include "support/ScriptedAnswer.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QUrl>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QTcpServer;

namespace orvella::test {

class HttpConnection;

class ServiceDouble : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<ScriptedAnswer(const RecordedRequest &)>;

    explicit ServiceDouble(QObject *parent = nullptr);
    ~ServiceDouble() override;

    // Listens on 127.0.0.1; port 0 picks a free one. False when the port is taken.
    bool start(quint16 port = 0);
    void stop();
    [[nodiscard]] bool isListening() const;

    [[nodiscard]] QUrl origin() const; // http://127.0.0.1:PORT
    [[nodiscard]] QUrl apiBase() const; // origin + /fresh/newapi/v1/
    [[nodiscard]] QUrl url(const QString &pattern) const; // API-relative or absolute path
    [[nodiscard]] QUrl mediaUrl(const QString &relative) const; // origin + /media/ + relative

    void on(const QByteArray &method, const QString &pattern, const ScriptedAnswer &answer);
    void on(const QByteArray &method, const QString &pattern, QList<ScriptedAnswer> answers);
    void handle(const QByteArray &method, const QString &pattern, Handler handler);
    void remove(const QByteArray &method, const QString &pattern);
    void clearScripts();

    void setMediaRoot(const QString &directory);
    [[nodiscard]] QString mediaRoot() const;
    // Live windows: segments per window, whether the stream loops, and the clock that moves it
    // (milliseconds since the stream started; by default real time since start()).
    void setLiveWindow(int segments);
    void setLiveLoops(bool loops);
    void setLiveClock(std::function<qint64()> elapsedMs);
    // A media outage: from `from` until `until` on the live clock every /media/ file the double
    // would serve answers `status` instead.
    void addMediaOutage(
        std::chrono::milliseconds from, std::chrono::milliseconds until, int status = 404);

    [[nodiscard]] QList<RecordedRequest> requests() const;
    [[nodiscard]] QList<RecordedRequest> requests(
        const QByteArray &method, const QString &pattern) const;
    [[nodiscard]] qsizetype requestCount() const;
    // Spin a local event loop until that many requests (in all, or matching) have arrived.
    bool waitForRequests(
        qsizetype count, std::chrono::milliseconds deadline = std::chrono::seconds(5));
    bool waitForRequests(const QByteArray &method, const QString &pattern, qsizetype count,
        std::chrono::milliseconds deadline = std::chrono::seconds(5));
    void clearRequests();

    // The absolute path a pattern stands for ("tv/config" -> "/fresh/newapi/v1/tv/config").
    [[nodiscard]] static QString absolutePattern(const QString &pattern);
    static constexpr const char *apiPrefix = "/fresh/newapi/v1/";

signals:
    void requestReceived(const orvella::test::RecordedRequest &request);

private:
    struct Script;
    void accept();
    void answer(HttpConnection *connection, const RecordedRequest &request);
    [[nodiscard]] Script *findScript(const QByteArray &method, const QString &path);
    [[nodiscard]] ScriptedAnswer mediaAnswer(const QString &path) const;
    [[nodiscard]] qint64 liveElapsed() const;

    struct Outage
    {
        std::chrono::milliseconds from, until;
        int status;
    };

    std::unique_ptr<QTcpServer> m_server;
    std::vector<std::unique_ptr<Script>> m_scripts;
    QList<RecordedRequest> m_requests;
    QString m_mediaRoot;
    int m_liveWindow = 3;
    bool m_liveLoops = true;
    std::function<qint64()> m_liveClock;
    QList<Outage> m_outages;
    QElapsedTimer m_started;
};

} // namespace orvella::test

#include "support/ServiceDouble.h"

#include "support/Fixtures.h"
#include "support/HttpConnection.h"
#include "support/LivePlaylist.h"
#include "support/TestAsync.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace orvella::test {

struct ServiceDouble::Script
{
    QByteArray method;
    QString stem; // the absolute path, without the trailing '*' of a prefix
    bool prefix = false;
    QList<ScriptedAnswer> answers;
    qsizetype served = 0;
    Handler handler;

    [[nodiscard]] bool matches(const QByteArray &requestMethod, const QString &path) const
    {
        if (method != "*" && method != requestMethod)
            return false;
        return prefix ? path.startsWith(stem) : path == stem;
    }
};

namespace {

// A media file's answer to "Range: bytes=first-last" (or "first-"), as players ask for the byte
// ranges of a playlist's segments: 206 with that part, 416 past the end.
void answerByteRange(ScriptedAnswer &answer, const QByteArray &range)
{
    if (!range.startsWith("bytes=") || range.contains(','))
        return;
    const QList<QByteArray> bounds = range.mid(6).split('-');
    const qint64 size = answer.body.size();
    bool ok = bounds.size() == 2;
    const qint64 first = ok ? bounds[0].toLongLong(&ok) : 0;
    qint64 last = size - 1;
    if (ok && !bounds[1].isEmpty())
        last = std::min(last, bounds[1].toLongLong(&ok));
    if (!ok || first < 0 || first > last) {
        answer = ScriptedAnswer::raw({}, "text/plain", 416);
        return;
    }
    answer.body = answer.body.mid(first, last - first + 1);
    answer.status = 206;
    answer = answer.withHeader("Content-Range",
        "bytes " + QByteArray::number(first) + '-' + QByteArray::number(last) + '/'
            + QByteArray::number(size));
}

constexpr QLatin1StringView mediaPrefix("/media/");

QByteArray contentTypeFor(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"m3u8")
        return "application/vnd.apple.mpegurl";
    if (suffix == u"ts")
        return "video/mp2t";
    if (suffix == u"vtt")
        return "text/vtt; charset=utf-8";
    if (suffix == u"jpg" || suffix == u"jpeg")
        return "image/jpeg";
    if (suffix == u"png")
        return "image/png";
    if (suffix == u"json")
        return "application/json";
    if (suffix == u"mp4" || suffix == u"m4s")
        return "video/mp4";
    if (suffix == u"aac")
        return "audio/aac";
    return "application/octet-stream";
}

bool etagMatches(const QByteArray &ifNoneMatch, const QByteArray &etag)
{
    const auto strip = [](QByteArray tag) {
        tag = tag.trimmed();
        return tag.startsWith("W/") ? tag.mid(2) : tag;
    };
    for (const QByteArray &candidate : ifNoneMatch.split(',')) {
        if (candidate.trimmed() == "*" || strip(candidate) == strip(etag))
            return true;
    }
    return false;
}

std::pair<QString, bool> splitPattern(const QString &pattern)
{
    QString absolute = ServiceDouble::absolutePattern(pattern);
    const bool prefix = absolute.endsWith(u'*');
    if (prefix)
        absolute.chop(1);
    return { absolute, prefix };
}

} // namespace

ServiceDouble::ServiceDouble(QObject *parent)
    : QObject(parent)
    , m_mediaRoot(fixtureDirectory())
{ }

ServiceDouble::~ServiceDouble()
{
    stop();
}

bool ServiceDouble::start(quint16 port)
{
    stop();
    m_server = std::make_unique<QTcpServer>();
    connect(m_server.get(), &QTcpServer::newConnection, this, &ServiceDouble::accept);
    if (!m_server->listen(QHostAddress::LocalHost, port)) {
        m_server.reset();
        return false;
    }
    m_started.start();
    return true;
}

void ServiceDouble::stop()
{
    if (!m_server)
        return;
    m_server->close();
    // Open connections belong to the server object; destroying it closes them.
    m_server.reset();
}

bool ServiceDouble::isListening() const
{
    return m_server && m_server->isListening();
}

QUrl ServiceDouble::origin() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_server ? m_server->serverPort() : 0);
    return url;
}

QUrl ServiceDouble::apiBase() const
{
    return url(QString());
}

QUrl ServiceDouble::url(const QString &pattern) const
{
    QUrl result = origin();
    result.setPath(absolutePattern(pattern));
    return result;
}

QUrl ServiceDouble::mediaUrl(const QString &relative) const
{
    QUrl result = origin();
    result.setPath(mediaPrefix + relative);
    return result;
}

QString ServiceDouble::absolutePattern(const QString &pattern)
{
    return pattern.startsWith(u'/') ? pattern : QLatin1StringView(apiPrefix) + pattern;
}

void ServiceDouble::on(
    const QByteArray &method, const QString &pattern, const ScriptedAnswer &answer)
{
    on(method, pattern, QList<ScriptedAnswer> { answer });
}

void ServiceDouble::on(
    const QByteArray &method, const QString &pattern, QList<ScriptedAnswer> answers)
{
    Q_ASSERT(!answers.isEmpty());
    remove(method, pattern);
    auto script = std::make_unique<Script>();
    script->method = method;
    std::tie(script->stem, script->prefix) = splitPattern(pattern);
    script->answers = std::move(answers);
    m_scripts.push_back(std::move(script));
}

void ServiceDouble::handle(const QByteArray &method, const QString &pattern, Handler handler)
{
    remove(method, pattern);
    auto script = std::make_unique<Script>();
    script->method = method;
    std::tie(script->stem, script->prefix) = splitPattern(pattern);
    script->handler = std::move(handler);
    m_scripts.push_back(std::move(script));
}

void ServiceDouble::remove(const QByteArray &method, const QString &pattern)
{
    const auto [stem, prefix] = splitPattern(pattern);
    std::erase_if(m_scripts, [&](const std::unique_ptr<Script> &script) {
        return script->method == method && script->stem == stem && script->prefix == prefix;
    });
}

void ServiceDouble::clearScripts()
{
    m_scripts.clear();
}

void ServiceDouble::setMediaRoot(const QString &directory)
{
    m_mediaRoot = directory;
}

QString ServiceDouble::mediaRoot() const
{
    return m_mediaRoot;
}

void ServiceDouble::setLiveWindow(int segments)
{
    m_liveWindow = std::max(1, segments);
}

void ServiceDouble::setLiveLoops(bool loops)
{
    m_liveLoops = loops;
}

void ServiceDouble::setLiveClock(std::function<qint64()> elapsedMs)
{
    m_liveClock = std::move(elapsedMs);
}

void ServiceDouble::addMediaOutage(
    std::chrono::milliseconds from, std::chrono::milliseconds until, int status)
{
    m_outages.append({ from, until, status });
}

qint64 ServiceDouble::liveElapsed() const
{
    return m_liveClock ? m_liveClock() : m_started.elapsed();
}

QList<RecordedRequest> ServiceDouble::requests() const
{
    return m_requests;
}

QList<RecordedRequest> ServiceDouble::requests(
    const QByteArray &method, const QString &pattern) const
{
    Script probe;
    probe.method = method;
    std::tie(probe.stem, probe.prefix) = splitPattern(pattern);
    QList<RecordedRequest> matching;
    for (const RecordedRequest &request : m_requests) {
        if (probe.matches(request.method, request.path))
            matching.append(request);
    }
    return matching;
}

qsizetype ServiceDouble::requestCount() const
{
    return m_requests.size();
}

bool ServiceDouble::waitForRequests(qsizetype count, std::chrono::milliseconds deadline)
{
    return waitUntil([&] { return m_requests.size() >= count; }, deadline);
}

bool ServiceDouble::waitForRequests(const QByteArray &method, const QString &pattern,
    qsizetype count, std::chrono::milliseconds deadline)
{
    return waitUntil([&] { return requests(method, pattern).size() >= count; }, deadline);
}

void ServiceDouble::clearRequests()
{
    m_requests.clear();
}

void ServiceDouble::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // Connections are children of the server, so stop() closes them all.
        new HttpConnection(
            socket, m_started,
            [this](HttpConnection *connection, const RecordedRequest &request) {
                answer(connection, request);
            },
            m_server.get());
    }
}

ServiceDouble::Script *ServiceDouble::findScript(const QByteArray &method, const QString &path)
{
    Script *best = nullptr;
    for (const auto &script : m_scripts) {
        if (!script->matches(method, path))
            continue;
        if (!best || (best->prefix && !script->prefix)
            || (best->prefix == script->prefix && script->stem.size() > best->stem.size()))
            best = script.get();
    }
    return best;
}

void ServiceDouble::answer(HttpConnection *connection, const RecordedRequest &request)
{
    m_requests.append(request);
    emit requestReceived(request);

    ScriptedAnswer reply;
    if (Script *script = findScript(request.method, request.path)) {
        if (script->handler) {
            reply = script->handler(request);
        } else {
            reply = script->answers.at(std::min(script->served, script->answers.size() - 1));
        }
        ++script->served;
    } else if (request.path.startsWith(mediaPrefix)) {
        reply = ScriptedAnswer::file();
    } else if (request.path.startsWith(QLatin1StringView(apiPrefix))) {
        reply
            = ScriptedAnswer::error(404, QStringLiteral("Not found"), QStringLiteral("NOT_FOUND"));
    } else {
        reply = ScriptedAnswer::raw("not found\n", "text/plain", 404);
    }

    const std::chrono::milliseconds now(liveElapsed());
    for (const Outage &outage : std::as_const(m_outages)) {
        if (reply.serveFile && now >= outage.from && now < outage.until)
            reply = ScriptedAnswer::raw("media outage\n", "text/plain", outage.status);
    }
    if (reply.serveFile) {
        ScriptedAnswer file = mediaAnswer(request.path);
        file.delay = reply.delay;
        file.drop = reply.drop;
        file.truncateAfter = reply.truncateAfter;
        for (const auto &[name, value] : reply.headers)
            file = file.withHeader(name, value);
        reply = file;
        if (reply.status == 200 && request.hasHeader("Range"))
            answerByteRange(reply, request.header("Range"));
    }

    if (!reply.etag.isEmpty() && request.hasHeader("If-None-Match")
        && etagMatches(request.header("If-None-Match"), reply.etag)) {
        reply.status = 304;
        reply.body.clear();
        reply.truncateAfter = -1;
    }
    connection->respond(reply);
}

ScriptedAnswer ServiceDouble::mediaAnswer(const QString &path) const
{
    const QString relative = path.mid(mediaPrefix.size());
    const ScriptedAnswer missing = ScriptedAnswer::raw("not found\n", "text/plain", 404);
    if (relative.isEmpty() || relative.split(u'/').contains(QStringLiteral("..")))
        return missing;
    const QString filePath = m_mediaRoot + u'/' + relative;

    QFile file(filePath);
    if (QFileInfo(filePath).isFile() && file.open(QIODevice::ReadOnly))
        return ScriptedAnswer::raw(file.readAll(), contentTypeFor(filePath))
            .withHeader("Cache-Control", "no-cache");

    if (filePath.endsWith(QStringLiteral(".m3u8"))) {
        QFile source(filePath.chopped(5) + QStringLiteral(".source.m3u8"));
        if (source.open(QIODevice::ReadOnly)) {
            return ScriptedAnswer::raw(
                liveWindow(source.readAll(), liveElapsed(), m_liveWindow, m_liveLoops),
                contentTypeFor(filePath))
                .withHeader("Cache-Control", "no-cache");
        }
    }
    return missing;
}

} // namespace orvella::test

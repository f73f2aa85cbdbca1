#include "support/HttpConnection.h"

#include <QTimer>
#include <QUrl>

namespace orvella::test {

namespace {

constexpr qsizetype maxHeaderBytes = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 202:
        return "Accepted";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 409:
        return "Conflict";
    case 410:
        return "Gone";
    case 413:
        return "Payload Too Large";
    case 422:
        return "Unprocessable Entity";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Timeout";
    default:
        return "Status";
    }
}

bool mayHaveBody(int status)
{
    return status >= 200 && status != 204 && status != 304;
}

} // namespace

HttpConnection::HttpConnection(
    QTcpSocket *socket, const QElapsedTimer &clock, RequestCallback onRequest, QObject *parent)
    : QObject(parent)
    , m_socket(socket)
    , m_clock(clock)
    , m_onRequest(std::move(onRequest))
{
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::readMore);
    connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    QTimer::singleShot(0, this, &HttpConnection::readMore);
}

void HttpConnection::readMore()
{
    if (!m_socket || m_closing)
        return;
    m_buffer += m_socket->readAll();
    if (m_busy)
        return;
    switch (parseRequest()) {
    case Parse::Incomplete:
        return;
    case Parse::Bad:
        send(ScriptedAnswer::raw("bad request\n", "text/plain", 400));
        close();
        return;
    case Parse::Done:
        m_busy = true;
        m_onRequest(this, m_current);
        return;
    }
}

HttpConnection::Parse HttpConnection::parseRequest()
{
    const qsizetype headerEnd = m_buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return m_buffer.size() > maxHeaderBytes ? Parse::Bad : Parse::Incomplete;

    const QList<QByteArray> lines = m_buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1."))
        return Parse::Bad;

    RecordedRequest request;
    request.method = requestLine[0];
    request.target = requestLine[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return Parse::Bad;
        request.headers.append({ line.left(colon).trimmed(), line.mid(colon + 1).trimmed() });
    }

    const qsizetype bodyStart = headerEnd + 4;
    qsizetype consumed = 0;
    if (request.header("Transfer-Encoding").toLower().contains("chunked")) {
        const Parse chunked = parseChunked(bodyStart, request.body, consumed);
        if (chunked != Parse::Done)
            return chunked;
    } else {
        bool ok = true;
        const QByteArray lengthText = request.header("Content-Length");
        const qsizetype length = lengthText.isNull() ? 0 : lengthText.toLongLong(&ok);
        if (!ok || length < 0)
            return Parse::Bad;
        if (m_buffer.size() - bodyStart < length)
            return Parse::Incomplete;
        request.body = m_buffer.mid(bodyStart, length);
        consumed = bodyStart + length;
    }
    m_buffer.remove(0, consumed);

    const qsizetype question = request.target.indexOf('?');
    const QByteArray rawPath = question < 0 ? request.target : request.target.left(question);
    request.path = QUrl::fromPercentEncoding(rawPath);
    if (question >= 0)
        request.query.setQuery(QString::fromUtf8(request.target.mid(question + 1)));
    request.receivedAtMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    m_keepAlive = requestLine[2] != "HTTP/1.0" && request.header("Connection").toLower() != "close";
    m_current = std::move(request);
    return Parse::Done;
}

HttpConnection::Parse HttpConnection::parseChunked(
    qsizetype from, QByteArray &body, qsizetype &consumed) const
{
    qsizetype at = from;
    while (true) {
        const qsizetype lineEnd = m_buffer.indexOf("\r\n", at);
        if (lineEnd < 0)
            return Parse::Incomplete;
        QByteArray sizeText = m_buffer.mid(at, lineEnd - at);
        if (const qsizetype semicolon = sizeText.indexOf(';'); semicolon >= 0)
            sizeText.truncate(semicolon);
        bool ok = false;
        const qsizetype size = sizeText.trimmed().toLongLong(&ok, 16);
        if (!ok || size < 0)
            return Parse::Bad;
        at = lineEnd + 2;
        if (size == 0) {
            // Trailers (none expected) end with an empty line.
            const qsizetype end = m_buffer.indexOf("\r\n", at);
            if (end < 0)
                return Parse::Incomplete;
            consumed = end + 2;
            return Parse::Done;
        }
        if (m_buffer.size() < at + size + 2)
            return Parse::Incomplete;
        body += m_buffer.mid(at, size);
        at += size + 2;
    }
}

void HttpConnection::respond(const ScriptedAnswer &answer)
{
    if (answer.delay.count() > 0) {
        QTimer::singleShot(answer.delay, this, [this, answer] { send(answer); });
        return;
    }
    send(answer);
}

void HttpConnection::send(const ScriptedAnswer &answer)
{
    if (!m_socket)
        return;
    if (answer.drop) {
        m_socket->abort();
        return;
    }
    const bool keepAlive = m_keepAlive;
    const bool withBody = mayHaveBody(answer.status) && m_current.method != "HEAD";

    QByteArray head = "HTTP/1.1 " + QByteArray::number(answer.status) + ' '
        + reasonPhrase(answer.status) + "\r\n";
    for (const auto &[name, value] : answer.headers) {
        if (name.compare("Content-Length", Qt::CaseInsensitive) != 0
            && name.compare("Connection", Qt::CaseInsensitive) != 0)
            head += name + ": " + value + "\r\n";
    }
    if (!answer.etag.isEmpty() && answer.header("ETag").isNull())
        head += "ETag: " + answer.etag + "\r\n";
    if (answer.status != 304 && answer.status != 204)
        head += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n\r\n" : "Connection: close\r\n\r\n";
    m_socket->write(head);

    if (withBody) {
        if (answer.truncateAfter >= 0 && answer.truncateAfter < answer.body.size()) {
            m_socket->write(answer.body.left(answer.truncateAfter));
            close();
            return;
        }
        m_socket->write(answer.body);
    }
    finishRequest(keepAlive);
}

void HttpConnection::finishRequest(bool keepAlive)
{
    if (!keepAlive) {
        close();
        return;
    }
    m_busy = false;
    if (!m_buffer.isEmpty())
        QTimer::singleShot(0, this, &HttpConnection::readMore);
}

void HttpConnection::close()
{
    m_closing = true;
    if (m_socket)
        m_socket->disconnectFromHost();
}

} // namespace orvella::test

#pragma once

#include "support/RecordedRequest.h"
#include "support/ScriptedAnswer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <functional>

namespace orvella::test {

// One client connection of the service double: parses HTTP/1.1 requests (Content-Length or
// chunked bodies, keep-alive), hands each to the owner, and writes the scripted answer. One
// request is answered at a time; requests that arrive meanwhile wait in the buffer.
class HttpConnection : public QObject
{
public:
    using RequestCallback = std::function<void(HttpConnection *, const RecordedRequest &)>;

    HttpConnection(
        QTcpSocket *socket, const QElapsedTimer &clock, RequestCallback onRequest, QObject *parent);

    // Answers the request handed out last. HEAD requests get the headers only.
    void respond(const ScriptedAnswer &answer);

private:
    enum class Parse { Incomplete, Done, Bad };
    void readMore();
    [[nodiscard]] Parse parseRequest();
    [[nodiscard]] Parse parseChunked(qsizetype from, QByteArray &body, qsizetype &consumed) const;
    void send(const ScriptedAnswer &answer);
    void finishRequest(bool keepAlive);
    void close();

    QPointer<QTcpSocket> m_socket;
    const QElapsedTimer &m_clock;
    RequestCallback m_onRequest;
    QByteArray m_buffer;
    RecordedRequest m_current;
    bool m_busy = false;
    bool m_keepAlive = true;
    bool m_closing = false;
};

} // namespace orvella::test

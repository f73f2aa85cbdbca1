#include "support/RawHttpServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

namespace orvella::test {

namespace {
constexpr qint64 chunkBytes = 64 * 1024;
// Filler is written only while the socket holds less than this, so what it took is what the
// client read (give or take the system's buffers).
constexpr qint64 queuedBytes = 256 * 1024;
} // namespace

class RawHttpServer::Connection : public QObject
{
public:
    Connection(QTcpSocket *socket, RawHttpServer &server)
        : QObject(socket)
        , m_socket(socket)
        , m_server(server)
    {
        connect(socket, &QTcpSocket::readyRead, this, &Connection::read);
        connect(socket, &QTcpSocket::bytesWritten, this, &Connection::written);
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            ++m_server.m_closed;
            m_socket->deleteLater();
        });
    }

private:
    void read()
    {
        m_buffer += m_socket->readAll();
        if (m_answering)
            return;
        if (m_bodyStart < 0) {
            const qsizetype end = m_buffer.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            m_behaviour = m_server.behaviourFor(m_server.m_requests++);
            m_left = m_behaviour.streamBytes;
            m_bodyStart = end + 4;
            for (const QByteArray &line : m_buffer.left(end).split('\n')) {
                if (line.toLower().startsWith("content-length:"))
                    m_contentLength = line.mid(15).trimmed().toLongLong();
            }
        }
        const qint64 received = m_buffer.size() - m_bodyStart;
        if (m_behaviour.closeAfterBodyBytes >= 0) {
            if (received >= m_behaviour.closeAfterBodyBytes)
                m_socket->abort();
            return;
        }
        if (received >= m_contentLength)
            answer();
    }

    void answer()
    {
        m_answering = true;
        if (m_behaviour.head.isEmpty()) {
            m_socket->abort();
            return;
        }
        m_socket->write(m_behaviour.head + m_behaviour.body);
        m_ahead = m_behaviour.head.size() + m_behaviour.body.size();
        topUp();
    }

    void written(qint64 bytes)
    {
        const qint64 filler = std::min(bytes, std::max<qint64>(0, bytes - m_ahead));
        m_ahead = std::max<qint64>(0, m_ahead - bytes);
        m_server.m_streamed += filler;
        topUp();
    }

    void topUp()
    {
        if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
            return;
        while (m_left > 0 && m_socket->bytesToWrite() < queuedBytes) {
            const qint64 size = std::min(m_left, chunkBytes);
            m_socket->write(QByteArray(size, ' '));
            m_left -= size;
        }
        if (m_left > 0 || m_socket->bytesToWrite() > 0 || m_behaviour.stall)
            return;
        if (m_behaviour.keepAlive)
            nextRequest();
        else
            m_socket->disconnectFromHost();
    }

    void nextRequest()
    {
        m_buffer.remove(0, m_bodyStart + m_contentLength);
        m_bodyStart = -1;
        m_contentLength = 0;
        m_answering = false;
        if (!m_buffer.isEmpty())
            QMetaObject::invokeMethod(this, &Connection::read, Qt::QueuedConnection);
    }

    // The base class: a socket being destroyed still says it disconnected.
    QPointer<QAbstractSocket> m_socket;
    RawHttpServer &m_server;
    Behaviour m_behaviour; // the current request's
    QByteArray m_buffer;
    qsizetype m_bodyStart = -1;
    qint64 m_contentLength = 0;
    bool m_answering = false;
    qint64 m_ahead = 0; // head and body bytes not yet written
    qint64 m_left = 0; // filler bytes not yet written
};

RawHttpServer::RawHttpServer(QObject *parent)
    : QObject(parent)
{ }

RawHttpServer::~RawHttpServer()
{
    // The connections count their ends here: they close while this object is whole.
    m_server.reset();
}

bool RawHttpServer::start()
{
    m_server = std::make_unique<QTcpServer>();
    connect(m_server.get(), &QTcpServer::newConnection, this, &RawHttpServer::accept);
    return m_server->listen(QHostAddress::LocalHost);
}

QUrl RawHttpServer::origin() const
{
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QStringLiteral("127.0.0.1"));
    url.setPort(m_server ? m_server->serverPort() : 0);
    return url;
}

QByteArray RawHttpServer::okHead(qint64 contentLength)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: "
        + QByteArray::number(contentLength) + "\r\n\r\n";
}

RawHttpServer::Behaviour RawHttpServer::behaviourFor(int request) const
{
    return m_behaviours.value(std::min<qsizetype>(request, m_behaviours.size() - 1));
}

void RawHttpServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        // The socket belongs to the server object, so destroying the server closes it.
        ++m_connections;
        new Connection(socket, *this);
    }
}

} // namespace orvella::test

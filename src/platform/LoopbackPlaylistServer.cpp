#include "platform/LoopbackPlaylistServer.h"

#include "platform/PlatformLog.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <array>

namespace orvella {

// One client's connection: its request head is gathered as it arrives, answered once, and the
// connection closed after the answer went out.
class LoopbackPlaylistServer::Connection : public QObject
{
public:
    Connection(LoopbackPlaylistServer &server, QTcpSocket *socket)
        : QObject(&server)
        , m_server(server)
        , m_socket(socket)
    {
        socket->setParent(this);
        m_idle.setSingleShot(true);
        m_idle.setInterval(idleTimeout);
        connect(&m_idle, &QTimer::timeout, this, [this] { close("idle"); });
        connect(socket, &QTcpSocket::readyRead, this, &Connection::read);
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { m_idle.start(); });
        connect(socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        m_server.m_connections.insert(this);
        m_idle.start();
        read();
    }
    ~Connection() override { m_server.m_connections.remove(this); }

private:
    void read()
    {
        if (m_answered) {
            // Whatever follows the request is not read: the answer ends the connection.
            m_socket->skip(m_socket->bytesAvailable());
            return;
        }
        m_idle.start();
        m_head += m_socket->read(
            std::min<qint64>(m_socket->bytesAvailable(), maxRequestHead + 1 - m_head.size()));
        qsizetype end = m_head.indexOf("\r\n\r\n");
        if (end < 0)
            end = m_head.indexOf("\n\n");
        if (end < 0) {
            if (m_head.size() > maxRequestHead)
                close("a request head past its bound");
            return;
        }
        m_answered = true;
        const qsizetype lineEnd = m_head.indexOf('\n');
        const QByteArray line = m_head.left(lineEnd).trimmed();
        const QList<QByteArray> parts = line.split(' ');
        const bool head = parts.value(0) == "HEAD";
        const QByteArray *text
            = parts.size() == 3 && (head || parts[0] == "GET") ? m_server.find(parts[1]) : nullptr;
        if (!text) {
            m_socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n"
                            "Connection: close\r\n\r\n");
        } else {
            m_socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/vnd.apple.mpegurl\r\n"
                            "Content-Length: "
                + QByteArray::number(text->size()) + "\r\nConnection: close\r\n\r\n");
            if (!head)
                m_socket->write(*text);
        }
        // Closes once the answer went out.
        m_socket->disconnectFromHost();
    }

    void close(const char *why)
    {
        qCDebug(lcPlayer) << "The loopback playlist server closes a connection:" << why;
        m_socket->abort();
        deleteLater();
    }

    LoopbackPlaylistServer &m_server;
    QTcpSocket *m_socket;
    QTimer m_idle;
    QByteArray m_head;
    bool m_answered = false;
};

LoopbackPlaylistServer::LoopbackPlaylistServer(QObject *parent)
    : QObject(parent)
{ }

LoopbackPlaylistServer::~LoopbackPlaylistServer()
{
    // The connections go first: they take themselves off the server's set.
    const QSet<Connection *> connections = m_connections;
    for (Connection *connection : connections)
        delete connection;
}

bool LoopbackPlaylistServer::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QTcpServer(this);
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackPlaylistServer::accept);
    if (!m_server->listen(QHostAddress::LocalHost, 0)) {
        qCWarning(lcPlayer) << "The loopback playlist server cannot listen:"
                            << m_server->errorString();
        return false;
    }
    return true;
}

std::optional<QUrl> LoopbackPlaylistServer::publish(const QByteArray &text)
{
    if (!listen())
        return std::nullopt;
    // 128 bits from the system's generator: no other program on the machine guesses the path.
    std::array<quint32, 4> bits {};
    QRandomGenerator::system()->fillRange(bits.data(), bits.size());
    const QByteArray path = '/'
        + QByteArray(reinterpret_cast<const char *>(bits.data()), sizeof(bits)).toHex() + ".m3u8";
    m_texts.insert(path, text);
    QUrl address;
    address.setScheme(QStringLiteral("http"));
    address.setHost(QStringLiteral("127.0.0.1"));
    address.setPort(m_server->serverPort());
    address.setPath(QString::fromLatin1(path));
    return address;
}

void LoopbackPlaylistServer::withdraw(const QUrl &address)
{
    m_texts.remove(address.path().toLatin1());
}

const QByteArray *LoopbackPlaylistServer::find(const QByteArray &path) const
{
    const auto found = m_texts.constFind(path);
    return found == m_texts.cend() ? nullptr : &*found;
}

void keepLoopbackOffProxies()
{
    const QByteArray loopback = "127.0.0.1";
    QByteArray hosts = qgetenv("no_proxy");
    for (const QByteArray &host : hosts.split(',')) {
        if (host.trimmed() == loopback || host.trimmed() == "*")
            return;
    }
    qputenv("no_proxy", hosts.isEmpty() ? loopback : hosts + ',' + loopback);
}

void LoopbackPlaylistServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_connections.size() >= maxConnections) {
            qCDebug(lcPlayer) << "The loopback playlist server closes a connection past"
                              << maxConnections;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        new Connection(*this, socket);
    }
}

} // namespace orvella

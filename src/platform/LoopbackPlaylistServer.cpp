#include "platform/LoopbackPlaylistServer.h"

#include "platform/PlatformLog.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <array>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

namespace orvella {

using Clock = std::chrono::steady_clock;

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
        m_deadline.setSingleShot(true);
        // Counts from the accept, not from the last byte: a head trickled in a byte at a time
        // must not hold the connection for ever.
        m_deadline.setInterval(server.m_limits.headTimeout);
        connect(&m_deadline, &QTimer::timeout, this, [this] {
            close(m_answered ? "an answer not taken" : "a request head not whole in time");
        });
        connect(socket, &QTcpSocket::readyRead, this, &Connection::read);
        connect(socket, &QTcpSocket::bytesWritten, this, [this] {
            if (m_open)
                m_deadline.start();
        });
        connect(socket, &QTcpSocket::disconnected, this, [this] {
            leave();
            deleteLater();
        });
        m_server.m_connections.insert(this);
        m_deadline.start();
        read();
    }
    // Off the server's set already: a connection deleted with the server must not reach it.
    ~Connection() override { m_socket->disconnect(this); }

    // Still waiting for its whole request head: one being answered is never closed for room.
    [[nodiscard]] bool waiting() const { return m_open && !m_answered; }
    [[nodiscard]] Clock::time_point acceptedAt() const { return m_acceptedAt; }

    // Reads what the client sent that the socket has not taken in yet, so a head that has
    // arrived counts before the server chooses whom to close.
    void pull()
    {
        int pending = 0;
        // Nothing pending, or a descriptor that cannot say: the socket's own notice reads it.
        if (waiting() && ::ioctl(int(m_socket->socketDescriptor()), FIONREAD, &pending) == 0
            && pending > 0)
            m_socket->waitForReadyRead(0);
    }

    void close(const char *why)
    {
        if (!m_open)
            return;
        qCDebug(lcPlayer) << "The loopback playlist server closes a connection:" << why;
        leave();
        m_socket->abort();
        deleteLater();
    }

private:
    void read()
    {
        if (m_answered) {
            // Whatever follows the request is not read: the answer ends the connection.
            m_socket->skip(m_socket->bytesAvailable());
            return;
        }
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
        // From now on the deadline is that of an answer nobody takes.
        m_deadline.start();
        // What fits goes out at once, so an answer that fits leaves no connection behind.
        m_socket->flush();
        // Closes once the answer went out (here already when it all went).
        m_socket->disconnectFromHost();
    }

    // Takes the connection off the server's count, once.
    void leave()
    {
        if (!m_open)
            return;
        m_open = false;
        m_deadline.stop();
        m_server.m_connections.remove(this);
    }

    LoopbackPlaylistServer &m_server;
    QTcpSocket *m_socket;
    QTimer m_deadline;
    const Clock::time_point m_acceptedAt = Clock::now();
    QByteArray m_head;
    bool m_answered = false;
    bool m_open = true;
};

LoopbackPlaylistServer::LoopbackPlaylistServer(QObject *parent)
    : LoopbackPlaylistServer(Limits {}, parent)
{ }

LoopbackPlaylistServer::LoopbackPlaylistServer(Limits limits, QObject *parent)
    : QObject(parent)
    , m_limits(limits)
    , m_roomTimer(new QTimer(this))
{
    m_roomTimer->setSingleShot(true);
    connect(m_roomTimer, &QTimer::timeout, this, &LoopbackPlaylistServer::makeRoom);
}

LoopbackPlaylistServer::~LoopbackPlaylistServer()
{
    // The open connections go before the set; those closed are children deleted with the rest.
    qDeleteAll(QSet<Connection *>(m_connections));
}

bool LoopbackPlaylistServer::listen()
{
    if (m_server)
        return m_server->isListening();
    m_server = new QTcpServer(this);
    // Taken on a later turn of the loop: QTcpServer accepts while connections wait and stops
    // only once it holds as many as it may, so taking them at once would let a flood of them
    // hold the thread.
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackPlaylistServer::accept,
        Qt::QueuedConnection);
    if (!m_server->listen(QHostAddress::LocalHost, 0)) {
        qCWarning(lcPlayer) << "The loopback playlist server cannot listen:"
                            << m_server->errorString();
        return false;
    }
#ifdef TCP_DEFER_ACCEPT
    // A connection is handed over once it brings data (or after a second without): a client
    // that sends its head with its connection, as FFmpeg does, comes with its head, and so is
    // answered before anyone is closed for room, however many others connect meanwhile.
    const int seconds = 1;
    if (::setsockopt(int(m_server->socketDescriptor()), IPPROTO_TCP, TCP_DEFER_ACCEPT, &seconds,
            sizeof seconds)
        != 0)
        qCWarning(lcPlayer) << "The loopback playlist server takes connections before their data:"
                            << qt_error_string(errno);
#endif
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
        // What came with the connection is read at once: a client that sends its head with its
        // connection is answered before anyone is closed for room.
        (new Connection(*this, socket))->pull();
        makeRoom();
    }
}

void LoopbackPlaylistServer::makeRoom()
{
    const int bound = m_limits.maxConnections;
    if (m_connections.size() <= bound)
        return;
    // Heads that arrived meanwhile count first: such a client is answered, not closed.
    const QList<Connection *> open = m_connections.values();
    for (Connection *connection : open)
        connection->pull();
    const Clock::time_point now = Clock::now();
    while (m_connections.size() > bound) {
        Connection *longest = nullptr;
        for (Connection *connection : std::as_const(m_connections)) {
            if (connection->waiting()
                && (!longest || connection->acceptedAt() < longest->acceptedAt()))
                longest = connection;
        }
        // Answers in flight end on their own.
        if (!longest)
            return;
        const auto waited = now - longest->acceptedAt();
        // A newer one is held past the bound until the longest waiting has had its grace: a
        // client whose head is on its way is not turned away because others came first.
        if (waited < m_limits.grace && m_connections.size() <= 2 * bound) {
            m_roomTimer->start(
                std::chrono::ceil<std::chrono::milliseconds>(m_limits.grace - waited));
            return;
        }
        longest->close("room for another");
    }
}

} // namespace orvella

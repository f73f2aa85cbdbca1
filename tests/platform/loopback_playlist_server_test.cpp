#include "platform/LoopbackPlaylistServer.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QTcpSocket>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <future>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace orvella;
using namespace std::chrono_literals;

namespace {

// Sends the bytes to the server and returns all it answered before it closed the connection.
QByteArray exchange(const QUrl &address, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost(address.host(), quint16(address.port()));
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    socket.write(request);
    EXPECT_TRUE(test::waitUntil([&] { return socket.state() == QTcpSocket::UnconnectedState; }, 5s))
        << "the server closes the connection";
    return answer + socket.readAll();
}

using Clock = std::chrono::steady_clock;

QByteArray requestFor(const QUrl &address)
{
    return "GET " + address.path().toLatin1()
        + " HTTP/1.1\r\nHost: " + address.authority().toLatin1() + "\r\n\r\n";
}

int loopbackSocket(quint16 port, bool blocking)
{
    const int fd
        = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK), 0);
    if (fd < 0)
        return -1;
    // Bounds a blocking connect, send and receive alike.
    const timeval limit { 5, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&to), sizeof to) != 0
        && !(!blocking && errno == EINPROGRESS)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Gets the address as FFmpeg's http does: on a thread of its own, the whole request head sent
// the moment the connection stands. The answer is all that came before the server closed; it
// is read only once `readFrom` is ready, when one is given.
std::future<QByteArray> startFetch(const QUrl &address, std::shared_future<void> readFrom = {})
{
    return std::async(std::launch::async,
        [port = quint16(address.port()), request = requestFor(address), readFrom] {
            QByteArray got;
            const int fd = loopbackSocket(port, true);
            if (fd < 0)
                return got;
            if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL)
                == request.size()) {
                if (readFrom.valid())
                    readFrom.wait_for(10s);
                std::vector<char> buffer(1 << 16);
                for (int reads = 0; reads < 100'000; ++reads) {
                    const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
                    if (n <= 0)
                        break;
                    got.append(buffer.data(), n);
                }
            }
            ::close(fd);
            return got;
        });
}

// Runs the server's loop here until the fetch ends.
QByteArray finish(std::future<QByteArray> &fetch)
{
    EXPECT_TRUE(
        test::waitUntil([&] { return fetch.wait_for(0s) == std::future_status::ready; }, 15s))
        << "the fetch ends";
    // Bounded by the socket's own time limits.
    return fetch.get();
}

QByteArray fetchAtOnce(const QUrl &address)
{
    std::future<QByteArray> fetch = startFetch(address);
    return finish(fetch);
}

QByteArray fetchWithQt(QNetworkAccessManager &manager, const QUrl &address)
{
    QNetworkRequest request(address);
    request.setTransferTimeout(5000);
    const std::unique_ptr<QNetworkReply> reply(manager.get(request));
    EXPECT_TRUE(test::waitUntil([&] { return reply->isFinished(); }, 10s)) << "the GET ends";
    EXPECT_EQ(reply->error(), QNetworkReply::NoError) << reply->errorString().toStdString();
    return reply->readAll();
}

// Another local program on a thread of its own: it holds connections to the port, sending a
// byte of a request head that never ends as each connects and one more every `interval`; with
// `reconnect`, it opens a new connection as soon as the server closes one.
class HeadlessSenders
{
public:
    struct Options
    {
        int count = 16;
        std::chrono::milliseconds interval { 200 };
        bool reconnect = false;
    };

    HeadlessSenders(quint16 port, Options options)
        : m_port(port)
        , m_options(options)
        , m_thread([this] { run(); })
    { }
    ~HeadlessSenders()
    {
        m_stop = true;
        m_thread.join();
    }

    // Connections standing on the program's side.
    [[nodiscard]] int open() const { return m_open; }
    // Connections the server closed (or refused).
    [[nodiscard]] int closed() const { return m_closed; }

private:
    struct Sender
    {
        int fd = -1;
        bool connected = false;
        qsizetype sent = 0;
        Clock::time_point next;
    };

    void run()
    {
        std::vector<Sender> senders(size_t(m_options.count));
        for (Sender &sender : senders)
            sender.fd = loopbackSocket(m_port, false);
        const Clock::time_point end = Clock::now() + 60s;
        for (int turn = 0; !m_stop && turn < 10'000'000 && Clock::now() < end; ++turn) {
            std::vector<pollfd> polled;
            for (const Sender &sender : senders)
                polled.push_back({ sender.fd, short(sender.connected ? POLLIN : POLLOUT), 0 });
            ::poll(polled.data(), polled.size(), 5);
            const Clock::time_point now = Clock::now();
            int open = 0;
            for (size_t i = 0; i < senders.size(); ++i) {
                Sender &sender = senders[i];
                if (sender.fd < 0) {
                    if (m_options.reconnect)
                        sender = { .fd = loopbackSocket(m_port, false), .next = {} };
                    continue;
                }
                const short events = polled[i].revents;
                if (!sender.connected) {
                    if (events & (POLLOUT | POLLERR | POLLHUP)) {
                        int error = 0;
                        socklen_t length = sizeof error;
                        ::getsockopt(sender.fd, SOL_SOCKET, SO_ERROR, &error, &length);
                        if (error != 0) {
                            drop(sender);
                            continue;
                        }
                        sender.connected = true;
                        sendByte(sender, now);
                    }
                    continue;
                }
                if (events & (POLLIN | POLLERR | POLLHUP)) {
                    char buffer[512];
                    const ssize_t n = ::recv(sender.fd, buffer, sizeof buffer, 0);
                    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                        drop(sender);
                        continue;
                    }
                }
                if (now >= sender.next)
                    sendByte(sender, now);
                ++open;
            }
            m_open = open;
        }
        for (Sender &sender : senders) {
            if (sender.fd >= 0)
                ::close(sender.fd);
        }
    }

    void sendByte(Sender &sender, Clock::time_point now)
    {
        // Never a line's end: the head is never whole.
        static constexpr char start[] = "GET /";
        const char byte = sender.sent < qsizetype(sizeof start - 1) ? start[sender.sent] : 'x';
        if (::send(sender.fd, &byte, 1, MSG_NOSIGNAL) == 1)
            ++sender.sent;
        sender.next = now + m_options.interval;
    }

    void drop(Sender &sender)
    {
        ::close(sender.fd);
        sender = {};
        ++m_closed;
    }

    const quint16 m_port;
    const Options m_options;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_open = 0;
    std::atomic<int> m_closed = 0;
    std::thread m_thread;
};

QByteArray get(const QUrl &address, const QByteArray &method = "GET")
{
    return exchange(address,
        method + ' ' + address.path().toLatin1()
            + " HTTP/1.1\r\nHost: " + address.authority().toLatin1() + "\r\n\r\n");
}

TEST(LoopbackPlaylistServerTest, ServesEachTextOnlyAtItsOwnPathUntilWithdrawn)
{
    LoopbackPlaylistServer server;
    const QByteArray text = "#EXTM3U\n#EXTINF:2,\nhttps://cdn.example/a.ts\n#EXT-X-ENDLIST\n";
    const auto address = server.publish(text);
    const auto other = server.publish("#EXTM3U\n");
    ASSERT_TRUE(address && other);
    EXPECT_EQ(address->host(), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^/[0-9a-f]{32}\\.m3u8$"))
                    .match(address->path())
                    .hasMatch())
        << address->path().toStdString();
    EXPECT_NE(address->path(), other->path());

    const QByteArray answer = get(*address);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n")) << answer.constData();
    EXPECT_TRUE(answer.contains("Content-Type: application/vnd.apple.mpegurl\r\n"));
    EXPECT_TRUE(answer.contains("Content-Length: " + QByteArray::number(text.size()) + "\r\n"));
    EXPECT_TRUE(answer.contains("Connection: close\r\n"));
    EXPECT_TRUE(answer.endsWith("\r\n\r\n" + text));
    const QByteArray head = get(*address, "HEAD");
    EXPECT_TRUE(head.startsWith("HTTP/1.1 200 OK\r\n") && head.endsWith("\r\n\r\n")) << head.data();

    // Another method, a path that only begins like it, a query, a path of none.
    for (const QByteArray &method : { QByteArray("POST"), QByteArray("DELETE") })
        EXPECT_TRUE(get(*address, method).startsWith("HTTP/1.1 404")) << method.constData();
    const QByteArray path = address->path().toLatin1();
    for (const QByteArray &target :
        { path.chopped(1), path + "?x=1", path + '/', QByteArray("/") }) {
        EXPECT_TRUE(
            exchange(*address, "GET " + target + " HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 404"))
            << target.constData();
    }

    server.withdraw(*address);
    EXPECT_TRUE(get(*address).startsWith("HTTP/1.1 404"));
    EXPECT_TRUE(get(*other).startsWith("HTTP/1.1 200")) << "the other stays";
}

TEST(LoopbackPlaylistServerTest, ARequestHeadPastItsBoundClosesTheConnectionUnanswered)
{
    LoopbackPlaylistServer server;
    const auto address = server.publish("#EXTM3U\n");
    ASSERT_TRUE(address);
    const QByteArray line = "GET " + address->path().toLatin1() + " HTTP/1.1\r\n";
    const QByteArray filler
        = "X-Filler: " + QByteArray(LoopbackPlaylistServer::maxRequestHead, 'x');
    EXPECT_EQ(exchange(*address, line + filler), QByteArray());
    // Within the bound it is answered.
    EXPECT_TRUE(exchange(*address, line + "X-Filler: x\r\n\r\n").startsWith("HTTP/1.1 200"));
}

TEST(LoopbackPlaylistServerTest, ARequestHeadMustBeWholeSoonAfterTheAcceptHoweverItTrickles)
{
    LoopbackPlaylistServer server({ .headTimeout = 400ms, .grace = 100ms }, nullptr);
    const auto address = server.publish("#EXTM3U\n");
    ASSERT_TRUE(address);
    QElapsedTimer clock;
    clock.start();
    HeadlessSenders trickle(quint16(address->port()), { .count = 1, .interval = 50ms });
    ASSERT_TRUE(test::waitUntil([&] { return trickle.closed() == 1; }, 5s))
        << "a byte every 50 ms does not hold the connection";
    // Timers may fire a little early.
    EXPECT_GE(clock.elapsed(), 350);
}

TEST(LoopbackPlaylistServerTest, SlowSendersHoldingEveryConnectionLeaveRoomForAClientsHead)
{
    LoopbackPlaylistServer server;
    const QByteArray text = "#EXTM3U\n#EXTINF:2,\nhttps://cdn.example/a.ts\n#EXT-X-ENDLIST\n";
    const auto address = server.publish(text);
    ASSERT_TRUE(address);
    HeadlessSenders slow(quint16(address->port()), { .count = 16 });
    ASSERT_TRUE(test::waitUntil([&] {
        return server.connectionCount() == 16 && slow.open() == 16;
    })) << "the slow senders hold every connection";

    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    for (int round = 0; round < 3; ++round) {
        const QByteArray answer = fetchAtOnce(*address);
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n") && answer.endsWith(text))
            << round << answer.constData();
        EXPECT_EQ(fetchWithQt(manager, *address), text) << round;
    }
    // A client whose head came is answered at once and takes no one's place.
    EXPECT_EQ(slow.closed(), 0);
    EXPECT_EQ(server.connectionCount(), 16);
}

TEST(LoopbackPlaylistServerTest, SendersThatReconnectAtOnceLeaveRoomForAClientEachTime)
{
    LoopbackPlaylistServer server({ .headTimeout = 500ms, .grace = 100ms }, nullptr);
    const QByteArray text = "#EXTM3U\n#EXT-X-ENDLIST\n";
    const auto address = server.publish(text);
    ASSERT_TRUE(address);
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    const quint16 port = quint16(address->port());

    // As many as the bound, then three times as many: past twice the bound, those waiting
    // longest are closed at once.
    for (const int count : { 16, 48 }) {
        HeadlessSenders senders(port, { .count = count, .interval = 100ms, .reconnect = true });
        ASSERT_TRUE(test::waitUntil([&] { return senders.closed() >= count; }, 5s))
            << count << ": the server closes and they come again";
        qsizetype most = 0;
        for (int round = 0; round < 4; ++round) {
            const int closedBefore = senders.closed();
            const QByteArray answer = fetchAtOnce(*address);
            EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n") && answer.endsWith(text))
                << count << ' ' << round << answer.constData();
            EXPECT_EQ(fetchWithQt(manager, *address), text) << count << ' ' << round;
            // The next round meets the senders at another point of their turnover.
            EXPECT_TRUE(test::waitUntil(
                [&] {
                    most = std::max(most, server.connectionCount());
                    return senders.closed() > closedBefore;
                },
                3s));
        }
        EXPECT_LE(most, 2 * 16) << count;
    }
}

TEST(LoopbackPlaylistServerTest, AnAnswerStillGoingOutIsNeverClosedForRoom)
{
    LoopbackPlaylistServer server({ .grace = 50ms }, nullptr);
    // Far more than the sockets between the two ends hold: most of it waits on the server.
    const QByteArray text = "#EXTM3U\n" + QByteArray(24 << 20, '#');
    const auto address = server.publish(text);
    ASSERT_TRUE(address);
    std::promise<void> read;
    std::future<QByteArray> fetch = startFetch(*address, read.get_future().share());
    // Its head comes with it, so it is being answered from the moment it counts.
    ASSERT_TRUE(test::waitUntil([&] { return server.connectionCount() == 1; }));
    {
        HeadlessSenders senders(
            quint16(address->port()), { .count = 48, .interval = 100ms, .reconnect = true });
        ASSERT_TRUE(test::waitUntil([&] { return senders.closed() >= 100; }, 5s))
            << "the server made room again and again";
    }
    read.set_value();
    const QByteArray answer = finish(fetch);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(answer.endsWith(text)) << answer.size() << " bytes came";
}

} // namespace

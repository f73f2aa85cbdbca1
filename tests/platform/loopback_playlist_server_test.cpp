#include "platform/LoopbackPlaylistServer.h"
#include "support/TestAsync.h"

#include <QRegularExpression>
#include <QTcpSocket>
#include <gtest/gtest.h>

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

} // namespace

// Where pictures may come from: the web only, never a link-local address written literally,
// neither as the first address nor after a redirect.
#include "support/TestAsync.h"
#include "ui/ImageNetwork.h"

#include <QCoreApplication>
#include <QHash>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

namespace {

using namespace orvella;
using namespace std::chrono_literals;

TEST(PictureAddress, OnlyWebAddressesOffTheLinkLocalRanges)
{
    for (const char *allowed : { "https://cdn.orvella.example/p.jpg", "http://127.0.0.1:8080/p.jpg",
             "http://10.0.0.5/p.jpg", "http://169.253.255.255/p.jpg", "http://169.255.0.1/p.jpg",
             "http://[2001:db8::1]/p.jpg", "http://[fec0::1]/p.jpg" })
        EXPECT_TRUE(resolveImageUrl(QString::fromLatin1(allowed)).isValid()) << allowed;
    for (const char *refused : { "http://169.254.169.254/latest/meta-data",
             "https://169.254.0.1/p.jpg", "http://169.254.169.254./p.jpg",
             // Other ways of writing 169.254.169.254 and 169.254.0.1.
             "http://2852039166/p.jpg", "http://0xa9fea9fe/p.jpg", "http://0251.0376.0251.0376/",
             "http://169.254.1/p.jpg", "http://[fe80::1]/p.jpg", "http://[FE80::abcd%25eth0]/p",
             "http://[febf:ffff::1]/p.jpg", "http://[::ffff:169.254.169.254]/p.jpg",
             "file:///etc/passwd", "http:///p.jpg", "ftp://cdn.orvella.example/p.jpg" })
        EXPECT_FALSE(resolveImageUrl(QString::fromLatin1(refused)).isValid()) << refused;
}

TEST(PictureAddress, ARedirectNeverGoesFromHttpsDownToHttp)
{
    const QUrl secure(QStringLiteral("https://cdn.orvella.example/p.jpg"));
    const QUrl plain(QStringLiteral("http://cdn.orvella.example/p.jpg"));
    EXPECT_TRUE(isPictureRedirect(plain, secure));
    EXPECT_TRUE(isPictureRedirect(secure, QUrl(QStringLiteral("https://other.example/p.jpg"))));
    EXPECT_TRUE(isPictureRedirect(plain, QUrl(QStringLiteral("http://other.example/p.jpg"))));
    EXPECT_FALSE(isPictureRedirect(secure, plain));
    EXPECT_FALSE(isPictureRedirect(plain, QUrl(QStringLiteral("http://169.254.169.254/"))));
}

// A proxy for every request of the test, so it sees where the client goes, also to addresses
// that could never be reached from here. "/start" answers with a redirect to `target`; anything
// else with a picture's body.
class RecordingProxy : public QTcpServer
{
public:
    QByteArray target;
    QList<QByteArray> requested; // the request targets, in absolute form

protected:
    void incomingConnection(qintptr handle) override
    {
        auto *socket = new QTcpSocket(this);
        socket->setSocketDescriptor(handle);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            QByteArray &head = m_heads[socket];
            head += socket->readAll();
            if (!head.contains("\r\n\r\n"))
                return;
            const QByteArray url = head.split(' ').value(1);
            requested.append(url);
            m_heads.remove(socket);
            socket->write(url.endsWith("/start")
                    ? "HTTP/1.1 302 Found\r\nLocation: " + target
                        + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n"
                    : QByteArray("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\n"
                                 "Content-Length: 7\r\nConnection: close\r\n\r\npicture"));
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

private:
    QHash<QTcpSocket *, QByteArray> m_heads;
};

class PictureRedirects : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(proxy.listen(QHostAddress::LocalHost));
        QNetworkProxy::setApplicationProxy(QNetworkProxy(
            QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.serverPort()));
        network = std::make_unique<ImageNetwork>(cache.path());
    }
    void TearDown() override
    {
        network.reset();
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    }

    // Fetches http://pictures.example/start, which redirects to `target`: the body, or nothing.
    std::optional<QByteArray> fetchRedirectedTo(const QByteArray &target)
    {
        proxy.target = target;
        proxy.requested.clear();
        bool done = false;
        std::optional<QByteArray> body;
        network->fetch(QUrl(QStringLiteral("http://pictures.example/start")),
            [&](std::optional<QByteArray> got) {
                QMetaObject::invokeMethod(
                    qApp, [&, got] { body = got, done = true; }, Qt::QueuedConnection);
            });
        EXPECT_TRUE(test::waitUntil([&] { return done; }, 10s));
        return body;
    }

    bool went(const QByteArray &address) const
    {
        return std::ranges::any_of(
            proxy.requested, [&](const QByteArray &url) { return url.contains(address); });
    }

    RecordingProxy proxy;
    QTemporaryDir cache;
    std::unique_ptr<ImageNetwork> network;
};

TEST_F(PictureRedirects, AWebRedirectIsFollowed)
{
    const auto body = fetchRedirectedTo("http://cdn.example/picture.jpg");
    ASSERT_TRUE(body);
    EXPECT_EQ(*body, "picture");
    EXPECT_TRUE(went("cdn.example"));
}

TEST_F(PictureRedirects, ARedirectToALinkLocalAddressIsRefused)
{
    for (const QByteArray target : { QByteArray("http://169.254.169.254/latest/meta-data"),
             QByteArray("http://[fe80::1]/p.jpg"), QByteArray("http://2852039166/p.jpg") }) {
        SCOPED_TRACE(target.toStdString());
        EXPECT_FALSE(fetchRedirectedTo(target));
        EXPECT_TRUE(went("pictures.example"));
        EXPECT_FALSE(went("169.254") || went("fe80") || went("2852039166"));
    }
}

} // namespace

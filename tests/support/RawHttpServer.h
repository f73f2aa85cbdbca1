#pragma once

// RawHttpServer: a bare HTTP/1.1 server on 127.0.0.1 for what the service double cannot do:
// answers streamed only as fast as the client takes them (to see where a client stops reading),
// answers that stall after their first bytes, and connections closed part-way through a
// request's body. Every request gets the same behaviour, or each the next of a list.
//
//   RawHttpServer server;
//   ASSERT_TRUE(server.start());
//   server.setBehaviour({ .head = RawHttpServer::okHead(1'000'000'000), .streamBytes =
//   1'000'000'000 });
//   ... the client reads ...
//   EXPECT_LT(server.streamedBytes(), 100'000'000);   // filler the sockets took
//   EXPECT_EQ(server.requestCount(), 1);               // request heads that arrived

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QUrl>
#include <memory>

class QTcpServer;

namespace orvella::test {

class RawHttpServer : public QObject
{
public:
    struct Behaviour
    {
        // Close the connection once this many bytes of the request's body have arrived; -1
        // waits for the whole request (by its Content-Length).
        qint64 closeAfterBodyBytes = -1;
        // The status line and headers sent once the request is in; empty closes the connection
        // without an answer.
        QByteArray head {};
        QByteArray body {}; // sent after the head
        qint64 streamBytes = 0; // then this many filler bytes, as the client takes them
        // After all that, leave the connection open without writing (else close it).
        bool stall = false;
        // After all that, take the next request on the same connection (a kept-alive one).
        bool keepAlive = false;
    };

    explicit RawHttpServer(QObject *parent = nullptr);
    ~RawHttpServer() override;

    bool start();
    [[nodiscard]] QUrl origin() const; // http://127.0.0.1:PORT
    void setBehaviour(Behaviour behaviour) { m_behaviours = { std::move(behaviour) }; }
    // The first request that arrives gets the first behaviour, the next the second, ...; the last
    // one repeats.
    void setBehaviours(QList<Behaviour> behaviours) { m_behaviours = std::move(behaviours); }

    // "HTTP/1.1 200 OK" with a JSON Content-Type and the given Content-Length.
    [[nodiscard]] static QByteArray okHead(qint64 contentLength);

    [[nodiscard]] int connectionCount() const { return m_connections; }
    [[nodiscard]] int requestCount() const { return m_requests; }
    [[nodiscard]] qint64 streamedBytes() const { return m_streamed; }
    // Connections that ended (closed by either side).
    [[nodiscard]] int closedCount() const { return m_closed; }

private:
    class Connection;
    void accept();
    [[nodiscard]] Behaviour behaviourFor(int request) const;

    std::unique_ptr<QTcpServer> m_server;
    QList<Behaviour> m_behaviours { Behaviour {} };
    int m_connections = 0;
    int m_requests = 0;
    qint64 m_streamed = 0;
    int m_closed = 0;
};

} // namespace orvella::test

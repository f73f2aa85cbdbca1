// How the client takes an answer: up to its bound and no further, whole or not at all, and
// decoded away from the GUI thread.

#include "ApiTestSupport.h"
#include "support/RawHttpServer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QSemaphore>
#include <QThread>
#include <stop_token>

using namespace Qt::StringLiterals;
using namespace orvella;
using namespace orvella::test;

namespace {

class Answers : public ClientFixture
{
protected:
    // A client of the given answer bound and limits, talking to `origin`.
    std::unique_ptr<OrvellaAPIClient> clientOf(
        const QUrl &origin, qint64 answerBytes, APIClientLimits limits = { 5s, 0s })
    {
        qputenv("ORVELLA_API_BASE", origin.toString().toUtf8());
        APIClientOptions options;
        options.cacheDirectory = cacheFolder.path();
        options.answerBytes = answerBytes;
        options.main = limits;
        return std::make_unique<OrvellaAPIClient>(options);
    }

    RawHttpServer raw;
};

constexpr qint64 bound = 1024 * 1024;
constexpr qint64 endless = 512LL * 1024 * 1024;

TEST_F(Answers, PastTheBoundTheAnswerFailsAndIsNotReadFurther)
{
    ASSERT_TRUE(raw.start());
    const auto bounded = clientOf(raw.origin(), bound);
    const QString tooLarge = u"The service's answer was too large."_s;

    // No length announced: the client counts what arrives and ends the transfer at the bound.
    raw.setBehaviour({ .head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                               "Connection: close\r\n\r\n",
        .body = R"({"status":"success","data":{"rails":[)",
        .streamBytes = endless });
    TransportError counted = transportFailure(bounded->getHome());
    EXPECT_EQ(counted.kind(), TransportError::Kind::AnswerTooLarge);
    EXPECT_EQ(counted.description(), tooLarge);
    ASSERT_TRUE(waitUntil([&] { return raw.closedCount() == 1; }));
    // The connection ended long before the service could send it all.
    EXPECT_LT(raw.streamedBytes(), 64 * bound);

    // An announced length past the bound fails before the body is read.
    raw.setBehaviour({ .head = RawHttpServer::okHead(endless), .streamBytes = endless });
    EXPECT_EQ(transportFailure(bounded->getConfig()).description(), tooLarge);
    ASSERT_TRUE(waitUntil([&] { return raw.closedCount() == 2; }));
    EXPECT_LT(raw.streamedBytes(), 128 * bound);

    // A compressed answer counts as it reads, not as it travels.
    const QByteArray config
        = R"({"status":"success","data":{"image_base":")" + QByteArray(bound / 2, 'x') + R"("}})";
    const auto deflated = [](const QByteArray &bytes) {
        return qCompress(bytes).mid(4); // a zlib stream without Qt's length prefix
    };
    const auto compressedHead = [](qsizetype length) {
        return "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Encoding: "
               "deflate\r\nContent-Length: "
            + QByteArray::number(length) + "\r\n\r\n";
    };
    const QByteArray small = deflated(config);
    raw.setBehaviour({ .head = compressedHead(small.size()), .body = small });
    EXPECT_EQ(runTask(bounded->getConfig()).image_base->size(), bound / 2);
    const QByteArray bomb = deflated(config + QByteArray(2 * bound, ' '));
    raw.setBehaviour({ .head = compressedHead(bomb.size()), .body = bomb });
    EXPECT_EQ(transportFailure(bounded->getConfig()).description(), tooLarge);

    // An answer of exactly the bound is taken, and the client is none the worse.
    QByteArray whole = R"({"status":"success","data":{"image_base":")";
    const qsizetype text = bound - whole.size() - 3;
    whole += QByteArray(text, 'x') + R"("}})";
    ASSERT_EQ(whole.size(), bound);
    raw.setBehaviour({ .head = RawHttpServer::okHead(whole.size()), .body = whole });
    EXPECT_EQ(runTask(bounded->getConfig()).image_base->size(), text);
}

// A gzip member of `bytes` (RFC 1952), its CRC-32 included.
QByteArray gzipped(const QByteArray &bytes)
{
    const QByteArray zlib = qCompress(bytes).mid(4); // Qt's length prefix off
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc = ~crc;
    const auto littleEndian = [](quint32 value) {
        QByteArray out(4, 0);
        for (int i = 0; i < 4; ++i)
            out[i] = char(value >> (8 * i));
        return out;
    };
    return QByteArray("\x1f\x8b\x08\0\0\0\0\0\0\xff", 10) + zlib.mid(2, zlib.size() - 6)
        + littleEndian(crc) + littleEndian(quint32(bytes.size()));
}

TEST_F(Answers, AnAnswerQtStopsInflatingIsTooLarge)
{
    // Under the client's own bound: Qt's check of the inflating ratio stops these first.
    ASSERT_TRUE(raw.start());
    const auto client = clientOf(raw.origin(), 64 * bound);
    const auto answer = [&](const QByteArray &coding, const QByteArray &body) {
        raw.setBehaviour({ .head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                                   "Content-Encoding: "
                + coding + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n",
            .body = body });
    };
    const QByteArray config = R"({"status":"success","data":{"image_base":"x"}})";
    const QByteArray bomb = config + QByteArray(12 * bound, ' ');
    answer("gzip", gzipped(config));
    EXPECT_EQ(runTask(client->getConfig()).image_base, u"x"_s) << "a sound gzip answer";
    answer("gzip", gzipped(bomb));
    const TransportError gzip = transportFailure(client->getConfig());
    EXPECT_EQ(gzip.kind(), TransportError::Kind::AnswerTooLarge);
    EXPECT_EQ(gzip.description(), u"The service's answer was too large."_s);
    answer("deflate", qCompress(bomb).mid(4));
    EXPECT_EQ(transportFailure(client->getConfig()).kind(), TransportError::Kind::AnswerTooLarge);
}

TEST_F(Answers, AnAnswerCutShortOrEndedByATimeOutIsATransportFailure)
{
    // Cut short after a valid beginning: not decoded as if whole.
    service.on("GET", u"tv/home"_s,
        ScriptedAnswer::envelope(QJsonObject { { "rails", QJsonArray { QJsonObject {} } } })
            .truncatedAfter(30));
    const TransportError cut = transportFailure(client->getHome());
    EXPECT_EQ(cut.kind(), TransportError::Kind::Other);
    EXPECT_EQ(cut.description(), u"A network error occurred."_s);

    // A status and a first part, then nothing: the whole limit, then the idle limit, end it.
    ASSERT_TRUE(raw.start());
    raw.setBehaviour({ .head = RawHttpServer::okHead(1000),
        .body = R"({"status":"success","data":{)",
        .stall = true });
    const QString timedOut = u"The request timed out."_s;
    const auto whole = clientOf(raw.origin(), bound, { 5s, 200ms });
    EXPECT_EQ(transportFailure(whole->getHome()).description(), timedOut);
    const auto idle = clientOf(raw.origin(), bound, { 200ms, 0s });
    EXPECT_EQ(transportFailure(idle->getHome()).description(), timedOut);
}

TEST_F(Answers, DecodingRunsOffTheGuiThreadAndTheResultComesBackToIt)
{
    service.on("GET", u"tv/home"_s, ScriptedAnswer::envelope(QJsonObject { { "n", 7 } }));
    QThread *const gui = QThread::currentThread();
    // The decoder waits for an event it queues on the GUI thread: had it run there, the event
    // could not run before it returned.
    QThread *decodedOn = nullptr;
    bool eventRan = false;
    const auto decode = [&](const JSONValue &data) {
        decodedOn = QThread::currentThread();
        QSemaphore ran;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                eventRan = true;
                ran.release();
            },
            Qt::QueuedConnection);
        ran.tryAcquire(1, 10000);
        return data[QLatin1StringView("n")].toNumber();
    };
    QThread *resumedOn = nullptr;
    const auto decodeAndNote = [&]() -> QCoro::Task<double> {
        const double n = co_await client->getDecoded(u"tv/home"_s, {}, false, false, decode);
        resumedOn = QThread::currentThread();
        co_return n;
    };
    EXPECT_EQ(runTask(decodeAndNote()), 7);
    EXPECT_TRUE(eventRan);
    EXPECT_NE(decodedOn, gui);
    EXPECT_EQ(resumedOn, gui);
}

} // namespace

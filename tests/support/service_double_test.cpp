#include "support/Fixtures.h"
#include "support/ServiceDoubleTest.h"
#include "support/TestAsync.h"

#include <QCoroNetworkReply>
#include <QFile>
#include <QHttpMultiPart>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

using namespace std::chrono_literals;
using orvella::test::RecordedRequest;
using orvella::test::runTask;
using orvella::test::ScriptedAnswer;
using orvella::test::ServiceDouble;

namespace {

struct Reply
{
    int status = 0;
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    QByteArray body;
    QByteArray etag;
};

QCoro::Task<Reply> send(QNetworkAccessManager &network, QNetworkRequest request,
    QByteArray method = "GET", QByteArray body = {})
{
    std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, method, body));
    co_await reply.get();
    co_return Reply { reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
        reply->error(), reply->readAll(), reply->rawHeader("ETag") };
}

QCoro::Task<Reply> get(
    QNetworkAccessManager &network, const QUrl &url, const QByteArray &ifNoneMatch = {})
{
    QNetworkRequest request(url);
    if (!ifNoneMatch.isEmpty())
        request.setRawHeader("If-None-Match", ifNoneMatch);
    return send(network, request);
}

using orvella::test::ServiceDoubleTest;

TEST_F(ServiceDoubleTest, ListensOnLoopbackAndAnswersUnscriptedApiPathsWithAnErrorEnvelope)
{
    EXPECT_EQ(service.origin().host(), "127.0.0.1");
    EXPECT_GT(service.origin().port(), 0);
    EXPECT_EQ(service.apiBase().path(), "/fresh/newapi/v1/");

    const Reply reply = runTask(get(network, service.url("tv/nothing")));
    EXPECT_EQ(reply.status, 404);
    const QJsonObject envelope = QJsonDocument::fromJson(reply.body).object();
    EXPECT_EQ(envelope["status"].toString(), "error");
    EXPECT_EQ(envelope["code"].toString(), "NOT_FOUND");
}

TEST_F(ServiceDoubleTest, ServesAListOfAnswersInOrderThenRepeatsTheLast)
{
    service.on("GET", "tv/config",
        { ScriptedAnswer::error(503, "Maintenance"),
            ScriptedAnswer::envelope(QJsonObject { { "image_base", "one" } }),
            ScriptedAnswer::envelope(QJsonObject { { "image_base", "two" } }) });
    QList<int> statuses;
    QStringList bases;
    for (int i = 0; i < 4; ++i) {
        const Reply reply = runTask(get(network, service.url("tv/config")));
        statuses.append(reply.status);
        bases.append(QJsonDocument::fromJson(reply.body)["data"]["image_base"].toString());
    }
    EXPECT_EQ(statuses, (QList<int> { 503, 200, 200, 200 }));
    EXPECT_EQ(bases, (QStringList { "", "one", "two", "two" }));
}

TEST_F(ServiceDoubleTest, ExactPatternsWinOverPrefixesAndLongerPrefixesOverShorter)
{
    service.on("GET", "programs/*", ScriptedAnswer::raw("short prefix", "text/plain"));
    service.on("GET", "programs/7/*", ScriptedAnswer::raw("long prefix", "text/plain"));
    service.on("GET", "programs/7/episodes", ScriptedAnswer::raw("exact", "text/plain"));
    service.on("*", "/elsewhere", ScriptedAnswer::raw("any method", "text/plain"));

    EXPECT_EQ(runTask(get(network, service.url("programs/3"))).body, "short prefix");
    EXPECT_EQ(runTask(get(network, service.url("programs/7/extra"))).body, "long prefix");
    EXPECT_EQ(runTask(get(network, service.url("programs/7/episodes"))).body, "exact");
    EXPECT_EQ(runTask(send(network, QNetworkRequest(service.url("/elsewhere")), "DELETE")).body,
        "any method");
    EXPECT_EQ(runTask(get(network, service.url("programsX"))).status, 404);
}

TEST_F(ServiceDoubleTest, RecordsMethodPathQueryHeadersAndBody)
{
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    QNetworkRequest request(QUrl(service.url("user/history").toString() + "?a=1&q=two%20words"));
    request.setRawHeader("Authorization", "Bearer t0k");
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    runTask(send(network, request, "POST", R"({"episode_id":"9","position":12})"));

    ASSERT_EQ(service.requests().size(), 1);
    const RecordedRequest recorded = service.requests().first();
    EXPECT_EQ(recorded.method, "POST");
    EXPECT_EQ(recorded.path, "/fresh/newapi/v1/user/history");
    EXPECT_EQ(recorded.apiPath(), "user/history");
    EXPECT_EQ(recorded.queryValue("q"), "two words");
    EXPECT_EQ(recorded.header("authorization"), "Bearer t0k");
    EXPECT_FALSE(recorded.hasHeader("If-None-Match"));
    EXPECT_EQ(recorded.json()["position"].toInt(), 12);
    EXPECT_EQ(service.requests("POST", "user/*").size(), 1);
    EXPECT_TRUE(service.requests("GET", "user/*").isEmpty());
}

TEST_F(ServiceDoubleTest, KeepsMultipartBodiesWhole)
{
    service.on("POST", "user/testimony", ScriptedAnswer::envelope(QJsonObject {}));
    auto *multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart name;
    name.setHeader(QNetworkRequest::ContentDispositionHeader, R"(form-data; name="name")");
    name.setBody("Ada");
    QHttpPart video;
    video.setHeader(
        QNetworkRequest::ContentDispositionHeader, R"(form-data; name="video"; filename="t.mov")");
    const QByteArray bytes(300 * 1024, '\x7f');
    video.setBody(bytes);
    multipart->append(name);
    multipart->append(video);

    std::unique_ptr<QNetworkReply> reply(
        network.post(QNetworkRequest(service.url("user/testimony")), multipart));
    multipart->setParent(reply.get());
    ASSERT_TRUE(orvella::test::waitUntil([&] { return reply->isFinished(); }));
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);

    const RecordedRequest recorded = service.requests().last();
    EXPECT_TRUE(recorded.header("Content-Type").startsWith("multipart/form-data; boundary="));
    EXPECT_TRUE(recorded.body.contains(bytes));
    EXPECT_TRUE(recorded.body.contains(R"(name="video"; filename="t.mov")"));
    EXPECT_EQ(recorded.body.size(), recorded.header("Content-Length").toLongLong());
}

TEST_F(ServiceDoubleTest, AnswersNotModifiedToAMatchingIfNoneMatch)
{
    service.on("GET", "user/profile", ScriptedAnswer::envelope(QJsonObject {}).withEtag("\"v1\""));
    const Reply first = runTask(get(network, service.url("user/profile")));
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.etag, "\"v1\"");
    const Reply again = runTask(get(network, service.url("user/profile"), "\"v1\""));
    EXPECT_EQ(again.status, 304);
    EXPECT_TRUE(again.body.isEmpty());
    const Reply other = runTask(get(network, service.url("user/profile"), "\"v0\""));
    EXPECT_EQ(other.status, 200);
}

TEST_F(ServiceDoubleTest, DropsAndTruncatesAsScripted)
{
    service.on("GET", "tv/home", ScriptedAnswer::dropped());
    EXPECT_NE(runTask(get(network, service.url("tv/home"))).error, QNetworkReply::NoError);

    service.on("GET", "tv/home", ScriptedAnswer::raw(QByteArray(4000, 'x')).truncatedAfter(100));
    const Reply cut = runTask(get(network, service.url("tv/home")));
    EXPECT_NE(cut.error, QNetworkReply::NoError);
    EXPECT_LE(cut.body.size(), 100);
    // Qt resends an idempotent request once when the connection closes without an answer.
    EXPECT_GE(service.requests("GET", "tv/home").size(), 3);
}

TEST_F(ServiceDoubleTest, DelaysAnswersWithoutBlockingOthers)
{
    service.on("GET", "slow", ScriptedAnswer::raw("slow").withDelay(1s));
    service.on("GET", "fast", ScriptedAnswer::raw("fast"));
    QNetworkRequest slowRequest(service.url("slow"));
    std::unique_ptr<QNetworkReply> slow(network.get(slowRequest));
    const Reply fast = runTask(get(network, service.url("fast")));
    EXPECT_EQ(fast.body, "fast");
    EXPECT_FALSE(slow->isFinished());
    ASSERT_TRUE(orvella::test::waitUntil([&] { return slow->isFinished(); }));
    EXPECT_EQ(slow->readAll(), "slow");
}

TEST_F(ServiceDoubleTest, HandlersSeeTheRequest)
{
    service.handle("GET", "episodes/search", [](const RecordedRequest &request) {
        return ScriptedAnswer::envelope(QJsonObject { { "q", request.queryValue("q") } });
    });
    const Reply reply
        = runTask(get(network, service.url("episodes/search").toString() + "?q=grace"));
    EXPECT_EQ(QJsonDocument::fromJson(reply.body)["data"]["q"].toString(), "grace");
}

TEST_F(ServiceDoubleTest, AnswersPipelinedRequestsOnOneConnectionInOrder)
{
    service.on("GET", "/a", ScriptedAnswer::raw("first", "text/plain").withDelay(50ms));
    service.on("POST", "/b", ScriptedAnswer::raw("second", "text/plain"));
    QTcpSocket socket;
    socket.connectToHost(service.origin().host(), quint16(service.origin().port()));
    ASSERT_TRUE(socket.waitForConnected(2000));
    socket.write("GET /a HTTP/1.1\r\nHost: x\r\n\r\n"
                 "POST /b HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n\r\n"
                 "3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n");
    QByteArray received;
    ASSERT_TRUE(orvella::test::waitUntil([&] {
        received += socket.readAll();
        return received.contains("second");
    }));
    EXPECT_LT(received.indexOf("first"), received.indexOf("second"));
    ASSERT_EQ(service.requests().size(), 2);
    EXPECT_EQ(service.requests().at(1).body, "abcde");
}

TEST_F(ServiceDoubleTest, ServesMediaFilesAndInjectsMediaFaults)
{
    const Reply playlist = runTask(get(network, service.mediaUrl("multi/master.m3u8")));
    EXPECT_EQ(playlist.status, 200);
    QFile file(orvella::test::fixturePath("multi/master.m3u8"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(playlist.body, file.readAll());

    EXPECT_EQ(runTask(get(network, service.mediaUrl("multi/none.ts"))).status, 404);
    EXPECT_EQ(runTask(get(network, service.mediaUrl("../etc/passwd"))).status, 404);

    service.on("GET", "/media/vod/seg_001.ts", ScriptedAnswer::empty(404));
    service.on("GET", "/media/vod/*", ScriptedAnswer::file().withDelay(150ms));
    EXPECT_EQ(runTask(get(network, service.mediaUrl("vod/seg_001.ts"))).status, 404);
    const Reply slow = runTask(get(network, service.mediaUrl("vod/seg_002.ts")));
    EXPECT_EQ(slow.status, 200);
    EXPECT_GT(slow.body.size(), 1000);
    const auto recorded = service.requests("GET", "/media/vod/seg_002.ts");
    ASSERT_EQ(recorded.size(), 1);
}

TEST_F(ServiceDoubleTest, ServesALiveWindowThatMovesWithItsClock)
{
    qint64 now = 0;
    service.setLiveClock([&] { return now; });
    const auto window
        = [&] { return runTask(get(network, service.mediaUrl("live/480p/index.m3u8"))).body; };
    EXPECT_TRUE(window().contains("#EXT-X-MEDIA-SEQUENCE:0\n"));
    now = 4100;
    const QByteArray later = window();
    EXPECT_TRUE(later.contains("#EXT-X-MEDIA-SEQUENCE:2\n"));
    EXPECT_TRUE(later.contains("seg_002.ts"));
    EXPECT_FALSE(later.contains("seg_001.ts"));
    EXPECT_FALSE(later.contains("ENDLIST"));
    const QByteArray subtitles = runTask(get(network, service.mediaUrl("live/subs/en.m3u8"))).body;
    EXPECT_TRUE(subtitles.contains("#EXT-X-MEDIA-SEQUENCE:2\n"));
    EXPECT_TRUE(subtitles.contains("en_002.vtt"));
}

} // namespace

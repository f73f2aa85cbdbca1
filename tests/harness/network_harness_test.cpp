// A coroutine GET through QNetworkAccessManager against the service double: the pattern every
// network test follows.

#include "support/ServiceDoubleTest.h"
#include "support/TestAsync.h"

#include <QCoroNetworkReply>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

using namespace std::chrono_literals;
using orvella::test::runTask;
using orvella::test::ScriptedAnswer;
using orvella::test::ServiceDouble;

namespace {

class TransferFailed : public std::runtime_error
{
public:
    explicit TransferFailed(QNetworkReply::NetworkError kind)
        : std::runtime_error("transfer failed")
        , error(kind)
    { }
    QNetworkReply::NetworkError error;
};

class MalformedAnswer : public std::runtime_error
{
public:
    explicit MalformedAnswer(const QString &why)
        : std::runtime_error(why.toStdString())
    { }
};

struct Fetched
{
    int status = 0;
    QJsonObject body;
    QByteArray etag;
};

// GET with an optional tag and a whole-transfer deadline that aborts the reply; throws on
// transport failures and on bodies that are not a JSON object.
QCoro::Task<Fetched> fetchJson(QNetworkAccessManager &network, QUrl url, QByteArray ifNoneMatch,
    std::chrono::milliseconds deadline)
{
    QNetworkRequest request(url);
    request.setAttribute(
        QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    if (!ifNoneMatch.isEmpty())
        request.setRawHeader("If-None-Match", ifNoneMatch);
    std::unique_ptr<QNetworkReply> reply(network.get(request));
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, reply.get(), &QNetworkReply::abort);
    limit.start(deadline);
    co_await reply.get();

    if (reply->error() != QNetworkReply::NoError)
        throw TransferFailed(reply->error());
    Fetched result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.etag = reply->rawHeader("ETag");
    if (result.status == 304)
        co_return result;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(reply->readAll(), &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        throw MalformedAnswer(parseError.errorString());
    result.body = document.object();
    co_return result;
}

using NetworkHarness = orvella::test::ServiceDoubleTest;

TEST_F(NetworkHarness, EtagRoundTripAnswersNotModifiedToTheSecondRequest)
{
    service.on("GET", "programs",
        ScriptedAnswer::envelope(QJsonObject { { "programs", QJsonArray {} } })
            .withEtag("\"p-1\""));

    const Fetched first = runTask(fetchJson(network, service.url("programs"), {}, 2s));
    EXPECT_EQ(first.status, 200);
    EXPECT_EQ(first.etag, "\"p-1\"");
    EXPECT_EQ(first.body["status"].toString(), "success");

    const Fetched second = runTask(fetchJson(network, service.url("programs"), first.etag, 2s));
    EXPECT_EQ(second.status, 304);
    EXPECT_TRUE(second.body.isEmpty());

    const auto sent = service.requests("GET", "programs");
    ASSERT_EQ(sent.size(), 2);
    EXPECT_FALSE(sent[0].hasHeader("If-None-Match"));
    EXPECT_EQ(sent[1].header("If-None-Match"), "\"p-1\"");
}

TEST_F(NetworkHarness, ADeadlineAbortsASlowAnswer)
{
    service.on("GET", "tv/home", ScriptedAnswer::envelope(QJsonObject {}).withDelay(2s));
    try {
        runTask(fetchJson(network, service.url("tv/home"), {}, 100ms), 1s);
        FAIL() << "the slow answer was not aborted";
    } catch (const TransferFailed &failure) {
        EXPECT_EQ(failure.error, QNetworkReply::OperationCanceledError);
    }
}

TEST_F(NetworkHarness, MalformedAndTruncatedBodiesFailInsteadOfDecodingHalfAnAnswer)
{
    service.on("GET", "tv/config", ScriptedAnswer::raw(R"({"status":"success","data":{)"));
    EXPECT_THROW(runTask(fetchJson(network, service.url("tv/config"), {}, 2s)), MalformedAnswer);

    service.on("GET", "tv/config",
        ScriptedAnswer::envelope(QJsonObject { { "image_base", QString(500, 'x') } })
            .truncatedAfter(40));
    EXPECT_THROW(runTask(fetchJson(network, service.url("tv/config"), {}, 2s)), TransferFailed);
}

} // namespace

// The contract tools/run relies on: the tool prints its origin on its first line, flushed, and
// answers with the sample content there until it is stopped.

#include "support/TestAsync.h"

#include <QCoroNetworkReply>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

using namespace std::chrono_literals;

namespace {

QCoro::Task<QByteArray> fetch(QNetworkAccessManager &network, QUrl url)
{
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(url)));
    co_await reply.get();
    co_return reply->readAll();
}

TEST(ServiceDoubleTool, PrintsItsOriginFirstAndServesTheSampleThere)
{
    QProcess tool;
    tool.start(QStringLiteral(ORVELLA_SERVICE_DOUBLE_TOOL),
        { QStringLiteral("--sample"), QStringLiteral("--port"), QStringLiteral("0"),
            QStringLiteral("--quiet") });
    ASSERT_TRUE(tool.waitForStarted(5000));
    ASSERT_TRUE(orvella::test::waitUntil([&] { return tool.canReadLine(); }, 10s));
    const QString line = QString::fromUtf8(tool.readLine());
    const QRegularExpressionMatch origin
        = QRegularExpression(QStringLiteral(R"(http://127\.0\.0\.1:(\d+))")).match(line);
    ASSERT_TRUE(origin.hasMatch()) << line.toStdString();
    EXPECT_GT(origin.captured(1).toInt(), 0);

    QNetworkAccessManager network;
    const QByteArray config = orvella::test::runTask(
        fetch(network, QUrl(origin.captured(0) + QStringLiteral("/fresh/newapi/v1/tv/config"))));
    const QJsonDocument document = QJsonDocument::fromJson(config);
    EXPECT_EQ(document["status"].toString(), "success");
    EXPECT_FALSE(document["data"]["live_languages"].toArray().isEmpty());

    tool.terminate();
    EXPECT_TRUE(tool.waitForFinished(5000));
}

} // namespace

#include "support/SampleContent.h"
#include "support/ServiceDoubleTest.h"
#include "support/TestAsync.h"

#include <QCoroNetworkReply>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <gtest/gtest.h>
#include <memory>

using orvella::test::runTask;

namespace {

struct Answer
{
    int status = 0;
    QByteArray body;
    [[nodiscard]] QJsonObject envelope() const { return QJsonDocument::fromJson(body).object(); }
    [[nodiscard]] QJsonValue data() const { return envelope()[QStringLiteral("data")]; }
};

class SampleContentTest : public orvella::test::ServiceDoubleTest
{
protected:
    void SetUp() override
    {
        ServiceDoubleTest::SetUp();
        orvella::test::installSampleContent(service);
    }

    QCoro::Task<Answer> call(
        QByteArray method, QString path, QByteArray body = {}, bool signedIn = false)
    {
        QNetworkRequest request(QUrl(service.apiBase().toString() + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        if (signedIn)
            request.setRawHeader("Authorization", "Bearer sample-access-token");
        std::unique_ptr<QNetworkReply> reply(network.sendCustomRequest(request, method, body));
        co_await reply.get();
        co_return Answer { reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
            reply->readAll() };
    }
    Answer get(const QString &path, bool signedIn = false)
    {
        return runTask(call("GET", path, {}, signedIn));
    }
    Answer post(const QString &path, const QByteArray &body = "{}")
    {
        return runTask(call("POST", path, body));
    }
    // The fixture a /media/ address of the double points at.
    static bool servedFileExists(const QString &address)
    {
        const QString path = QUrl(address).path();
        if (!path.startsWith(QStringLiteral("/media/")))
            return false;
        const QString file = orvella::test::fixturePath(path.mid(7));
        return QFileInfo::exists(file)
            || QFileInfo::exists(file.chopped(5) + QStringLiteral(".source.m3u8"));
    }
};

TEST_F(SampleContentTest, EveryAnswerHasItsPlaceholdersFilledAndItsMediaPresent)
{
    const QStringList paths { "tv/config", "tv/home", "live/stream?lang=fr", "live/schedule?days=2",
        "programs?page=1&per_page=60", "programs/101", "episodes/5002", "episodes/5003",
        "episodes/search?q=grace&page=1" };
    for (const QString &path : paths) {
        const Answer answer = get(path);
        EXPECT_EQ(answer.status, 200) << path.toStdString();
        EXPECT_FALSE(answer.body.contains("{{")) << path.toStdString();
        EXPECT_EQ(answer.envelope()["status"].toString(), "success") << path.toStdString();
    }
    EXPECT_EQ(get("live/stream?lang=fr").data()["lang"].toString(), "fr");
    EXPECT_TRUE(servedFileExists(get("live/stream?lang=en").data()["hls_url"].toString()));
    for (const QString id : { "5002", "5003" }) {
        const QJsonObject episode = get("episodes/" + id).data()["episode"].toObject();
        EXPECT_TRUE(servedFileExists(episode["hls_url"].toString())) << id.toStdString();
        EXPECT_TRUE(servedFileExists(episode["subtitles"][0]["url"].toString()));
        EXPECT_EQ(episode["related"].toArray().size(), 4);
    }
    EXPECT_TRUE(servedFileExists(get("tv/home").data()["hero"]["image"].toString()));
}

TEST_F(SampleContentTest, ProgrammesComeInPagesAndOneHasMoreThanAHundredEpisodes)
{
    const Answer first = get("programs?page=1&per_page=60");
    EXPECT_EQ(first.data()["programs"].toArray().size(), 60);
    EXPECT_EQ(first.envelope().value("meta")["total"].toInt(), 66);
    EXPECT_TRUE(first.envelope().value("meta")["has_more"].toBool());
    EXPECT_EQ(get("programs?page=2&per_page=60").data()["programs"].toArray().size(), 6);

    EXPECT_EQ(get("programs/101?page=1&per_page=100").data()["episodes"].toArray().size(), 100);
    EXPECT_EQ(get("programs/101?page=2&per_page=100").data()["episodes"].toArray().size(), 30);
    EXPECT_TRUE(get("programs/101?page=3&per_page=100").data()["episodes"].toArray().isEmpty());
    EXPECT_EQ(get("programs/999").status, 404);

    // The two libraries: the kids' programme by its id, the testimonies by their title.
    EXPECT_EQ(get("programs/79?page=2&per_page=100").data()["episodes"].toArray().size(), 12);
    EXPECT_EQ(
        get("programs/165").data()["program"]["title"].toString(), "Orvella Testimonies Live");
}

TEST_F(SampleContentTest, HomeAndContinueWatchingLeadToEpisodesAndProgrammesThatExist)
{
    for (const QJsonValue &rail : get("tv/home").data()["rails"].toArray()) {
        for (const QJsonValue &item : rail["items"].toArray()) {
            const QJsonObject action = item["action"].toObject();
            if (action["type"] == "episode") {
                EXPECT_EQ(get("episodes/" + action["id"].toString()).status, 200);
            } else if (action["type"] == "program") {
                EXPECT_EQ(get("programs/" + action["id"].toString()).status, 200);
            }
        }
    }
    const QJsonArray items = get("user/continue-watching", true).data()["items"].toArray();
    ASSERT_FALSE(items.isEmpty());
    for (const QJsonValue &item : items)
        EXPECT_EQ(get("episodes/" + item["episode_id"].toString()).status, 200);
}

TEST_F(SampleContentTest, TheScheduleHasOneEntryOnAirNow)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    int onAir = 0;
    for (const QJsonValue &day : get("live/schedule?days=2").data()["days"].toArray()) {
        for (const QJsonValue &item : day["items"].toArray()) {
            if (item["starts_at"].toInteger() <= now && now < item["ends_at"].toInteger()) {
                ++onAir;
                EXPECT_EQ(item["epg_status"].toString(), "live");
            }
        }
    }
    EXPECT_EQ(onAir, 1);
}

TEST_F(SampleContentTest, SearchFindsProgrammesAndEpisodesByTitle)
{
    const QJsonArray results = get("episodes/search?q=GRACE&page=1").data()["results"].toArray();
    QSet<QString> kinds;
    for (const QJsonValue &result : results) {
        kinds.insert(result["kind"].toString());
        EXPECT_TRUE(result["title"].toString().contains("grace", Qt::CaseInsensitive));
    }
    EXPECT_EQ(kinds, (QSet<QString> { "program", "episode" }));
    EXPECT_TRUE(get("episodes/search?q=&page=1").data()["results"].toArray().isEmpty());
}

TEST_F(SampleContentTest, AccountRoutesWantATokenAndTheDeviceFlowApprovesOnTheThirdPoll)
{
    EXPECT_EQ(get("user/profile").status, 401);
    EXPECT_EQ(get("user/profile", true).data()["user"]["fullname"].toString(), "Grace Mensah");

    EXPECT_EQ(post("tv/device/code").data()["user_code"].toString(), "ORV-4821");
    const QByteArray poll = R"({"device_code":"dc-7f3a9e21","device_id":"d"})";
    EXPECT_EQ(post("tv/device/token", poll).envelope()["code"].toString(), "AUTHORIZATION_PENDING");
    EXPECT_EQ(
        post("tv/device/token", poll).data()["access_token"].toString(), "sample-access-token");
    // A new code starts the wait again.
    post("tv/device/code");
    EXPECT_EQ(post("tv/device/token", poll).status, 400);

    EXPECT_EQ(post("auth/login", R"({"fullname":"A","email":"nope"})").status, 422);
    EXPECT_EQ(post("auth/login", R"({"fullname":"A","email":"a@b.org"})").status, 200);
    EXPECT_EQ(post("auth/refresh", R"({"refresh_token":"r"})").data()["refresh_token"].toString(),
        "sample-refresh-token-2");
}

TEST_F(SampleContentTest, TestimonyUploadsAreAcceptedOnTheThirdRouteOnly)
{
    EXPECT_EQ(post("user/testimony").status, 404);
    EXPECT_EQ(post("user/testimonies").status, 404);
    EXPECT_EQ(post("testimony/upload").status, 422); // not multipart
    QNetworkRequest request(service.url("testimony/upload"));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "multipart/form-data; boundary=b");
    std::unique_ptr<QNetworkReply> reply(network.post(request, QByteArray("--b--\r\n")));
    ASSERT_TRUE(orvella::test::waitUntil([&] { return reply->isFinished(); }));
    EXPECT_EQ(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
}

} // namespace

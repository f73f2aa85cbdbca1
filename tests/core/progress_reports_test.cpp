#include "AppModelHarness.h"
#include "core/KeptPositions.h"
#include "core/ProgressReports.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

// Each record made later than the one before.
LocalHistoryEntry at(const char *episode, qint64 position)
{
    static qint64 now = 1'700'000'000;
    return { QString::fromLatin1(episode), std::nullopt, std::nullopt, std::nullopt, position, 1800,
        ++now };
}

class Reports : public AppModelHarness
{
protected:
    // "e1@100" for each position the service was sent, in order.
    [[nodiscard]] QStringList posted() const
    {
        QStringList sent;
        for (const RecordedRequest &request : service.requests("POST", "user/history")) {
            const QJsonObject body = request.json().object();
            sent.append(body.value("episode_id").toString() + u'@'
                + QString::number(body.value("position").toInt()));
        }
        return sent;
    }

    [[nodiscard]] static QStringList kept()
    {
        QStringList positions;
        for (const LocalHistoryEntry &entry : KeptPositions::stored().load())
            positions.append(entry.episodeId + u'@' + QString::number(entry.position));
        return positions;
    }

    bool settled(ProgressReports &reports)
    {
        return waitUntil([&] { return reports.inFlight() == 0; });
    }
};

TEST_F(Reports, APositionTheServiceRefusesIsKeptAndFollowsTheNextOneItTakes)
{
    service.on("POST", "user/history",
        { ScriptedAnswer::error(500, u"Down"_qs), ScriptedAnswer::error(503, u"Busy"_qs),
            ScriptedAnswer::envelope(QJsonObject {}) });
    ProgressReports &reports = signedIn().progressReports();

    reports.report(at("e1", 100));
    ASSERT_TRUE(settled(reports));
    reports.report(at("e2", 40));
    ASSERT_TRUE(settled(reports));
    EXPECT_EQ(kept(), (QStringList { u"e2@40"_qs, u"e1@100"_qs })) << "the latest first";
    EXPECT_EQ(ProgressReports::keptPosition(u"e1"_qs)->position, 100);
    EXPECT_FALSE(QSettings().contains(LocalHistoryStore::settingsKey)) << "not the local history";

    reports.report(at("e3", 5));
    ASSERT_TRUE(waitUntil([&] { return posted().size() == 5 && reports.inFlight() == 0; }));
    EXPECT_EQ(posted(),
        (QStringList { u"e1@100"_qs, u"e2@40"_qs, u"e3@5"_qs, u"e2@40"_qs, u"e1@100"_qs }));
    EXPECT_TRUE(kept().isEmpty());
    EXPECT_FALSE(QSettings().contains(KeptPositions::settingsKey));
}

TEST_F(Reports, ALaterPositionTakenMakesTheKeptOneGoAndIsNeverUndone)
{
    service.on("POST", "user/history",
        { ScriptedAnswer::error(500, u"Down"_qs), ScriptedAnswer::envelope(QJsonObject {}) });
    ProgressReports &reports = signedIn().progressReports();
    reports.report(at("e1", 10));
    ASSERT_TRUE(settled(reports));
    EXPECT_EQ(kept(), QStringList { u"e1@10"_qs });
    reports.report(at("e1", 40));
    ASSERT_TRUE(settled(reports));
    spinFor(50ms);
    EXPECT_TRUE(kept().isEmpty());
    EXPECT_EQ(posted(), (QStringList { u"e1@10"_qs, u"e1@40"_qs })) << "the older one not resent";

    // An earlier position whose failure comes after a later one was taken is not kept.
    service.on("POST", "user/history",
        { ScriptedAnswer::error(500, u"Down"_qs).withDelay(300ms),
            ScriptedAnswer::envelope(QJsonObject {}) });
    reports.report(at("e1", 70));
    reports.report(at("e1", 100));
    ASSERT_TRUE(settled(reports));
    EXPECT_TRUE(kept().isEmpty());
}

TEST_F(Reports, TimeOutsAndNoNetworkKeepThePositionARefusalDoesNot)
{
    OrvellaAPIClient::Options options;
    options.cacheDirectory = cacheDir.path();
    options.main = { 200ms, 400ms };
    client = std::make_unique<OrvellaAPIClient>(options);
    service.on("POST", "user/history", ScriptedAnswer::error(422, u"Unknown episode"_qs));
    ProgressReports &reports = signedIn().progressReports();
    reports.report(at("e0", 14));
    ASSERT_TRUE(settled(reports));
    EXPECT_TRUE(kept().isEmpty()) << "sending it again would change nothing";

    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}).withDelay(1500ms));
    reports.report(at("e1", 14));
    ASSERT_TRUE(settled(reports));
    EXPECT_EQ(kept(), QStringList { u"e1@14"_qs }) << "timed out";

    service.stop();
    reports.report(at("e2", 30));
    ASSERT_TRUE(settled(reports));
    EXPECT_EQ(kept(), (QStringList { u"e2@30"_qs, u"e1@14"_qs })) << "offline";
}

TEST_F(Reports, APositionRedirectedToAnotherServerIsKeptAndSentAgainToTheService)
{
    ServiceDouble elsewhere;
    ASSERT_TRUE(elsewhere.start());
    service.on("POST", "user/history",
        { ScriptedAnswer::empty(307).withHeader(
              "Location", elsewhere.url(u"user/history"_qs).toEncoded()),
            ScriptedAnswer::envelope(QJsonObject {}) });
    ProgressReports &reports = signedIn().progressReports();
    reports.report(at("e1", 14));
    ASSERT_TRUE(settled(reports));
    EXPECT_EQ(kept(), QStringList { u"e1@14"_qs }) << "as if the network had lost it";

    reports.report(at("e2", 30));
    ASSERT_TRUE(waitUntil([&] { return posted().size() == 3 && reports.inFlight() == 0; }));
    EXPECT_EQ(posted(), (QStringList { u"e1@14"_qs, u"e2@30"_qs, u"e1@14"_qs }));
    EXPECT_TRUE(kept().isEmpty());
    EXPECT_EQ(elsewhere.requestCount(), 0);
}

// A move the client does not follow (a POST's 303) and a connection lost before the answer leave
// the service's part unknown: the position is kept, and goes again once, later.
TEST_F(Reports, APositionMovedAsAGetOrLostBeforeItsAnswerIsKeptAndSentOnceAgain)
{
    const QByteArray moved = service.url(u"user/history-moved"_qs).toEncoded();
    service.on("POST", "user/history",
        { ScriptedAnswer::empty(303).withHeader("Location", moved), ScriptedAnswer::dropped(),
            ScriptedAnswer::envelope(QJsonObject {}) });
    ProgressReports &reports = signedIn().progressReports();
    for (const char *episode : { "e1", "e2" }) {
        reports.report(at(episode, 10));
        ASSERT_TRUE(settled(reports));
    }
    EXPECT_EQ(kept(), (QStringList { u"e2@10"_qs, u"e1@10"_qs }));
    reports.report(at("e3", 10));
    ASSERT_TRUE(waitUntil([&] { return posted().size() == 5 && reports.inFlight() == 0; }));
    EXPECT_EQ(posted(),
        (QStringList { u"e1@10"_qs, u"e2@10"_qs, u"e3@10"_qs, u"e2@10"_qs, u"e1@10"_qs }));
    EXPECT_TRUE(kept().isEmpty());
    EXPECT_TRUE(service.requests("*", "user/history-moved").isEmpty());
}

TEST_F(Reports, SettlingWaitsABoundedTimeAndKeepsWhatIsStillOnItsWay)
{
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}).withDelay(100ms));
    ProgressReports &reports = signedIn().progressReports();
    reports.report(at("e1", 14));
    runTask(reports.settle(2s), 1s);
    EXPECT_EQ(reports.inFlight(), 0) << "the answer came within the bound";
    EXPECT_TRUE(kept().isEmpty());

    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}).withDelay(10s));
    reports.report(at("e2", 20));
    bool done = false;
    auto settling = [&]() -> QCoro::Task<> {
        co_await reports.settle(2s);
        done = true;
    };
    auto task = settling();
    ASSERT_TRUE(service.waitForRequests("POST", "user/history", 2));
    clock.advance(1900ms);
    spinFor(20ms);
    EXPECT_FALSE(done);
    clock.advance(100ms);
    ASSERT_TRUE(waitUntil([&] { return done; }));
    EXPECT_EQ(kept(), QStringList { u"e2@20"_qs }) << "no answer within the bound";
}

TEST_F(Reports, KeptPositionsBelongToTheViewerSignedIn)
{
    service.on("POST", "user/history", ScriptedAnswer::error(500, u"Down"_qs).withDelay(200ms));
    service.on("DELETE", "tv/device", ScriptedAnswer::envelope(QJsonObject {}));
    AppModel &app = signedIn();
    ProgressReports &reports = app.progressReports();
    KeptPositions::stored().store({ at("e9", 60) });
    reports.report(at("e1", 14));
    runTask(app.signOut());
    EXPECT_FALSE(QSettings().contains(KeptPositions::settingsKey)) << "cleared at sign-out";
    ASSERT_TRUE(settled(reports));
    EXPECT_TRUE(kept().isEmpty()) << "a failure after sign-out belongs to nobody";

    reports.report(at("e2", 30));
    EXPECT_EQ(reports.inFlight(), 0) << "a guest's position stays here";
    EXPECT_EQ(LocalHistoryStore::load().size(), 1);
    EXPECT_TRUE(kept().isEmpty());
}

} // namespace
} // namespace orvella::test

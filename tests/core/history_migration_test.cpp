#include "AppModelHarness.h"
#include "core/LocalHistory.h"

namespace orvella::test {
namespace {

using Migration = AppModelHarness;

LocalHistoryEntry entry(const QString &episode, qint64 updatedAt, qint64 position = 10)
{
    return { episode, std::nullopt, std::nullopt, std::nullopt, position, 100, updatedAt };
}

QStringList postedEpisodes(const ServiceDouble &service)
{
    QStringList episodes;
    for (const RecordedRequest &request : service.requests("POST", "user/history"))
        episodes.append(request.json().object().value("episode_id").toString());
    return episodes;
}

TEST_F(Migration, NothingStoredSendsNothing)
{
    runTask(LocalHistoryStore::migrateToServer(*client));
    EXPECT_EQ(service.requestCount(), 0);
    EXPECT_FALSE(QSettings().contains("local.history"));
}

TEST_F(Migration, UnreadableHistoryIsRemovedWithoutRequests)
{
    QSettings().setValue("local.history", QByteArray("[{\"episodeId\":1}]"));
    runTask(LocalHistoryStore::migrateToServer(*client));
    EXPECT_EQ(service.requestCount(), 0);
    EXPECT_FALSE(QSettings().contains("local.history"));
}

TEST_F(Migration, TheTwentyNewestArePostedNewestFirstAndOlderOnesWait)
{
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    client->setAccessToken(QStringLiteral("tok"));
    QList<LocalHistoryEntry> stored;
    for (int i = 0; i < 25; ++i)
        stored.append(entry(QStringLiteral("e%1").arg(i), 1000 + i, i));
    LocalHistoryStore::store(stored);
    runTask(LocalHistoryStore::migrateToServer(*client));

    QStringList expected;
    for (int i = 24; i >= 5; --i)
        expected.append(QStringLiteral("e%1").arg(i));
    EXPECT_EQ(postedEpisodes(service), expected);
    const RecordedRequest first = service.requests().first();
    EXPECT_EQ(first.header("Authorization"), "Bearer tok");
    const QJsonObject body = first.json().object();
    EXPECT_EQ(body.value("position").toInteger(), 24);
    EXPECT_EQ(body.value("duration").toInteger(), 100);
    EXPECT_TRUE(body.value("position").isDouble());

    // The five older entries were never offered: they stay for a later upload.
    const auto left = LocalHistoryStore::load();
    ASSERT_EQ(left.size(), 5);
    EXPECT_EQ(left.first().episodeId, "e4");
    EXPECT_EQ(left.last().episodeId, "e0");
}

TEST_F(Migration, OnlyTheNewestEntryOfAnEpisodeIsPostedAndAllOfItsEntriesGo)
{
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    LocalHistoryStore::store({ entry("a", 9, 90), entry("b", 7), entry("a", 5, 50) });
    runTask(LocalHistoryStore::migrateToServer(*client));
    EXPECT_EQ(postedEpisodes(service), (QStringList { "a", "b" }));
    EXPECT_EQ(service.requests().first().json().object().value("position").toInteger(), 90);
    EXPECT_FALSE(QSettings().contains("local.history"));
}

TEST_F(Migration, AFailedPostKeepsThatEpisodeAndTheOthersGoOn)
{
    service.handle("POST", "user/history", [](const RecordedRequest &request) {
        return request.json().object().value("episode_id").toString() == "b"
            ? ScriptedAnswer::error(500, "busy")
            : ScriptedAnswer::envelope(QJsonObject {});
    });
    LocalHistoryStore::store({ entry("a", 9), entry("b", 8), entry("b", 3), entry("c", 7) });
    runTask(LocalHistoryStore::migrateToServer(*client));
    EXPECT_EQ(postedEpisodes(service), (QStringList { "a", "b", "c" }));
    const auto left = LocalHistoryStore::load();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left[0], entry("b", 8));
    EXPECT_EQ(left[1], entry("b", 3));
}

TEST_F(Migration, OfflineNothingIsLost)
{
    const QList<LocalHistoryEntry> stored { entry("a", 9), entry("b", 8) };
    LocalHistoryStore::store(stored);
    service.stop();
    runTask(LocalHistoryStore::migrateToServer(*client));
    EXPECT_EQ(LocalHistoryStore::load(), stored);
}

} // namespace
} // namespace orvella::test

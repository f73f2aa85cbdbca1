#include "core/LocalHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

using orvella::LocalHistoryEntry;
namespace Store = orvella::LocalHistoryStore;

class LocalHistoryTest : public ::testing::Test
{
protected:
    void SetUp() override { QSettings().remove("local.history"); }
    void TearDown() override { QSettings().remove("local.history"); }

    static void storeRaw(const QByteArray &json) { QSettings().setValue("local.history", json); }
};

TEST_F(LocalHistoryTest, NothingStoredReadsEmpty)
{
    EXPECT_TRUE(Store::load().isEmpty());
}

TEST_F(LocalHistoryTest, NewestFirstAndStableOnEqualTimes)
{
    storeRaw(R"([{"episodeId":"old","position":1,"duration":2,"updatedAt":5},
                 {"episodeId":"A","position":1,"duration":2,"updatedAt":9},
                 {"episodeId":"B","position":1,"duration":2,"updatedAt":9}])");
    const auto entries = Store::load();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].episodeId, "A");
    EXPECT_EQ(entries[1].episodeId, "B");
    EXPECT_EQ(entries[2].episodeId, "old");
}

TEST_F(LocalHistoryTest, OneBadEntryDiscardsTheWholeDocumentButNothingIsDeleted)
{
    const QByteArray cases[] = {
        R"([{"episodeId":"a","position":1,"duration":2,"updatedAt":3},
            {"episodeId":"b","position":1,"updatedAt":3}])", // no duration
        R"([{"episodeId":7,"position":1,"duration":2,"updatedAt":3}])", // id not text
        R"([{"episodeId":"a","position":1.5,"duration":2,"updatedAt":3}])",
        R"([{"episodeId":"a","position":"1","duration":2,"updatedAt":3}])",
        R"([{"episodeId":"a","title":5,"position":1,"duration":2,"updatedAt":3}])",
        R"({"episodeId":"a","position":1,"duration":2,"updatedAt":3})",
        R"([1])",
        "not json",
    };
    for (const QByteArray &json : cases) {
        SCOPED_TRACE(json.toStdString());
        storeRaw(json);
        EXPECT_TRUE(Store::load().isEmpty());
        EXPECT_EQ(QSettings().value("local.history").toByteArray(), json);
    }
}

TEST_F(LocalHistoryTest, OptionalTextsMayBeNullOrAbsentAndAreLeftOutWhenWritten)
{
    storeRaw(R"([{"episodeId":"e1","title":null,"programTitle":"P","image":"http://i/x.jpg",
                  "position":30,"duration":120,"updatedAt":1700000000,"extra":true}])");
    const auto entries = Store::load();
    ASSERT_EQ(entries.size(), 1);
    const LocalHistoryEntry &e = entries[0];
    EXPECT_EQ(e.episodeId, "e1");
    EXPECT_FALSE(e.title);
    EXPECT_EQ(e.programTitle, "P");
    EXPECT_EQ(e.image, "http://i/x.jpg");
    EXPECT_EQ(e.position, 30);
    EXPECT_EQ(e.duration, 120);
    EXPECT_EQ(e.updatedAt, 1700000000);

    const QJsonObject written
        = QJsonDocument::fromJson(Store::encode(entries)).array().first().toObject();
    EXPECT_EQ(written.keys(),
        (QStringList {
            "duration", "episodeId", "image", "position", "programTitle", "updatedAt" }));
    EXPECT_TRUE(written.value("position").isDouble());
    EXPECT_EQ(Store::decode(Store::encode(entries)), entries);
}

TEST_F(LocalHistoryTest, StoreKeepsTheGivenOrderAsBytesAndRemovesTheKeyWhenEmpty)
{
    const QList<LocalHistoryEntry> entries { { "a", "T", std::nullopt, std::nullopt, 1, 2, 3 },
        { "b", std::nullopt, std::nullopt, std::nullopt, 4, 5, 6 } };
    Store::store(entries);
    const QVariant stored = QSettings().value("local.history");
    EXPECT_EQ(stored.typeId(), QMetaType::QByteArray);
    EXPECT_EQ(Store::decode(stored.toByteArray()), entries);
    Store::store({});
    EXPECT_FALSE(QSettings().contains("local.history"));
}

} // namespace

#include "app/Application.h"
#include "screens/programs/EpisodeGridRows.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodeText.h"
#include "support/TestAsync.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace orvella::test {
namespace {

using namespace episodes;

EpisodeSummary episode(const QString &id, std::optional<QString> title = {},
    std::optional<QString> name = {}, std::optional<qint64> duration = {})
{
    EpisodeSummary e;
    e.id.stringValue = id;
    e.title = std::move(title);
    e.name = std::move(name);
    e.duration = duration;
    return e;
}

QList<EpisodeSummary> playlist(const QStringList &ids)
{
    QList<EpisodeSummary> list;
    for (const QString &id : ids)
        list.append(episode(id));
    return list;
}

TEST(EpisodeText, DisplayTitleFallsBackAndDecodesOnce)
{
    const struct
    {
        std::optional<QString> title, name;
        QString expected;
    } cases[] = {
        { u"Grace"_qs, u"Name"_qs, u"Grace"_qs },
        { QString(), u"Name"_qs, QString() }, // an empty title stays
        { std::nullopt, u"Name"_qs, u"Name"_qs },
        { std::nullopt, std::nullopt, u"Episode"_qs },
        { u"Faith &amp; Works &#039;24"_qs, {}, u"Faith & Works '24"_qs },
        { u"&amp;quot;"_qs, {}, u"&quot;"_qs }, // encoded twice: one level decoded
        { u"&amp;#039;"_qs, {}, u"&#039;"_qs },
        { u"Say &quot;Amen&quot;"_qs, {}, u"Say \"Amen\""_qs },
    };
    for (const auto &c : cases)
        EXPECT_EQ(displayTitle(c.title, c.name), c.expected) << c.expected.toStdString();
}

TEST(EpisodeText, ClockTexts)
{
    const struct
    {
        double seconds;
        QString duration, time;
    } cases[] = {
        { 0, u"0:00"_qs, u"0:00"_qs },
        { 59, u"0:59"_qs, u"0:59"_qs },
        { 59.9, u"0:59"_qs, u"0:59"_qs },
        { 754, u"12:34"_qs, u"12:34"_qs },
        { 3599, u"59:59"_qs, u"59:59"_qs },
        { 3600, u"1:00:00"_qs, u"1:00:00"_qs },
        { 5025.4, u"1:23:45"_qs, u"1:23:45"_qs },
        { 360000, u"100:00:00"_qs, u"100:00:00"_qs },
        { -5, u"0:00"_qs, u"0:00"_qs },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatDuration(qint64(c.seconds)), c.duration) << c.seconds;
        EXPECT_EQ(formatTime(c.seconds), c.time) << c.seconds;
    }
    EXPECT_EQ(badgeText(std::nullopt), QString());
    EXPECT_EQ(badgeText(0), QString());
    EXPECT_EQ(badgeText(-3), QString());
    EXPECT_EQ(badgeText(1), u"0:01"_qs);
}

TEST(EpisodeText, WholeSecondsOfOddValuesAreZero)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double in;
        qint64 out;
    } cases[] = { { 125.9, 125 }, { -3.7, -3 }, { std::nan(""), 0 }, { inf, 0 }, { -inf, 0 },
        { 1e19, 0 }, { -1e19, 0 }, { 9.2e18, 9'200'000'000'000'000'000 } };
    for (const auto &c : cases)
        EXPECT_EQ(wholeSeconds(c.in), c.out) << c.in;
    EXPECT_EQ(formatTime(std::nan("")), u"0:00"_qs);
    EXPECT_EQ(formatTime(inf), u"0:00"_qs);
}

TEST(EpisodeText, RowsChunkInOrder)
{
    const struct
    {
        qsizetype count;
        int columns;
        QList<RowSpan> rows;
    } cases[] = {
        { 0, 4, {} },
        { 5, 4, { { 0, 4 }, { 4, 5 } } },
        { 8, 4, { { 0, 4 }, { 4, 8 } } },
        { 3, 1, { { 0, 1 }, { 1, 2 }, { 2, 3 } } },
        { 2, 0, { { 0, 1 }, { 1, 2 } } }, // below 1 counts as 1
        { 2, -4, { { 0, 1 }, { 1, 2 } } },
    };
    for (const auto &c : cases)
        EXPECT_EQ(chunkRows(c.count, c.columns), c.rows) << c.count << " in " << c.columns;
}

TEST(EpisodeText, NextEpisodeWrapsAndPassesOverUnusableEntries)
{
    const struct
    {
        QStringList list;
        QString current;
        std::optional<QString> next;
    } cases[] = {
        { { "A", "B", "C" }, "B", "C" },
        { { "A", "B", "C" }, "C", "A" },
        { { "C" }, "C", std::nullopt },
        { { "B" }, "A", "B" }, // not listed: the first entry
        { { "X", "Y" }, "A", "X" },
        { {}, "A", std::nullopt },
        { { "A", "", "  ", "C" }, "A", "C" }, // blank ids cannot be opened
        { { "A", "A", "B" }, "A", "B" }, // the current id again is passed over
        { { "B", "A", "A" }, "A", "B" },
        { { "", "A" }, "A", std::nullopt },
        { { "A", "B", "C" }, " B ", "C" },
    };
    for (const auto &c : cases) {
        const auto next = nextEpisode(playlist(c.list), c.current);
        EXPECT_EQ(next ? std::optional(next->id.stringValue) : std::nullopt, c.next)
            << c.list.join(u',').toStdString() << " after " << c.current.toStdString();
    }
}

TEST(EpisodeListModel, CardsCarryDisplayValuesAndRowsFollowTheList)
{
    EpisodeListModel list;
    EpisodeGridRows rows;
    rows.setSource(&list);
    rows.setColumns(4);
    EXPECT_EQ(rows.rowCount(), 0);

    QList<EpisodeSummary> five;
    for (int i = 0; i < 5; ++i)
        five.append(episode(QString::number(i), u"T&amp;"_qs + QString::number(i), {}, 61 * i));
    five[2].program_title = u"Morning Prayer"_qs;
    list.setEpisodes(five);

    EXPECT_EQ(list.count(), 5);
    const QVariantMap card = list.card(2);
    EXPECT_EQ(card.value("episodeId").toString(), u"2"_qs);
    EXPECT_EQ(card.value("displayTitle").toString(), u"T&2"_qs);
    EXPECT_EQ(card.value("badgeText").toString(), u"2:02"_qs);
    EXPECT_EQ(card.value("programTitle").toString(), u"Morning Prayer"_qs);
    EXPECT_EQ(list.card(0).value("badgeText").toString(), QString());
    EXPECT_TRUE(list.card(5).isEmpty());

    ASSERT_EQ(rows.rowCount(), 2);
    const auto cards
        = [&](int row) { return rows.data(rows.index(row), EpisodeGridRows::CardsRole).toList(); };
    const auto fillers
        = [&](int row) { return rows.data(rows.index(row), EpisodeGridRows::FillersRole).toInt(); };
    EXPECT_EQ(cards(0).size(), 4);
    EXPECT_EQ(fillers(0), 0);
    EXPECT_EQ(cards(1).size(), 1);
    EXPECT_EQ(fillers(1), 3);
    EXPECT_EQ(cards(1).front().toMap().value("row").toInt(), 4);

    // Further episodes after a renamed first one: appended, and the renamed card shows it.
    int resets = 0;
    QObject::connect(&rows, &QAbstractItemModel::modelReset, [&] { ++resets; });
    five[0].title = u"Renamed"_qs;
    five.append(episode(u"5"_qs));
    list.setEpisodes(five);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(fillers(1), 2);
    EXPECT_EQ(cards(0).front().toMap().value("displayTitle").toString(), u"Renamed"_qs);

    rows.setColumns(0);
    EXPECT_EQ(rows.columns(), 1);
    EXPECT_EQ(rows.rowCount(), 6);
    list.setEpisodes({});
    EXPECT_EQ(rows.rowCount(), 0);
}

// The grid laid out by QML: equal slots, fillers on the short last row, rows made lazily.
class EpisodeGridView : public ::testing::Test
{
protected:
    std::unique_ptr<QQuickItem> create(const char *qml)
    {
        prepareEngine(engine);
        QQmlComponent component(&engine);
        component.setData(qml, QUrl(QStringLiteral("qrc:/test/Grid.qml")));
        EXPECT_TRUE(component.isReady()) << component.errorString().toStdString();
        std::unique_ptr<QQuickItem> item(qobject_cast<QQuickItem *>(component.create()));
        if (item)
            item->setParentItem(window.contentItem());
        window.resize(1000, 700);
        window.show();
        return item;
    }

    QQuickWindow window;
    QQmlEngine engine;
};

// The visual descendants of `root` whose QML type is `type`.
QList<QQuickItem *> itemsOfType(QQuickItem *root, const char *type)
{
    QList<QQuickItem *> found;
    for (QQuickItem *item : root->childItems()) {
        if (QByteArray(item->metaObject()->className()).startsWith(type))
            found.append(item);
        found.append(itemsOfType(item, type));
    }
    return found;
}

QList<QQuickItem *> cardsIn(QQuickItem *root)
{
    return itemsOfType(root, "EpisodeListingCard");
}

TEST_F(EpisodeGridView, ShortLastRowLinesUpAndRowsAreBuiltLazily)
{
    EpisodeListModel list;
    QList<EpisodeSummary> five;
    for (int i = 0; i < 5; ++i)
        five.append(episode(QString::number(i), u"Episode %1"_qs.arg(i)));
    list.setEpisodes(five);

    auto grid = create("import QtQuick\nimport Orvella\n"
                       "UniformEpisodeGrid { width: 1000; height: 700; leftMargin: 28;"
                       " rightMargin: 28; columns: 4; property string chosen;"
                       " onSelected: (row, id) => chosen = row + '/' + id }");
    ASSERT_TRUE(grid);
    grid->setProperty("episodes", QVariant::fromValue(&list));
    spinFor(std::chrono::milliseconds(50));

    const QList<QQuickItem *> cards = cardsIn(grid.get());
    ASSERT_EQ(cards.size(), 5);
    const double slot = (1000 - 56 - 3 * 16) / 4.0;
    for (QQuickItem *card : cards)
        EXPECT_DOUBLE_EQ(card->width(), slot);
    const QQuickItem *lone = cards.back();
    EXPECT_EQ(lone->property("episodeId").toString(), u"4"_qs);
    EXPECT_DOUBLE_EQ(lone->mapToItem(grid.get(), QPointF()).x(),
        cards.front()->mapToItem(grid.get(), QPointF()).x());
    EXPECT_DOUBLE_EQ(lone->height(), cards.front()->height());
    QMetaObject::invokeMethod(cards.back(), "clicked");
    EXPECT_EQ(grid->property("chosen").toString(), u"4/4"_qs);

    // Further pages: the short row fills, rows follow, the view keeps its place and its cards.
    QList<EpisodeSummary> many = five;
    for (int i = 5; i < 100; ++i)
        many.append(episode(QString::number(i)));
    list.setEpisodes(many);
    spinFor(std::chrono::milliseconds(50));
    const auto at = [&](const QString &id) {
        for (QQuickItem *card : cardsIn(grid.get())) {
            if (card->property("episodeId").toString() == id)
                return card->mapToItem(grid.get(), QPointF());
        }
        return QPointF(-1, -1);
    };
    EXPECT_DOUBLE_EQ(at(u"7"_qs).y(), at(u"4"_qs).y());
    EXPECT_DOUBLE_EQ(at(u"7"_qs).x(), at(u"3"_qs).x());
    grid->setProperty("contentY", 2000);
    for (int i = 100; i < 800; ++i)
        many.append(episode(QString::number(i)));
    list.setEpisodes(many);
    spinFor(std::chrono::milliseconds(50));
    EXPECT_DOUBLE_EQ(grid->property("contentY").toDouble(), 2000);
    const auto built = cardsIn(grid.get()).size();
    EXPECT_GT(built, 4);
    EXPECT_LT(built, 100) << "only rows near the view are made";
}

TEST_F(EpisodeGridView, SkeletonMakesThreeFullRowsWhateverItIsGiven)
{
    auto skeleton = create("import QtQuick\nimport Orvella\n"
                           "EpisodeGridSkeleton { width: 800; columns: 4; gridColumns: [1, 2] }");
    ASSERT_TRUE(skeleton);
    spinFor(std::chrono::milliseconds(20));
    EXPECT_EQ(itemsOfType(skeleton.get(), "ThumbnailShimmer").size(), 12);
    skeleton->setProperty("columns", 0);
    spinFor(std::chrono::milliseconds(20));
    EXPECT_EQ(itemsOfType(skeleton.get(), "ThumbnailShimmer").size(), 3);
}

} // namespace
} // namespace orvella::test

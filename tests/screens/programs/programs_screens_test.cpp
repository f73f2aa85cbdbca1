#include "ProgramsHarness.h"
#include "api/AnswerDecoding.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/ProgramDetailModel.h"
#include "screens/programs/ProgramsScreenModel.h"
#include "screens/programs/SearchScreenModel.h"
#include "support/GuiBlockMeter.h"
#include "support/ScreenView.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

using ProgramsScreens = ProgramsHarness;

QJsonObject programsPage(int count)
{
    QJsonArray programs;
    for (int i = 1; i <= count; ++i)
        programs.append(
            QJsonObject { { "id", i }, { "title", QStringLiteral("Program %1").arg(i) } });
    return { { "programs", programs } };
}

// Programmes grid.

TEST_F(ProgramsScreens, ProgramsLoadFromCacheRefreshOrDirectFetch)
{
    const struct
    {
        const char *name;
        QList<ScriptedAnswer> answers; // served in order to GET programs
        bool cached;
        int shown;
        bool error;
        int requests;
    } cases[] = {
        { "cache shown, nothing fetched", { ScriptedAnswer::envelope(programsPage(2)) }, true, 2,
            false, 0 },
        { "empty cache refreshed", { ScriptedAnswer::envelope(programsPage(3)) }, false, 3, false,
            1 },
        { "refresh fails, direct fetch succeeds empty",
            { ScriptedAnswer::error(500, u"Down"_qs), ScriptedAnswer::envelope(programsPage(0)) },
            false, 0, false, 2 },
        { "both fail: error line",
            { ScriptedAnswer::error(500, u"Down"_qs),
                ScriptedAnswer::error(503, u"Still down"_qs) },
            false, 0, true, 2 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.clearScripts();
        service.on("GET", "programs", ScriptedAnswer::envelope(programsPage(2)));
        AppModel &app = signedIn();
        if (c.cached)
            runTask(app.refreshProgramsCache(true));
        service.on("GET", "programs", c.answers);
        service.clearRequests();
        auto &screen = make<ProgramsScreenModel>(app);
        EXPECT_TRUE(screen.showsSkeleton()) << "first frame before the load decides";
        runTask(screen.load(false));
        EXPECT_EQ(screen.programs().size(), c.shown);
        EXPECT_FALSE(screen.loading());
        EXPECT_EQ(screen.showsError(), c.error);
        if (c.error) {
            EXPECT_EQ(screen.errorText(), u"Still down"_qs);
        }
        EXPECT_EQ(service.requests("GET", "programs").size(), c.requests);
        models.clear();
    }
}

TEST_F(ProgramsScreens, ARefreshSupersedesTheLoadBeforeIt)
{
    service.on("GET", "programs",
        { ScriptedAnswer::envelope(programsPage(1)).withDelay(400ms),
            ScriptedAnswer::envelope(programsPage(4)) });
    AppModel &app = signedIn();
    auto &screen = make<ProgramsScreenModel>(app);
    screen.appear();
    ASSERT_TRUE(service.waitForRequests("GET", "programs", 1));
    runTask(screen.load(true));
    EXPECT_EQ(screen.programs().size(), 4);
    spinFor(600ms);
    EXPECT_EQ(screen.programs().size(), 4) << "the superseded answer never lands";
}

// Programme detail.

TEST_F(ProgramsScreens, DetailFetchesMorePagesOnlyAfterAFullFirstPage)
{
    const struct
    {
        int firstPage;
        int requests;
        int shown;
    } cases[] = { { 99, 1, 99 }, { 100, 9, 250 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.firstPage);
        service.clearScripts();
        service.clearRequests();
        service.handle("GET", "programs/7", [&](const RecordedRequest &request) {
            const int page = request.queryValue(u"page"_qs).toInt();
            const int count = page == 1 ? c.firstPage : page == 2 ? 100 : page == 3 ? 50 : 0;
            return ScriptedAnswer::envelope(programAnswer(episodeList(page * 1000, count)));
        });
        AppModel &app = signedIn();
        auto &detail = make<ProgramDetailModel>(app);
        detail.setProgramId(u"7"_qs);
        EXPECT_TRUE(detail.showsSkeleton());
        EXPECT_EQ(detail.bannerTitle(), u"Loading…"_qs);
        runTask(detail.load(false));
        EXPECT_EQ(service.requests("GET", "programs/7").size(), c.requests);
        EXPECT_EQ(detail.episodes()->count(), c.shown);
        EXPECT_FALSE(detail.loadingMore());
        EXPECT_EQ(detail.bannerTitle(), u"Healing"_qs);
        EXPECT_EQ(detail.videosText(), QStringLiteral("%1 videos").arg(c.shown));
        EXPECT_TRUE(detail.errorText().isEmpty());
        models.clear();
    }
}

TEST_F(ProgramsScreens, DetailFailuresEmptyAnswersAndRefreshMidFetch)
{
    // The second fetch fails: the first page stays under the error line.
    service.on("GET", "programs/7",
        { ScriptedAnswer::envelope(programAnswer(episodeList(1, 100))),
            ScriptedAnswer::error(500, u"Pages down"_qs) });
    AppModel &app = signedIn();
    auto &detail = make<ProgramDetailModel>(app);
    detail.setProgramId(u"7"_qs);
    runTask(detail.load(false));
    EXPECT_EQ(detail.episodes()->count(), 100);
    EXPECT_EQ(detail.errorText(), u"Pages down"_qs);
    EXPECT_FALSE(detail.loadingMore());

    // No episodes: the notice; no programme: "Program".
    service.on("GET", "programs/8",
        ScriptedAnswer::envelope(QJsonObject { { "episodes", QJsonArray {} } }));
    auto &empty = make<ProgramDetailModel>(app);
    empty.setProgramId(u"8"_qs);
    runTask(empty.load(false));
    EXPECT_EQ(empty.errorText(), u"No episodes were returned for this program."_qs);
    EXPECT_EQ(empty.bannerTitle(), u"Program"_qs);

    // A Refresh while the 8-page fetch runs: only the refresh writes.
    service.clearScripts();
    service.handle("GET", "programs/9", [&](const RecordedRequest &request) {
        const int page = request.queryValue(u"page"_qs).toInt();
        const bool slow = service.requests("GET", "programs/9").size() == 2;
        ScriptedAnswer answer = ScriptedAnswer::envelope(programAnswer(episodeList(page * 1000,
            page == 1  ? 100
                : slow ? 100
                       : 0)));
        return slow ? answer.withDelay(500ms) : answer;
    });
    auto &refreshed = make<ProgramDetailModel>(app);
    refreshed.setProgramId(u"9"_qs);
    refreshed.appear();
    ASSERT_TRUE(waitUntil([&] { return refreshed.loadingMore(); }));
    refreshed.refresh();
    EXPECT_EQ(refreshed.episodes()->count(), 0) << "Refresh empties the grid at once";
    EXPECT_TRUE(refreshed.showsSkeleton());
    ASSERT_TRUE(waitUntil([&] { return !refreshed.loading() && !refreshed.loadingMore(); }));
    spinFor(700ms);
    EXPECT_EQ(refreshed.episodes()->count(), 100) << "the superseded 200-episode list never lands";
    EXPECT_TRUE(refreshed.errorText().isEmpty()) << "a cancelled fetch is no error";
}

// Search.

TEST_F(ProgramsScreens, SearchSendsOneTrimmedRequestAfterTheQuietAndKeepsHitsOnFailure)
{
    service.on("GET", "episodes/search",
        { ScriptedAnswer::envelope(QJsonObject { { "results",
              QJsonArray { QJsonObject { { "kind", "episode" }, { "id", 4 }, { "title", "Grace" },
                               { "program_title", "Morning Prayer" } },
                  QJsonObject { { "kind", "PROGRAM" }, { "id", 7 } } } } }),
            ScriptedAnswer::error(500, u"Search down"_qs) });
    AppModel &app = signedIn();
    auto &search = make<SearchScreenModel>(app);
    search.setClock(&clock);

    for (const QString &typed :
        { u"  g"_qs, u"  gr"_qs, u"  gra"_qs, u"  grac"_qs, u"  grace "_qs }) {
        search.setQuery(typed);
        advance(300ms);
    }
    EXPECT_EQ(service.requests("GET", "episodes/search").size(), 0);
    advance(300ms);
    ASSERT_TRUE(waitUntil([&] { return search.results().size() == 2; }));
    const auto sent = service.requests("GET", "episodes/search");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent.front().queryValue(u"q"_qs), u"grace"_qs);
    EXPECT_EQ(sent.front().queryValue(u"page"_qs), u"1"_qs);
    EXPECT_EQ(SearchScreenModel::kindLine(search.results()[0]), u"Episode · Morning Prayer"_qs);
    EXPECT_EQ(search.resultRows()[1].toMap().value("title").toString(), u"Result"_qs);
    search.open(1);
    EXPECT_EQ(app.route(), MacRoute::ProgramDetail);
    EXPECT_EQ(app.selectedProgramId(), u"7"_qs);

    search.setQuery(u"faith"_qs);
    advance(600ms);
    ASSERT_TRUE(waitUntil([&] { return !search.errorText().isEmpty(); }));
    EXPECT_EQ(search.errorText(), u"Search down"_qs);
    EXPECT_EQ(search.results().size(), 2) << "hits stay under the error line";

    // One grapheme (a flag is two code points pairs) sends nothing and keeps the error line.
    search.setQuery(u" \U0001F1EC\U0001F1E7 "_qs);
    advance(600ms);
    EXPECT_EQ(service.requests("GET", "episodes/search").size(), 2);
    EXPECT_TRUE(search.results().isEmpty());
    EXPECT_EQ(search.errorText(), u"Search down"_qs);
}

TEST_F(ProgramsScreens, OnlyTheLatestSearchLandsAndCancellationIsNoError)
{
    service.handle("GET", "episodes/search", [](const RecordedRequest &request) {
        const QString q = request.queryValue(u"q"_qs);
        const QJsonObject data { { "results",
            QJsonArray { QJsonObject { { "kind", "episode" }, { "id", q }, { "title", q } } } } };
        // The older query answers last.
        return ScriptedAnswer::envelope(data).withDelay(q == u"first" ? 400ms : 0ms);
    });
    AppModel &app = signedIn();
    auto &search = make<SearchScreenModel>(app);
    search.setClock(&clock);
    search.setQuery(u"first"_qs);
    advance(600ms);
    ASSERT_TRUE(service.waitForRequests("GET", "episodes/search", 1));
    search.setQuery(u"second"_qs);
    advance(600ms);
    ASSERT_TRUE(waitUntil([&] { return !search.results().isEmpty(); }));
    spinFor(600ms);
    ASSERT_EQ(search.results().size(), 1);
    EXPECT_EQ(search.results()[0].idValue.stringValue, u"second"_qs);
    EXPECT_TRUE(search.errorText().isEmpty());
}

// The screens' views: they build without QML warnings and show what their models decide.

class ProgramsViews : public ProgramsScreens
{
protected:
    void TearDown() override
    {
        view.close();
        ProgramsScreens::TearDown();
    }

    QQuickItem *child(const char *name) const { return view.child(QString::fromLatin1(name)); }
    // The visible items of one QML type under `from` (the screen by default).
    QList<QQuickItem *> shown(const char *type, QQuickItem *from = nullptr) const
    {
        QList<QQuickItem *> found;
        for (QQuickItem *item : (from ? from : view.screen())->childItems()) {
            if (!item->isVisible())
                continue;
            if (QByteArray(item->metaObject()->className()).startsWith(type))
                found.append(item);
            found.append(shown(type, item));
        }
        return found;
    }

    ScreenView view { u"screens/programs"_qs };
};

TEST_F(ProgramsViews, ProgramsErrorThenCardsThatOpenTheDetail)
{
    service.on("GET", "programs",
        { ScriptedAnswer::error(500, u"Down"_qs), ScriptedAnswer::error(503, u"Still down"_qs),
            ScriptedAnswer::envelope(programsPage(5)) });
    AppModel &app = signedIn();
    ASSERT_TRUE(view.show(app, u"ProgramsScreen.qml"_qs));
    ASSERT_TRUE(waitUntil([&] { return child("programsError")->isVisible(); }));
    EXPECT_FALSE(child("programsGrid")->isVisible());
    QQuickItem *refresh = child("programsRefresh");
    ASSERT_TRUE(refresh->isEnabled());
    QMetaObject::invokeMethod(refresh, "clicked");
    ASSERT_TRUE(waitUntil([&] { return shown("ProgramCard").size() == 5; }));
    EXPECT_FALSE(child("programsError")->isVisible());
    QMetaObject::invokeMethod(shown("ProgramCard").at(4), "clicked");
    EXPECT_EQ(app.selectedProgramId(), u"5"_qs);
    EXPECT_EQ(app.route(), MacRoute::ProgramDetail);
}

// A programmes answer past what the client keeps: Programs lists its first programmes, and the
// GUI thread keeps turning while the answer is taken in and the cards are made.
TEST_F(ProgramsViews, AProgrammesAnswerPastItsBoundListsItsFirstProgrammes)
{
    service.on("GET", "programs",
        ScriptedAnswer::envelope(programsPage(int(programsKept) + 1)).withDelay(100ms));
    AppModel &app = signedIn();
    ASSERT_TRUE(view.show(app, u"ProgramsScreen.qml"_qs));
    GuiBlockMeter meter;
    auto *screen = view.screen()->findChild<ProgramsScreenModel *>(u"programsScreenModel"_qs);
    ASSERT_TRUE(waitUntil([&] { return !shown("ProgramCard").isEmpty(); }));
    EXPECT_LT(meter.longestMs(), 500.0);
    ASSERT_EQ(screen->programs().size(), programsKept);
    EXPECT_EQ(screen->programs().last().id.stringValue, QString::number(programsKept));
    EXPECT_EQ(app.programsCache().size(), programsKept);
    EXPECT_EQ(child("programsGrid")->property("count").toInt(), programsKept / 4);
    EXPECT_EQ(service.requests("GET", "programs").size(), 1);
}

TEST_F(ProgramsViews, DetailShowsThePlaceholderThenTheBannerAndCards)
{
    service.on("GET", "programs/7",
        ScriptedAnswer::envelope(programAnswer(episodeList(1, 5))).withDelay(200ms));
    AppModel &app = signedIn();
    ASSERT_TRUE(
        view.show(app, u"ProgramDetailScreen.qml"_qs, { 1024, 640 }, { { "programId", u"7"_qs } }));
    EXPECT_TRUE(child("programSkeleton")->isVisible());
    ASSERT_TRUE(waitUntil([&] { return shown("EpisodeListingCard").size() == 5; }));
    EXPECT_FALSE(child("programSkeleton")->isVisible());
    EXPECT_EQ(child("bannerTitle")->property("text").toString(), u"Healing"_qs);
    EXPECT_EQ(child("programVideos")->property("text").toString(), u"5 videos"_qs);
    QMetaObject::invokeMethod(shown("EpisodeListingCard").at(4), "clicked");
    EXPECT_EQ(app.selectedEpisodeId(), u"5"_qs);
}

TEST_F(ProgramsViews, TypedSearchListsHitsUnderTheErrorLine)
{
    service.on("GET", "episodes/search",
        { ScriptedAnswer::envelope(QJsonObject { { "results",
              QJsonArray { QJsonObject { { "kind", "program" }, { "id", 7 }, { "title", "Gr" } },
                  QJsonObject { { "kind", "episode" }, { "id", 4 } } } } }),
            ScriptedAnswer::error(500, u"Search down"_qs) });
    AppModel &app = signedIn();
    ASSERT_TRUE(view.show(app, u"SearchScreen.qml"_qs));
    child("searchField")->forceActiveFocus();
    view.type(u"gr"_qs);
    ASSERT_TRUE(
        waitUntil([&] { return shown("PlainButton", child("searchResults")).size() == 2; }));
    EXPECT_FALSE(child("searchError")->isVisible());
    view.type(u"a"_qs);
    ASSERT_TRUE(waitUntil([&] { return child("searchError")->isVisible(); }));
    EXPECT_EQ(shown("PlainButton", child("searchResults")).size(), 2);
    QMetaObject::invokeMethod(shown("PlainButton", child("searchResults")).at(1), "clicked");
    EXPECT_EQ(app.selectedEpisodeId(), u"4"_qs);
}

} // namespace
} // namespace orvella::test

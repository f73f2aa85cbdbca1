#include "LibraryHarness.h"
#include "screens/home/KidsZoneLibraryModel.h"
#include "screens/home/TestimoniesLibraryModel.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

using LibraryScreens = LibraryHarness;

// Kids zone.

TEST_F(LibraryScreens, KidsZoneFetchesAllPagesOnlyAfterAFullFirstPage)
{
    const struct
    {
        int firstPage;
        int requests;
        int shown;
    } cases[] = { { 99, 1, 99 }, { 100, 9, 250 } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.firstPage);
        service.clearRequests();
        servePages(
            service, u"programs/79"_qs,
            [&](int page) {
                return page == 1 ? c.firstPage : page == 2 ? 100 : page == 3 ? 50 : 0;
            },
            300ms);
        AppModel &app = signedIn();
        auto &kids = make<KidsZoneLibraryModel>(app);
        EXPECT_TRUE(kids.showsLoading() && kids.showsSkeleton()) << "the first frame";
        kids.appear();
        ASSERT_TRUE(waitUntil([&] { return kids.showsList(); }));
        EXPECT_EQ(kids.videosText(), QStringLiteral("%1 videos").arg(c.firstPage));
        EXPECT_EQ(kids.isLoading(), c.firstPage == 100) << "the full list is on its way";
        ASSERT_TRUE(waitUntil([&] { return !kids.isLoading(); }));
        EXPECT_EQ(service.requests("GET", "programs/79").size(), c.requests);
        EXPECT_EQ(kids.episodes()->count(), c.shown);
        EXPECT_EQ(kids.programTitle(), u"Quillory"_qs);
        EXPECT_TRUE(kids.errorText().isEmpty());
        kids.openEpisode(0);
        EXPECT_EQ(app.selectedEpisodeId(), u"1000"_qs);
        models.clear();
    }
}

TEST_F(LibraryScreens, KidsZoneFailuresAndMissingProgrammeAreShown)
{
    const QJsonObject quillory { { "id", 79 }, { "title", "Quillory" } };
    const struct
    {
        const char *name;
        QList<ScriptedAnswer> answers;
        bool list;
        QString errorText; // the error line
        QString shown; // the error state's text
        int count;
    } cases[] = {
        { "first call fails", { ScriptedAnswer::error(500, u"Down"_qs) }, false, u"Down"_qs,
            u"Down"_qs, 0 },
        { "no programme, no episodes", { programPage({}, QJsonValue::Null) }, false,
            u"Quillory was not found."_qs, u"Quillory was not found."_qs, 0 },
        { "episodes without a programme", { programPage(libraryEpisodes(1, 5), QJsonValue::Null) },
            false, QString(), u"Quillory was not found."_qs, 5 },
        { "a programme without episodes", { programPage({}) }, true,
            u"No episodes were returned for this program."_qs, {}, 0 },
        { "the full list fails: the first page stays under the error line",
            { programPage(libraryEpisodes(1, 100)), ScriptedAnswer::error(503, u"Pages down"_qs) },
            true, u"Pages down"_qs, {}, 100 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.on("GET", "programs/79", c.answers);
        AppModel &app = signedIn();
        auto &kids = make<KidsZoneLibraryModel>(app);
        runTask(kids.load());
        EXPECT_FALSE(kids.isLoading());
        EXPECT_EQ(kids.showsList(), c.list);
        EXPECT_EQ(kids.showsError(), !c.list);
        EXPECT_EQ(kids.errorText(), c.errorText);
        if (!c.list) {
            EXPECT_EQ(kids.unavailableText(), c.shown);
        }
        EXPECT_EQ(kids.videosText(), QStringLiteral("%1 videos").arg(c.count));
        models.clear();
    }
}

TEST_F(LibraryScreens, KidsZoneRetrySupersedesAndOpenQuilloryLeadsToTheProgramme)
{
    QJsonArray blankFirst = libraryEpisodes(10, 4);
    blankFirst.prepend(QJsonObject { { "id", " " } });
    service.on("GET", "programs/79",
        { ScriptedAnswer::error(500, u"Down"_qs),
            programPage(libraryEpisodes(1, 3)).withDelay(400ms), programPage(blankFirst) });
    AppModel &app = signedIn();
    auto &kids = make<KidsZoneLibraryModel>(app);
    runTask(kids.load());
    ASSERT_TRUE(kids.showsError());

    kids.retry();
    EXPECT_TRUE(kids.showsLoading()) << "Retry shows the loading state at once";
    EXPECT_TRUE(kids.errorText().isEmpty());
    ASSERT_TRUE(service.waitForRequests("GET", "programs/79", 2));
    kids.retry();
    ASSERT_TRUE(waitUntil([&] { return kids.showsList() && !kids.isLoading(); }));
    spinFor(600ms);
    EXPECT_EQ(kids.episodes()->count(), 5) << "the superseded answer never lands";

    const MacRoute::Value before = app.route();
    kids.openEpisode(0);
    EXPECT_EQ(app.route(), before) << "a blank episode id opens nothing";
    kids.openProgram();
    EXPECT_EQ(app.selectedProgramId(), u"79"_qs);
    EXPECT_EQ(app.route(), MacRoute::ProgramDetail);
}

// Testimonies library.

TEST_F(LibraryScreens, TestimoniesLookUpTheProgrammeByTitleThenAllItsEpisodes)
{
    QStringList fifty;
    for (int i = 0; i < 50; ++i)
        fifty.append(QStringLiteral("Programme %1").arg(i));
    service.on("GET", "programs",
        { ScriptedAnswer::envelope(programmeList(fifty)),
            ScriptedAnswer::envelope(programmeList(
                { u"Testimonies Live Extra"_qs, u"orvella TESTIMONIES live"_qs }, 200)) });
    const QJsonObject programme { { "id", 201 }, { "title", "Orvella Testimonies Live" } };
    servePages(
        service, u"programs/201"_qs, [](int page) { return page <= 3 ? 100 : 0; }, 300ms,
        programme);
    AppModel &app = signedIn();
    auto &library = make<TestimoniesLibraryModel>(app);
    EXPECT_TRUE(library.showsLoading()) << "the first frame";
    library.appear();
    ASSERT_TRUE(waitUntil([&] { return library.showsList(); }));
    EXPECT_EQ(library.programTitle(), u"orvella TESTIMONIES live"_qs)
        << "the header keeps the programme the look-up found";
    ASSERT_TRUE(waitUntil([&] { return !library.isLoading(); }));
    const auto lookups = service.requests("GET", "programs");
    ASSERT_EQ(lookups.size(), 2);
    EXPECT_EQ(lookups[1].queryValue(u"per_page"_qs), u"50"_qs);
    EXPECT_EQ(service.requests("GET", "programs/201").size(), 8) << "up to 8 pages";
    EXPECT_EQ(library.episodes()->count(), 300);
    EXPECT_TRUE(library.errorText().isEmpty());
    library.openEpisode(299);
    EXPECT_EQ(app.selectedEpisodeId(), u"3099"_qs);
}

TEST_F(LibraryScreens, TestimoniesFailuresNotFoundAndEmptyProgramme)
{
    const ScriptedAnswer found
        = ScriptedAnswer::envelope(programmeList({ u"Orvella Testimonies"_qs }));
    const struct
    {
        const char *name;
        ScriptedAnswer lookup;
        ScriptedAnswer episodes;
        bool list;
        QString errorText;
    } cases[] = {
        { "the look-up fails", ScriptedAnswer::error(502, u"Bad gateway"_qs), programPage({}),
            false, u"Bad gateway"_qs },
        { "no such programme", ScriptedAnswer::envelope(programmeList({ u"Prayer Hour"_qs })),
            programPage({}), false, u"Orvella Testimonies Live was not found."_qs },
        { "the episodes fail", found, ScriptedAnswer::error(500, u"Episodes down"_qs), true,
            u"Episodes down"_qs },
        { "no episodes", found, programPage({}), true,
            u"No episodes were returned for this program."_qs },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.clearRequests();
        service.on("GET", "programs", c.lookup);
        service.on("GET", "programs/1", c.episodes);
        AppModel &app = signedIn();
        auto &library = make<TestimoniesLibraryModel>(app);
        runTask(library.load());
        EXPECT_FALSE(library.isLoading());
        EXPECT_EQ(library.showsList(), c.list);
        EXPECT_EQ(library.showsError(), !c.list);
        EXPECT_EQ(library.errorText(), c.errorText);
        EXPECT_EQ(library.unavailableText(), c.errorText);
        EXPECT_EQ(library.episodes()->count(), 0);
        EXPECT_EQ(service.requests("GET", "programs/1").size(), c.list ? 1 : 0);
        if (c.list) {
            EXPECT_EQ(library.programTitle(), u"Orvella Testimonies"_qs);
        }
        models.clear();
    }
}

// Both pages.

TEST_F(LibraryScreens, APageLeftMidRequestWritesNothing)
{
    service.on("GET", "programs",
        ScriptedAnswer::envelope(programmeList({ u"Orvella Testimonies Live"_qs }))
            .withDelay(300ms));
    service.on("GET", "programs/79", programPage(libraryEpisodes(1, 3)).withDelay(300ms));
    AppModel &app = signedIn();
    auto &kids = make<KidsZoneLibraryModel>(app);
    auto &library = make<TestimoniesLibraryModel>(app);
    kids.appear();
    library.appear();
    ASSERT_TRUE(service.waitForRequests("GET", "programs/79", 1));
    ASSERT_TRUE(service.waitForRequests("GET", "programs", 1));
    kids.disappear();
    library.disappear();
    spinFor(500ms);
    EXPECT_TRUE(kids.showsLoading() && kids.episodes()->count() == 0);
    EXPECT_TRUE(library.showsLoading() && !library.program());
    EXPECT_TRUE(service.requests("GET", "programs/1").isEmpty());

    // Pages destroyed while their requests run.
    make<KidsZoneLibraryModel>(app).appear();
    make<TestimoniesLibraryModel>(app).appear();
    ASSERT_TRUE(service.waitForRequests("GET", "programs/79", 2));
    models.clear();
    spinFor(500ms);
}

} // namespace
} // namespace orvella::test

#include "LibraryHarness.h"
#include "screens/home/KidsZoneLibraryModel.h"
#include "screens/home/TestimoniesLibraryModel.h"

namespace orvella::test {
namespace {

using LibraryScreens = LibraryHarness;

TEST_F(LibraryScreens, KidsZoneFetchesAllPagesOnlyAfterAFullFirstPage)
{
    for (const int first : { 99, 100 }) {
        SCOPED_TRACE(first);
        service.clearRequests();
        servePages(
            service, u"programs/79"_qs,
            [&](int page) {
                return page == 1 ? first : page == 2 ? 100 : page == 3 ? 50 : 0;
            },
            300ms);
        auto &kids = make<KidsZoneLibraryModel>();
        EXPECT_TRUE(kids.showsLoading() && kids.showsSkeleton()) << "the first frame";
        kids.appear();
        ASSERT_TRUE(waitUntil([&] { return kids.showsList(); }));
        EXPECT_EQ(kids.videosText(), QStringLiteral("%1 videos").arg(first));
        EXPECT_EQ(kids.isLoading(), first == 100) << "the full list is on its way";
        ASSERT_TRUE(waitUntil([&] { return !kids.isLoading(); }));
        EXPECT_EQ(service.requests("GET", "programs/79").size(), first == 100 ? 9 : 1);
        EXPECT_EQ(kids.episodes()->count(), first == 100 ? 250 : 99);
        EXPECT_TRUE(kids.errorText().isEmpty());
        kids.openEpisode(0);
        EXPECT_EQ(model->selectedEpisodeId(), u"1000"_qs);
        models.clear();
    }
}

TEST_F(LibraryScreens, KidsZoneFailuresAndMissingProgrammeAreShown)
{
    const QString notFound = u"Quillory was not found."_qs;
    const struct
    {
        QList<ScriptedAnswer> answers;
        bool list;
        QString errorText, shown; // the error line, the error state's text
        int count;
    } cases[] = {
        { { ScriptedAnswer::error(500, u"Down"_qs) }, false, u"Down"_qs, u"Down"_qs, 0 },
        { { programPage({}, QJsonValue::Null) }, false, notFound, notFound, 0 },
        { { programPage(libraryEpisodes(1, 5), QJsonValue::Null) }, false, {}, notFound, 5 },
        { { programPage({}) }, true, u"No episodes were returned for this program."_qs, {}, 0 },
        // The full list fails: the first page stays, under the error line.
        { { programPage(libraryEpisodes(1, 100)), ScriptedAnswer::error(503, u"Pages down"_qs) },
            true, u"Pages down"_qs, {}, 100 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.errorText.toStdString() + " / " + c.shown.toStdString());
        service.on("GET", "programs/79", c.answers);
        auto &kids = make<KidsZoneLibraryModel>();
        runTask(kids.load());
        EXPECT_FALSE(kids.isLoading());
        EXPECT_EQ(kids.showsList(), c.list);
        EXPECT_EQ(kids.showsError(), !c.list);
        EXPECT_EQ(kids.errorText(), c.errorText);
        EXPECT_EQ(kids.unavailableText(), c.list ? c.errorText : c.shown);
        EXPECT_EQ(kids.episodes()->count(), c.count);
    }
}

TEST_F(LibraryScreens, KidsZoneRetrySupersedesAndOpenQuilloryLeadsToTheProgramme)
{
    QJsonArray blankFirst = libraryEpisodes(10, 4);
    blankFirst.prepend(QJsonObject { { "id", " " } });
    service.on("GET", "programs/79",
        { ScriptedAnswer::error(500, u"Down"_qs),
            programPage(libraryEpisodes(1, 3)).withDelay(400ms), programPage(blankFirst) });
    auto &kids = make<KidsZoneLibraryModel>();
    runTask(kids.load());
    ASSERT_TRUE(kids.showsError());

    kids.retry();
    EXPECT_TRUE(kids.showsLoading() && kids.errorText().isEmpty()) << "at once";
    ASSERT_TRUE(service.waitForRequests("GET", "programs/79", 2));
    kids.retry();
    ASSERT_TRUE(waitUntil([&] { return kids.showsList() && !kids.isLoading(); }));
    spinFor(600ms);
    EXPECT_EQ(kids.episodes()->count(), 5) << "the superseded answer never lands";

    const MacRoute::Value before = model->route();
    kids.openEpisode(0);
    EXPECT_EQ(model->route(), before) << "a blank episode id opens nothing";
    kids.openProgram();
    EXPECT_EQ(model->selectedProgramId(), u"79"_qs);
    EXPECT_EQ(model->route(), MacRoute::ProgramDetail);
}

TEST_F(LibraryScreens, TestimoniesLookUpTheProgrammeByTitleThenAllItsEpisodes)
{
    QStringList fifty;
    for (int i = 0; i < 50; ++i)
        fifty.append(QStringLiteral("Programme %1").arg(i));
    service.on("GET", "programs",
        { programmeList(fifty),
            programmeList({ u"Testimonies Live Extra"_qs, u"orvella TESTIMONIES live"_qs }, 200) });
    servePages(
        service, u"programs/201"_qs, [](int page) { return page <= 3 ? 100 : 0; }, 300ms);
    auto &library = make<TestimoniesLibraryModel>();
    EXPECT_TRUE(library.showsLoading()) << "the first frame";
    library.appear();
    ASSERT_TRUE(waitUntil([&] { return library.showsList(); }));
    EXPECT_EQ(library.programTitle(), u"orvella TESTIMONIES live"_qs)
        << "the exact title wins, and the header keeps what the look-up found";
    ASSERT_TRUE(waitUntil([&] { return !library.isLoading(); }));
    EXPECT_EQ(service.requests("GET", "programs").size(), 2);
    EXPECT_EQ(service.requests("GET", "programs/201").size(), 8) << "up to 8 pages";
    EXPECT_EQ(library.episodes()->count(), 300);
    EXPECT_TRUE(library.errorText().isEmpty());
}

TEST_F(LibraryScreens, TestimoniesFailuresNotFoundAndEmptyProgramme)
{
    const ScriptedAnswer found = programmeList({ u"Orvella Testimonies"_qs });
    const struct
    {
        ScriptedAnswer lookup, episodes;
        bool list;
        QString errorText;
    } cases[] = {
        { ScriptedAnswer::error(502, u"Bad gateway"_qs), {}, false, u"Bad gateway"_qs },
        { programmeList({ u"Prayer Hour"_qs }), {}, false,
            u"Orvella Testimonies Live was not found."_qs },
        { found, ScriptedAnswer::error(500, u"Episodes down"_qs), true, u"Episodes down"_qs },
        { found, programPage({}), true, u"No episodes were returned for this program."_qs },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.errorText.toStdString());
        service.clearRequests();
        service.on("GET", "programs", c.lookup);
        service.on("GET", "programs/1", c.episodes);
        auto &library = make<TestimoniesLibraryModel>();
        runTask(library.load());
        EXPECT_FALSE(library.isLoading());
        EXPECT_EQ(library.showsList(), c.list);
        EXPECT_EQ(library.showsError(), !c.list);
        EXPECT_EQ(library.errorText(), c.errorText);
        EXPECT_EQ(library.unavailableText(), c.errorText);
        EXPECT_EQ(service.requests("GET", "programs/1").size(), c.list ? 1 : 0);
    }
}

TEST_F(LibraryScreens, APageLeftMidRequestWritesNothing)
{
    service.on(
        "GET", "programs", programmeList({ u"Orvella Testimonies Live"_qs }).withDelay(300ms));
    service.on("GET", "programs/79", programPage(libraryEpisodes(1, 3)).withDelay(300ms));
    auto &kids = make<KidsZoneLibraryModel>();
    auto &library = make<TestimoniesLibraryModel>();
    kids.appear();
    library.appear();
    ASSERT_TRUE(service.waitForRequests("GET", "programs/79", 1));
    ASSERT_TRUE(service.waitForRequests("GET", "programs", 1));
    kids.disappear();
    library.disappear();
    spinFor(500ms);
    EXPECT_TRUE(kids.showsLoading() && kids.episodes()->count() == 0);
    EXPECT_TRUE(library.showsLoading() && service.requests("GET", "programs/1").isEmpty());

    // Pages destroyed while their requests run.
    make<KidsZoneLibraryModel>().appear();
    make<TestimoniesLibraryModel>().appear();
    ASSERT_TRUE(service.waitForRequests("GET", "programs/79", 2));
    ASSERT_TRUE(service.waitForRequests("GET", "programs", 2));
    models.clear();
    spinFor(500ms);
}

} // namespace
} // namespace orvella::test

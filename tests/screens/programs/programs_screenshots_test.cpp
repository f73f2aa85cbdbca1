// Pictures of the programmes grid, a programme's detail and search (see AppWindowShots).
#include "screens/programs/ProgramDetailModel.h"
#include "screens/programs/ProgramsScreenModel.h"
#include "screens/programs/SearchScreenModel.h"
#include "support/AppWindowShots.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class ProgramsScreenshots : public AppWindowShots
{
protected:
    void SetUp() override
    {
        AppWindowShots::SetUp();
        if (IsSkipped())
            return;
        signedIn();
        ASSERT_TRUE(open());
        ASSERT_TRUE(waitUntil([&] { return app->route() == MacRoute::Live; }, 15s));
    }

    // At the usual size and at the smallest window.
    void shoot(const QString &name)
    {
        window->resize(1280, 800);
        AppWindowShots::shoot(name);
        window->resize(1024, 640);
        AppWindowShots::shoot(name + QStringLiteral("-small"));
        window->resize(1280, 800);
    }

    // The detail screen of a programme once built (the screen it replaces may linger a turn).
    ProgramDetailModel *openProgram(const QString &id)
    {
        app->setSelectedProgramId(id);
        app->navigate(MacRoute::ProgramDetail);
        ProgramDetailModel *found = nullptr;
        EXPECT_TRUE(waitUntil([&] {
            found = window->findChild<ProgramDetailModel *>(u"programDetailModel"_qs);
            return found && found->programId() == id;
        }));
        return found;
    }
};

TEST_F(ProgramsScreenshots, ProgramsGridAndDetailLoadedLoadingAndFailed)
{
    app->navigate(MacRoute::Programs);
    auto *programs = find<ProgramsScreenModel>("programsScreenModel");
    ASSERT_TRUE(programs && waitUntil([&] { return !programs->loading(); }));
    shoot(u"programs-grid"_qs);

    auto *detail = openProgram(u"101"_qs);
    ASSERT_TRUE(detail && waitUntil([&] { return !detail->loading() && !detail->loadingMore(); }));
    shoot(u"detail-loaded"_qs);

    service.on(
        "GET", "programs/102", ScriptedAnswer::error(500, u"Nothing here"_qs).withDelay(30s));
    ASSERT_TRUE(openProgram(u"102"_qs));
    shoot(u"detail-skeleton"_qs);

    service.on(
        "GET", "programs/103", ScriptedAnswer::error(503, u"The programme could not be loaded"_qs));
    detail = openProgram(u"103"_qs);
    ASSERT_TRUE(detail && waitUntil([&] { return !detail->errorText().isEmpty(); }));
    shoot(u"detail-error"_qs);
}

TEST_F(ProgramsScreenshots, SearchHitsUnderAnErrorLine)
{
    app->navigate(MacRoute::Search);
    auto *search = find<SearchScreenModel>("searchScreenModel");
    ASSERT_TRUE(search);
    search->setQuery(u"the"_qs);
    ASSERT_TRUE(waitUntil([&] { return !search->results().isEmpty(); }));
    service.on("GET", "episodes/search", ScriptedAnswer::error(502, u"Search is resting"_qs));
    search->setQuery(u"the word"_qs);
    ASSERT_TRUE(waitUntil([&] { return !search->errorText().isEmpty(); }));
    shoot(u"search-hits-error"_qs);
}

} // namespace
} // namespace orvella::test

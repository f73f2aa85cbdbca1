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
        if (!IsSkipped() && !HasFatalFailure())
            ASSERT_TRUE(openOn(MacRoute::Live));
    }

    void shoot(const QString &name) { shootSizes(name); }

    // The detail screen of a programme once built (the screen it replaces may linger a turn).
    ProgramDetailModel *openProgram(const QString &id)
    {
        app->setSelectedProgramId(id);
        app->navigate(MacRoute::ProgramDetail);
        return find<ProgramDetailModel>(
            u"programDetailModel"_qs, [&](const auto &detail) { return detail.programId() == id; });
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

// Pictures of the library pages (see AppWindowShots).
#include "screens/home/KidsZoneLibraryModel.h"
#include "screens/home/TestimoniesLibraryModel.h"
#include "support/AppWindowShots.h"

namespace orvella::test {
namespace {

class LibraryScreenshots : public AppWindowShots
{
protected:
    void SetUp() override
    {
        AppWindowShots::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_TRUE(openOn(MacRoute::Live));
        window->resize(1280, 800);
    }

    // The page's model once it shows `state` (its property of that name) with its load over.
    template<typename Model>
    Model *waitFor(const char *state)
    {
        Model *page = nullptr;
        EXPECT_TRUE(waitUntil([&] {
            page = window->findChild<Model *>();
            return page && page->property(state).toBool() && !page->isLoading();
        }));
        return page;
    }
};

ScriptedAnswer busy()
{
    return ScriptedAnswer::error(503, u"The service is busy. Try again in a moment."_qs);
}

TEST_F(LibraryScreenshots, TestimoniesLoadingErrorListAndErrorLine)
{
    service.on("GET", "programs", busy().withDelay(1500ms));
    app->navigate(MacRoute::TestimoniesLib);
    shoot(u"testimonies-loading"_qs);
    ASSERT_TRUE(waitFor<TestimoniesLibraryModel>("showsError"));
    shoot(u"testimonies-error"_qs);

    installSampleContent(service);
    app->navigate(MacRoute::Home);
    app->navigate(MacRoute::TestimoniesLib);
    ASSERT_TRUE(waitFor<TestimoniesLibraryModel>("showsList"));
    spinFor(1200ms); // pictures
    shoot(u"testimonies-list"_qs);
    window->resize(1024, 640);
    shoot(u"testimonies-list-small"_qs);

    service.on("GET", "programs/165", busy());
    app->navigate(MacRoute::Home);
    app->navigate(MacRoute::TestimoniesLib);
    ASSERT_TRUE(waitFor<TestimoniesLibraryModel>("showsList"));
    spinFor(700ms);
    shoot(u"testimonies-list-error-line"_qs);
}

TEST_F(LibraryScreenshots, KidsZoneLoadingErrorAndList)
{
    service.on("GET", "programs/79", busy().withDelay(1500ms));
    // navigate() sends the kids zone to the programme page: this page is built directly.
    app->navigator().setRouteDirectly(MacRoute::KidsZone);
    shoot(u"kidszone-loading"_qs);
    auto *kids = waitFor<KidsZoneLibraryModel>("showsError");
    ASSERT_TRUE(kids);
    shoot(u"kidszone-error"_qs);

    service.remove("GET", "programs/79");
    kids->retry();
    ASSERT_TRUE(waitFor<KidsZoneLibraryModel>("showsList"));
    spinFor(1200ms);
    shoot(u"kidszone-list"_qs);
    window->resize(1024, 640);
    shoot(u"kidszone-list-small"_qs);
}

} // namespace
} // namespace orvella::test

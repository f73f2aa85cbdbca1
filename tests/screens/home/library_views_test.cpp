// The library pages build without QML warnings; the testimonies grid builds only the cards in
// view, and a header that grows does not push the kids' grid under the top.
#include "LibraryHarness.h"
#include "screens/home/KidsZoneLibraryModel.h"
#include "screens/home/TestimoniesLibraryModel.h"
#include "support/ScreenView.h"

namespace orvella::test {
namespace {

class LibraryViews : public LibraryHarness
{
protected:
    template<typename Model>
    Model *show(const QString &file)
    {
        storeSession();
        build().restoreSession();
        QQuickItem *page = view.show(*model, file);
        return page ? page->findChild<Model *>() : nullptr;
    }
    [[nodiscard]] bool shown(const QString &name) const
    {
        const QQuickItem *found = view.child(name);
        return found && found->isVisible();
    }

    void TearDown() override
    {
        view.close();
        LibraryHarness::TearDown();
    }

    ScreenView view { u"screens/home"_qs };
};

TEST_F(LibraryViews, TestimoniesShowLoadingThenALazyGridOfEightHundred)
{
    service.on(
        "GET", "programs", programmeList({ u"Orvella Testimonies Live"_qs }).withDelay(200ms));
    servePages(service, u"programs/1"_qs, [](int) { return 100; });
    auto *library = show<TestimoniesLibraryModel>(u"TestimoniesLibraryScreen.qml"_qs);
    ASSERT_TRUE(library);
    EXPECT_TRUE(shown(u"testimoniesLoading"_qs));
    ASSERT_TRUE(waitUntil([&] { return library->episodes()->count() == 800; }));
    spinFor(100ms);
    EXPECT_TRUE(shown(u"testimoniesGrid"_qs) && shown(u"libraryBanner"_qs));
    const QList<QQuickItem *> built = view.child(u"testimoniesGrid"_qs)
                                          ->property("contentItem")
                                          .value<QQuickItem *>()
                                          ->childItems();
    const auto cards = std::count_if(
        built.begin(), built.end(), [](const QQuickItem *cell) { return cell->isVisible(); });
    EXPECT_GT(cards, 4);
    EXPECT_LT(cards, 40) << "cards are built as they come into view";
}

TEST_F(LibraryViews, KidsZoneErrorStateThenListWithItsErrorLine)
{
    service.on("GET", "programs/79",
        { ScriptedAnswer::error(500, u"Down"_qs), programPage(libraryEpisodes(1, 100)),
            ScriptedAnswer::error(503, u"Pages down"_qs) });
    auto *kids = show<KidsZoneLibraryModel>(u"KidsZoneLibraryScreen.qml"_qs);
    ASSERT_TRUE(kids);
    EXPECT_TRUE(shown(u"kidsZoneLoading"_qs));
    ASSERT_TRUE(waitUntil([&] { return kids->showsError(); }));
    spinFor(50ms);
    EXPECT_TRUE(shown(u"kidsZoneUnavailable"_qs) && shown(u"openQuillory"_qs)
        && shown(u"kidsZoneRetry"_qs));

    kids->retry();
    ASSERT_TRUE(waitUntil([&] { return kids->showsList() && !kids->isLoading(); }));
    spinFor(100ms);
    EXPECT_TRUE(
        shown(u"kidsZoneGrid"_qs) && shown(u"libraryErrorLine"_qs) && shown(u"libraryCount"_qs));
    const QQuickItem *grid = view.child(u"kidsZoneGrid"_qs);
    EXPECT_EQ(grid->property("contentY").toDouble(),
        grid->property("originY").toDouble() - grid->property("topMargin").toDouble())
        << "the grown header pushes the cards down instead of hiding under the top";
}

} // namespace
} // namespace orvella::test

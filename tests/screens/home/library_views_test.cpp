// The library pages build without QML warnings; the testimonies grid builds only the cards in
// view, and a header that grows does not push the kids' grid under the top.
#include "LibraryHarness.h"
#include "app/Application.h"
#include "screens/home/KidsZoneLibraryModel.h"
#include "screens/home/TestimoniesLibraryModel.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace orvella::test {
namespace {

QStringList qmlWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && message.contains(u".qml"))
        qmlWarnings.append(message);
}

class LibraryViews : public LibraryHarness
{
protected:
    template<typename Model>
    Model *show(const char *file)
    {
        storeSession();
        build().restoreSession();
        AppModel::setInstance(model.get());
        previous = qInstallMessageHandler(collectWarnings);
        engine = std::make_unique<QQmlEngine>();
        prepareEngine(*engine);
        QQmlComponent component(engine.get(),
            QUrl(QStringLiteral("qrc:/Orvella/screens/home/") + QString::fromLatin1(file)));
        screen.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!screen)
            return nullptr;
        screen->setParentItem(window.contentItem());
        screen->setSize({ 1024, 640 });
        window.show();
        return screen->findChild<Model *>();
    }

    // By the item tree, which also holds what the views made.
    [[nodiscard]] QQuickItem *item(const char *name, QQuickItem *from = nullptr) const
    {
        from = from ? from : screen.get();
        if (from->objectName() == QLatin1StringView(name))
            return from;
        for (QQuickItem *child : from->childItems()) {
            if (QQuickItem *found = item(name, child))
                return found;
        }
        return nullptr;
    }
    [[nodiscard]] bool shown(const char *name) const
    {
        const QQuickItem *found = item(name);
        return found && found->isVisible();
    }

    void TearDown() override
    {
        screen.reset();
        engine.reset();
        qInstallMessageHandler(previous);
        EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
        qmlWarnings.clear();
        AppModel::setInstance(nullptr);
        LibraryHarness::TearDown();
    }

    QQuickWindow window;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickItem> screen;
    QtMessageHandler previous = nullptr;
};

TEST_F(LibraryViews, TestimoniesShowLoadingThenALazyGridOfEightHundred)
{
    service.on(
        "GET", "programs", programmeList({ u"Orvella Testimonies Live"_qs }).withDelay(200ms));
    servePages(service, u"programs/1"_qs, [](int) { return 100; });
    auto *library = show<TestimoniesLibraryModel>("TestimoniesLibraryScreen.qml");
    ASSERT_TRUE(library);
    EXPECT_TRUE(shown("testimoniesLoading"));
    ASSERT_TRUE(waitUntil([&] { return library->episodes()->count() == 800; }));
    spinFor(100ms);
    EXPECT_TRUE(shown("testimoniesGrid") && shown("libraryBanner"));
    const QList<QQuickItem *> built
        = item("testimoniesGrid")->property("contentItem").value<QQuickItem *>()->childItems();
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
    auto *kids = show<KidsZoneLibraryModel>("KidsZoneLibraryScreen.qml");
    ASSERT_TRUE(kids);
    EXPECT_TRUE(shown("kidsZoneLoading"));
    ASSERT_TRUE(waitUntil([&] { return kids->showsError(); }));
    spinFor(50ms);
    EXPECT_TRUE(shown("kidsZoneUnavailable") && shown("openQuillory") && shown("kidsZoneRetry"));

    kids->retry();
    ASSERT_TRUE(waitUntil([&] { return kids->showsList() && !kids->isLoading(); }));
    spinFor(100ms);
    EXPECT_TRUE(shown("kidsZoneGrid") && shown("libraryErrorLine") && shown("libraryCount"));
    const QQuickItem *grid = item("kidsZoneGrid");
    EXPECT_EQ(grid->property("contentY").toDouble(),
        grid->property("originY").toDouble() - grid->property("topMargin").toDouble())
        << "the grown header pushes the cards down instead of hiding under the top";
}

} // namespace
} // namespace orvella::test

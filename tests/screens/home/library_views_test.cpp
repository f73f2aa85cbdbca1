// The library pages' views: they build without QML warnings in each state, and the
// testimonies grid builds only the cards in view.
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

using namespace std::chrono_literals;

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
    Model *show(AppModel &app, const char *file)
    {
        AppModel::setInstance(&app);
        qmlWarnings.clear();
        previous = qInstallMessageHandler(collectWarnings);
        window = std::make_unique<QQuickWindow>();
        window->resize(1024, 640);
        engine = std::make_unique<QQmlEngine>();
        prepareEngine(*engine);
        QQmlComponent component(engine.get(),
            QUrl(QStringLiteral("qrc:/Orvella/screens/home/") + QString::fromLatin1(file)));
        EXPECT_TRUE(component.isReady()) << component.errorString().toStdString();
        screen.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!screen)
            return nullptr;
        screen->setParentItem(window->contentItem());
        screen->setSize({ 1024, 640 });
        window->show();
        return screen->findChild<Model *>();
    }

    // Whether the named item is there and shown (its own flag and its parents').
    [[nodiscard]] bool shown(const char *name) const
    {
        const QQuickItem *item = find(screen.get(), [&](const QQuickItem *candidate) {
            return candidate->objectName() == QLatin1StringView(name);
        });
        return item && item->isVisible();
    }
    [[nodiscard]] int cards() const
    {
        int count = 0;
        find(screen.get(), [&](const QQuickItem *item) {
            count
                += QByteArrayView(item->metaObject()->className()).startsWith("EpisodeListingCard");
            return false;
        });
        return count;
    }
    static const QQuickItem *find(
        const QQuickItem *item, const std::function<bool(const QQuickItem *)> &match)
    {
        if (match(item))
            return item;
        for (const QQuickItem *child : item->childItems()) {
            if (const QQuickItem *found = find(child, match))
                return found;
        }
        return nullptr;
    }

    void TearDown() override
    {
        screen.reset();
        spinFor(50ms);
        engine.reset();
        window.reset();
        if (previous)
            qInstallMessageHandler(previous);
        EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
        AppModel::setInstance(nullptr);
        LibraryHarness::TearDown();
    }

    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickItem> screen;
    QtMessageHandler previous = nullptr;
};

TEST_F(LibraryViews, TestimoniesShowLoadingThenALazyGridOfEightHundred)
{
    service.on("GET", "programs",
        ScriptedAnswer::envelope(programmeList({ u"Orvella Testimonies Live"_qs }))
            .withDelay(200ms));
    servePages(service, u"programs/1"_qs, [](int) { return 100; });
    AppModel &app = signedIn();
    auto *library = show<TestimoniesLibraryModel>(app, "TestimoniesLibraryScreen.qml");
    ASSERT_TRUE(library);
    EXPECT_TRUE(shown("testimoniesLoading"));
    ASSERT_TRUE(waitUntil([&] { return library->episodes()->count() == 800; }));
    spinFor(100ms);
    EXPECT_TRUE(shown("testimoniesGrid"));
    EXPECT_TRUE(shown("libraryBanner"));
    EXPECT_FALSE(shown("libraryErrorLine"));
    EXPECT_GT(cards(), 0);
    EXPECT_LT(cards(), 40) << "cards are built as they come into view";
}

TEST_F(LibraryViews, KidsZoneErrorStateThenListWithItsErrorLine)
{
    service.on("GET", "programs/79",
        { ScriptedAnswer::error(500, u"Down"_qs), programPage(libraryEpisodes(1, 100)),
            ScriptedAnswer::error(503, u"Pages down"_qs) });
    AppModel &app = signedIn();
    auto *kids = show<KidsZoneLibraryModel>(app, "KidsZoneLibraryScreen.qml");
    ASSERT_TRUE(kids);
    EXPECT_TRUE(shown("kidsZoneLoading"));
    ASSERT_TRUE(waitUntil([&] { return kids->showsError(); }));
    spinFor(50ms);
    EXPECT_TRUE(shown("kidsZoneUnavailable"));
    EXPECT_TRUE(shown("openQuillory"));
    EXPECT_TRUE(shown("kidsZoneRetry"));

    kids->retry();
    ASSERT_TRUE(waitUntil([&] { return kids->showsList() && !kids->isLoading(); }));
    spinFor(100ms);
    EXPECT_TRUE(shown("kidsZoneGrid"));
    EXPECT_TRUE(shown("libraryErrorLine")) << "the failed full list is one line under the heading";
    const QObject *grid = screen->findChild<QObject *>(u"kidsZoneGrid"_qs);
    EXPECT_EQ(grid->property("contentY").toDouble(),
        grid->property("originY").toDouble() - grid->property("topMargin").toDouble())
        << "the grown header pushes the cards down instead of hiding under the top";
    EXPECT_TRUE(shown("libraryCount"));
    EXPECT_FALSE(shown("kidsZoneSkeleton"));
    EXPECT_GT(cards(), 0);
}

} // namespace
} // namespace orvella::test

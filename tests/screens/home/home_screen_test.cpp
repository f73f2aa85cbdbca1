// The home screen's and the menu overlay's models over an app model on the service double, and
// the home view's rails.
#include "app/Application.h"
#include "core/AppModelHarness.h"
#include "screens/home/HomeScreenModel.h"
#include "screens/home/MenuOverlayModel.h"
#include "ui/ImageCache.h"
#include "ui/ImageNetwork.h"
#include "ui/ImagePrefetcher.h"

#include <QJsonDocument>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

QJsonObject card(const QString &id, const QJsonValue &image, const QJsonObject &extra = {})
{
    QJsonObject item { { "id", id }, { "title", "Card " + id }, { "image", image } };
    for (auto it = extra.begin(); it != extra.end(); ++it)
        item.insert(it.key(), it.value());
    return item;
}

class HomeScreens : public AppModelHarness
{
protected:
    QString media(const char *file) const
    {
        return service.mediaUrl(QString::fromLatin1(file)).toString();
    }

    // A hero with the 4K poster; a rail of three cards (one without a picture) and a rail with
    // neither title nor items.
    QJsonObject homeAnswer(const QString &firstTitle = u"Card a"_qs) const
    {
        return { { "hero",
                     QJsonObject { { "title", "Welcome" }, { "subtitle", "Streams" },
                         { "image", media("images/poster-4k.jpg") } } },
            { "rails",
                QJsonArray {
                    QJsonObject { { "id", "r1" }, { "title", "Latest" },
                        { "items",
                            QJsonArray { card("a", media("images/card-1.jpg"),
                                             { { "title", firstTitle }, { "progress_pct", 150 } }),
                                card("b", media("images/card-2.jpg")),
                                card("c", QJsonValue()) } } },
                    QJsonObject { { "id", "r2" } } } } };
    }

    void scriptContinueWatching()
    {
        service.on("GET", "user/continue-watching",
            ScriptedAnswer::envelope(QJsonObject { { "items",
                QJsonArray { QJsonObject { { "episode_id", "e9" }, { "title", "Nine" },
                    { "image", media("images/card-6.jpg") }, { "progress_pct", 50 } } } } }));
    }
};

TEST_F(HomeScreens, HomeLoadsOnceRefreshesContinueWatchingEveryVisitAndWarmsTheViewsKeys)
{
    service.on("GET", "tv/home", ScriptedAnswer::envelope(homeAnswer()));
    scriptContinueWatching();
    ImageCache::shared().clear();
    AppModel &app = signedIn();

    for (int visit = 1; visit <= 2; ++visit) {
        auto &home = make<HomeScreenModel>(app);
        runTask(home.load());
        EXPECT_EQ(service.requests("GET", "tv/home").size(), 1) << "visit " << visit;
        EXPECT_EQ(service.requests("GET", "user/continue-watching").size(), visit);
        models.clear();
    }

    const auto prefetch = HomeScreenModel::prefetchFor(app.home());
    const std::vector<std::optional<QString>> cards { media("images/card-1.jpg"),
        media("images/card-2.jpg"), std::nullopt };
    EXPECT_EQ(prefetch.cards, cards) << "rail pictures only, in order";
    EXPECT_EQ(prefetch.hero, media("images/poster-4k.jpg"));
    // The keys the cards and the hero read are warm; the continue-watching picture is not.
    ImageCache &cache = ImageCache::shared();
    EXPECT_TRUE(waitUntil([&] {
        return cache.contains(ImageCache::key(media("images/card-1.jpg"), 200))
            && cache.contains(ImageCache::key(media("images/card-2.jpg"), 200))
            && cache.contains(ImageCache::key(media("images/poster-4k.jpg"), 900));
    }));
    EXPECT_FALSE(cache.contains(ImageCache::key(media("images/poster-4k.jpg"), 200)));
    EXPECT_TRUE(service.requests("GET", "/media/images/card-6.jpg").isEmpty());
}

TEST_F(HomeScreens, PrefetchesYieldToPicturesOnTheirWay)
{
    ImageCache::shared().clear();
    service.on("GET", "/media/images/*", ScriptedAnswer::file().withDelay(300ms));
    const QString shown = media("images/card-1.jpg");
    ImageNetwork::shared().load(
        QUrl(shown), ImageCache::key(shown, 200), 200, [](QImage) {},
        QNetworkRequest::HighPriority);
    ASSERT_TRUE(service.waitForRequests(1));
    std::vector<std::optional<QString>> urls { shown };
    for (const char *file : { "card-2.jpg", "card-3.jpg", "card-4.jpg", "card-5.jpg" })
        urls.push_back(media((std::string("images/") + file).c_str()));
    ImagePrefetcher::prefetch(urls, 200);
    spinFor(150ms);
    EXPECT_EQ(service.requestCount(), 3) << "two prefetches at a time, none for the shown one";
    EXPECT_TRUE(waitUntil([&] { return service.requestCount() == 5; }));
    spinFor(400ms);
    EXPECT_EQ(service.requestCount(), 5);
    EXPECT_EQ(service.requests("GET", "/media/images/card-1.jpg").size(), 1);
}

TEST_F(HomeScreens, HomeShowsTheServiceRailsAndTheFallbacks)
{
    service.on("GET", "tv/home",
        { ScriptedAnswer::error(500, u"Down"_qs), ScriptedAnswer::envelope(homeAnswer()) });
    scriptContinueWatching();
    AppModel &app = signedIn();
    auto &home = make<HomeScreenModel>(app);
    runTask(home.load());
    EXPECT_EQ(home.heroTitle(), u"Orvella TV"_qs);
    EXPECT_FALSE(home.hasHeroSubtitle());
    EXPECT_EQ(home.rails()->count(), 0);
    ASSERT_EQ(home.continueWatching()->count(), 1) << "continue watching works without home";

    runTask(app.refreshHome(true));
    EXPECT_EQ(home.heroTitle(), u"Welcome"_qs);
    ASSERT_EQ(home.rails()->count(), 2);
    const QModelIndex second = home.rails()->index(1);
    EXPECT_EQ(second.data(HomeScreenRails::TitleRole), u"Rail"_qs);
    EXPECT_EQ(home.rails()->itemsAt(1)->count(), 0);
    HomeScreenRailItems *latest = home.rails()->itemsAt(0);
    EXPECT_EQ(latest->index(2).data(HomeScreenRailItems::TitleRole), u"Card c"_qs);
    EXPECT_EQ(latest->index(0).data(HomeScreenRailItems::ProgressRole), 1.0);
    EXPECT_FALSE(latest->index(1).data(HomeScreenRailItems::HasProgressRole).toBool());
    for (const auto &[percent, share] : std::initializer_list<std::pair<double, double>> {
             { -5.0, 0.0 }, { 0.0, 0.0 }, { 50.0, 0.5 }, { qQNaN(), 0.0 } })
        EXPECT_EQ(HomeScreenRailItems::progressFraction(percent), share) << percent;

    home.open(home.continueWatching(), 0);
    EXPECT_EQ(app.route(), MacRoute::Episode);
    EXPECT_EQ(app.selectedEpisodeId(), u"e9"_qs);
}

TEST_F(HomeScreens, ARefreshUpdatesRailsInPlace)
{
    service.on("GET", "tv/home", ScriptedAnswer::envelope(homeAnswer()));
    AppModel &app = signedIn();
    runTask(app.refreshHome(true));
    auto &home = make<HomeScreenModel>(app);
    HomeScreenRails *rails = home.rails();
    HomeScreenRailItems *latest = rails->itemsAt(0);
    QSignalSpy resets(rails, &QAbstractItemModel::modelReset);
    QSignalSpy removed(latest, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(latest, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(latest, &QAbstractItemModel::dataChanged);

    service.on("GET", "tv/home", ScriptedAnswer::envelope(homeAnswer(u"Renamed"_qs)));
    runTask(app.refreshHome(true));
    EXPECT_EQ(rails->itemsAt(0), latest);
    EXPECT_EQ(resets.size() + removed.size() + inserted.size(), 0);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(latest->index(0).data(HomeScreenRailItems::TitleRole), u"Renamed"_qs);

    // The rails swap places and one is added: the kept rails keep their cards.
    QJsonObject swapped = homeAnswer();
    swapped["rails"] = QJsonArray { QJsonObject { { "id", "new" } }, QJsonObject { { "id", "r2" } },
        swapped["rails"].toArray().first() };
    service.on("GET", "tv/home", ScriptedAnswer::envelope(swapped));
    runTask(app.refreshHome(true));
    ASSERT_EQ(rails->count(), 3);
    EXPECT_EQ(rails->itemsAt(2), latest);
    EXPECT_EQ(rails->index(0).data(HomeScreenRails::RailIdRole), u"new"_qs);
    EXPECT_EQ(latest->count(), 3);
}

// However large a home the service sends, the screen takes in the first 100 rails with their
// first 500 cards, and warms only their pictures; continue watching is bounded the same way.
TEST_F(HomeScreens, TheRailsTakeInAtMostTheirBounds)
{
    HomeData huge;
    huge.rails.emplace();
    for (int r = 0; r < 120; ++r) {
        HomeRail rail { QString::number(r) };
        rail.items.emplace();
        for (int c = 0; c < 600; ++c) {
            const QString id = QStringLiteral("%1-%2").arg(r).arg(c);
            rail.items->append(RailItem { id, id, u"https://pictures.example/"_qs + id });
        }
        huge.rails->append(std::move(rail));
    }
    HomeScreenRails rails;
    rails.setRails(*huge.rails);
    ASSERT_EQ(rails.count(), HomeScreenRails::maxRails);
    EXPECT_EQ(rails.index(99).data(HomeScreenRails::RailIdRole), u"99"_qs);
    HomeScreenRailItems *last = rails.itemsAt(99);
    ASSERT_EQ(last->count(), HomeScreenRailItems::maxCards);
    EXPECT_EQ(last->items().last().id, u"99-499"_qs);
    const auto prefetch = HomeScreenModel::prefetchFor(huge);
    ASSERT_EQ(prefetch.cards.size(), size_t(100 * 500));
    EXPECT_EQ(prefetch.cards.back(), u"https://pictures.example/99-499"_qs);

    QJsonArray entries;
    for (int i = 0; i < 600; ++i)
        entries.append(QJsonObject { { "episode_id", QString::number(i) }, { "title", "E" } });
    service.on("GET", "user/continue-watching",
        ScriptedAnswer::envelope(QJsonObject { { "items", entries } }));
    AppModel &app = signedIn();
    auto &home = make<HomeScreenModel>(app);
    runTask(app.refreshContinueWatching());
    ASSERT_EQ(app.continueWatching().size(), continueWatchingKept);
    EXPECT_EQ(home.continueWatching()->count(), HomeScreenRailItems::maxCards);
    // An episode watched since comes first, and the oldest entry makes room for it.
    ContinueWatchingItem watched;
    watched.episode_id = u"new"_qs;
    app.updateContinueWatching(watched);
    ASSERT_EQ(app.continueWatching().size(), continueWatchingKept);
    EXPECT_EQ(app.continueWatching().first().episode_id, u"new"_qs);
    EXPECT_EQ(app.continueWatching().last().episode_id, u"498"_qs);
}

TEST_F(HomeScreens, LeavingTheHomeScreenMidRequestWritesNothing)
{
    service.on("GET", "tv/home", ScriptedAnswer::envelope(homeAnswer()).withDelay(400ms));
    service.on("GET", "user/continue-watching",
        ScriptedAnswer::envelope(QJsonObject { { "items", QJsonArray {} } }).withDelay(400ms));
    AppModel &app = signedIn();
    make<HomeScreenModel>(app).appear();
    ASSERT_TRUE(service.waitForRequests("GET", "tv/home", 1));
    models.clear();
    spinFor(600ms);
    EXPECT_FALSE(app.home().has_value());
    EXPECT_TRUE(service.requests("GET", "user/continue-watching").isEmpty());

    runTask(app.refreshHome(true));
    service.clearRequests();
    make<HomeScreenModel>(app).appear();
    ASSERT_TRUE(service.waitForRequests("GET", "user/continue-watching", 1));
    models.clear();
    spinFor(600ms);
    EXPECT_TRUE(service.requests("GET", "/media/*").isEmpty()) << "no prefetch after leaving";
}

TEST_F(HomeScreens, MenuTilesAndTheEventCard)
{
    const QList<MacRoute::Value> expected { MacRoute::Live, MacRoute::Home, MacRoute::Programs,
        MacRoute::Languages, MacRoute::Give, MacRoute::Herald, MacRoute::Testimony,
        MacRoute::KidsZone, MacRoute::VirtualCenter, MacRoute::Countdown, MacRoute::TestimoniesLib,
        MacRoute::TestimonyRec, MacRoute::Notifications, MacRoute::Settings };
    EXPECT_EQ(MenuOverlayModel::menuRoutes(), expected);

    AppModel &app = signedIn();
    auto &menu = make<MenuOverlayModel>(app);
    EXPECT_FALSE(menu.showsEvent()) << "no configuration";
    const struct
    {
        QJsonValue event;
        const char *title; // none: no card
    } cases[] = {
        { QJsonValue(), nullptr },
        { QJsonObject { { "title", "Camp" } }, nullptr },
        { QJsonObject { { "active", false }, { "title", "Camp" } }, nullptr },
        { QJsonObject { { "active", true } }, "Orvella Event" },
        { QJsonObject { { "active", true }, { "title", "Camp" } }, "Camp" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QJsonDocument(c.event.toObject()).toJson().toStdString());
        QJsonObject config = sampleConfig();
        if (!c.event.isUndefined() && !c.event.isNull())
            config.insert("event", c.event);
        service.on("GET", "tv/config", ScriptedAnswer::envelope(config));
        runTask(app.refreshEventScheduleData());
        EXPECT_EQ(menu.showsEvent(), c.title != nullptr);
        EXPECT_EQ(menu.eventTitle(), QString::fromLatin1(c.title));
    }
}

TEST_F(HomeScreens, ChoosingClosesTheMenuThenNavigatesOnALaterTurn)
{
    AppModel &app = signedIn();
    app.navigate(MacRoute::Home);
    app.setMenuPresented(true);
    make<MenuOverlayModel>(app).close();
    spinFor(20ms);
    EXPECT_FALSE(app.menuPresented());
    EXPECT_EQ(app.route(), MacRoute::Home);

    app.setMenuPresented(true);
    make<MenuOverlayModel>(app).choose(MacRoute::Programs);
    EXPECT_FALSE(app.menuPresented());
    EXPECT_EQ(app.route(), MacRoute::Home) << "navigation waits for the next turn";
    models.clear(); // the overlay goes as the menu closes
    spinFor(20ms);
    EXPECT_EQ(app.route(), MacRoute::Programs);
}

// By the item tree, which also holds what the lists made.
QList<QQuickItem *> itemsNamed(QQuickItem *item, const QString &name)
{
    QList<QQuickItem *> found;
    if (item->objectName() == name)
        found.append(item);
    for (QQuickItem *child : item->childItems())
        found += itemsNamed(child, name);
    return found;
}

// The home view in a window of the content's size under the header.
class HomeView : public HomeScreens
{
protected:
    QQuickItem *showHome(const QJsonObject &home)
    {
        service.on("GET", "tv/home", ScriptedAnswer::envelope(home));
        AppModel &app = signedIn();
        runTask(app.refreshHome(true));
        AppModel::setInstance(&app);
        window = std::make_unique<QQuickWindow>();
        window->resize(1280, 748);
        engine = std::make_unique<QQmlEngine>();
        prepareEngine(*engine);
        QQmlComponent component(engine.get(), QUrl(u"qrc:/Orvella/screens/home/HomeScreen.qml"_qs));
        screen.reset(qobject_cast<QQuickItem *>(component.create()));
        EXPECT_TRUE(screen) << component.errorString().toStdString();
        if (!screen)
            return nullptr;
        screen->setParentItem(window->contentItem());
        screen->setSize({ 1280, 748 });
        window->show();
        spinFor(100ms);
        return screen.get();
    }

    void TearDown() override
    {
        screen.reset();
        spinFor(20ms);
        AppModel::setInstance(nullptr);
        engine.reset();
        window.reset();
        HomeScreens::TearDown();
    }

    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickItem> screen;
};

// Rails and cards are built for the viewport only, and a refresh keeps them.
TEST_F(HomeView, BuildsCardsForTheViewportAndKeepsThemOnRefresh)
{
    QJsonArray rails;
    for (int r = 0; r < 20; ++r) {
        QJsonArray items;
        for (int i = 0; i < 30; ++i)
            items.append(card(QStringLiteral("%1-%2").arg(r).arg(i), QJsonValue()));
        rails.append(QJsonObject { { "id", QString::number(r) }, { "items", items } });
    }
    ASSERT_TRUE(showHome(QJsonObject { { "rails", rails } }));

    const auto cards = [&] { return itemsNamed(screen.get(), u"homeCardPicture"_qs); };
    ASSERT_FALSE(cards().isEmpty());
    EXPECT_LT(cards().size(), 80) << "of 600 cards";
    const QPointer<QQuickItem> first = cards().first();
    QJsonArray renamed = rails;
    QJsonObject rail = renamed[0].toObject();
    rail["title"] = "Renamed";
    renamed[0] = rail;
    service.on("GET", "tv/home", ScriptedAnswer::envelope(QJsonObject { { "rails", renamed } }));
    runTask(model->refreshHome(true));
    spinFor(50ms);
    EXPECT_TRUE(first) << "the refresh kept the card's delegate";
}

// Each rail's row is as tall as its tallest card: no blank band under cards without a
// programme line or a second title line.
TEST_F(HomeView, ARailsRowIsAsTallAsItsTallestCard)
{
    const QString longTitle = QStringLiteral("A title long enough to need a second line in a card");
    const auto rail = [](const char *id, const QJsonArray &items) {
        return QJsonObject { { "id", id }, { "title", id }, { "items", items } };
    };
    const QJsonObject withProgramme { { "program_title", "Morning Prayer" } };
    ASSERT_TRUE(showHome(QJsonObject { { "rails",
        QJsonArray { rail("short", { card("a", QJsonValue()), card("b", QJsonValue()) }),
            rail("programme", { card("c", QJsonValue(), withProgramme), card("d", QJsonValue()) }),
            rail("long",
                { card("e", QJsonValue(),
                      { { "title", longTitle }, { "program_title", "Morning Prayer" } }),
                    card("f", QJsonValue(), { { "title", longTitle } }) }) } } }));

    const QList<QQuickItem *> rows = itemsNamed(screen.get(), u"homeRailRow"_qs);
    ASSERT_GE(rows.size(), 3);
    QList<double> heights;
    for (QQuickItem *row : rows) {
        if (!row->isVisible())
            continue; // the continue-watching rail, empty here
        auto *content = row->property("contentItem").value<QQuickItem *>();
        double tallest = 0;
        for (QQuickItem *cardItem : content->childItems())
            tallest = std::max(tallest, cardItem->height());
        ASSERT_GT(tallest, 118);
        EXPECT_NEAR(row->height(), tallest, 0.5);
        heights.append(row->height());
    }
    ASSERT_EQ(heights.size(), 3);
    EXPECT_LT(heights[0], heights[1]);
    EXPECT_LT(heights[1], heights[2]);
}

} // namespace
} // namespace orvella::test

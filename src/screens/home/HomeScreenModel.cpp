#include "screens/home/HomeScreenModel.h"

#include "app/AppModel.h"
#include "platform/Clock.h"
#include "screens/programs/ScreenTasks.h"
#include "ui/ImagePrefetcher.h"

#include <QVariantMap>

namespace orvella {

namespace {
constexpr qsizetype maxHeroText = 300;

// The quick links, with labels of their own (shorter than the routes' titles).
struct QuickLink
{
    MacRoute::Value route;
    const char16_t *label;
};
constexpr QuickLink quickLinkTable[] = {
    { MacRoute::Search, u"Search" },
    { MacRoute::Languages, u"Languages" },
    { MacRoute::Give, u"Give" },
    { MacRoute::Herald, u"Herald" },
    { MacRoute::VirtualCenter, u"Virtual Center" },
    { MacRoute::Testimony, u"Testimony" },
    { MacRoute::Countdown, u"Countdown" },
};
} // namespace

HomeScreenModel::HomeScreenModel(QObject *parent)
    : QObject(parent)
    , m_continueWatching(new HomeScreenRailItems(this))
    , m_rails(new HomeScreenRails(this))
{ }

HomeScreenModel::~HomeScreenModel()
{
    disappear();
}

void HomeScreenModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::homeChanged, this, &HomeScreenModel::showHome);
    m_app.forward(&AppModel::continueWatchingChanged, this, &HomeScreenModel::showContinueWatching);
    showHome();
    showContinueWatching();
    emit appChanged();
}

const HomeHero *HomeScreenModel::hero() const
{
    if (!m_app || !m_app->home() || !m_app->home()->hero)
        return nullptr;
    return &*m_app->home()->hero;
}

QString HomeScreenModel::heroTitle() const
{
    const HomeHero *h = hero();
    return h && h->title ? h->title->left(maxHeroText) : QStringLiteral("Orvella TV");
}

QString HomeScreenModel::heroSubtitle() const
{
    const HomeHero *h = hero();
    return h && h->subtitle ? h->subtitle->left(maxHeroText) : QString();
}

bool HomeScreenModel::hasHeroSubtitle() const
{
    const HomeHero *h = hero();
    return h && h->subtitle;
}

QString HomeScreenModel::heroImage() const
{
    const HomeHero *h = hero();
    return h ? h->image.value_or(QString()) : QString();
}

QVariantList HomeScreenModel::quickLinks()
{
    QVariantList links;
    for (const QuickLink &link : quickLinkTable) {
        links.append(QVariantMap {
            { QStringLiteral("route"), int(link.route) },
            { QStringLiteral("label"), QString::fromUtf16(link.label) },
            { QStringLiteral("symbol"), MacRoute::systemImage(link.route) },
        });
    }
    return links;
}

void HomeScreenModel::showHome()
{
    const bool hasRails = m_app && m_app->home() && m_app->home()->rails;
    m_rails->setRails(hasRails ? *m_app->home()->rails : QList<HomeRail>());
    emit heroChanged();
}

void HomeScreenModel::showContinueWatching()
{
    QList<RailItem> items;
    if (m_app) {
        for (const ContinueWatchingItem &entry : m_app->continueWatching()) {
            if (items.size() == HomeScreenRailItems::maxCards)
                break;
            items.append(railItem(entry));
        }
    }
    m_continueWatching->setItems(std::move(items));
}

void HomeScreenModel::appear()
{
    load();
}

void HomeScreenModel::disappear()
{
    m_load.request_stop();
}

void HomeScreenModel::navigate(int route)
{
    if (m_app && route >= 0 && route < MacRoute::count)
        m_app->navigate(MacRoute::Value(route));
}

void HomeScreenModel::open(HomeScreenRailItems *rail, int row)
{
    if (!m_app || !rail || row < 0 || row >= int(rail->items().size()))
        return;
    m_app->handleAction(rail->items()[row].action);
}

QCoro::Task<> HomeScreenModel::load()
{
    const std::stop_token stop = renewStop(m_load);
    if (!m_app)
        co_return;
    QPointer self(this);
    QPointer app(m_app.get());
    if (!app->home()) {
        co_await app->refreshHome(false, stop);
        if (!self || !app || stop.stop_requested())
            co_return;
    }
    co_await app->refreshContinueWatching(stop);
    if (!self || !app || stop.stop_requested())
        co_return;
    const Prefetch prefetch = prefetchFor(app->home());
    ImagePrefetcher::prefetch(prefetch.cards, cardPixels);
    ImagePrefetcher::prefetch({ prefetch.hero }, heroPixels);
}

RailItem HomeScreenModel::railItem(const ContinueWatchingItem &entry)
{
    RailItem item;
    item.id = entry.episode_id;
    item.title = entry.title;
    item.image = entry.image;
    item.program_title = entry.program_title;
    item.duration = entry.duration;
    item.position = entry.position;
    item.progress_pct = entry.progress_pct;
    item.action = NavAction { QStringLiteral("episode"), entry.episode_id, std::nullopt };
    return item;
}

HomeScreenModel::Prefetch HomeScreenModel::prefetchFor(const std::optional<HomeData> &home)
{
    Prefetch prefetch;
    if (!home)
        return prefetch;
    // The cards the rails' models take in.
    const QList<HomeRail> rails = home->rails.value_or(QList<HomeRail>());
    for (qsizetype r = 0; r < std::min(rails.size(), HomeScreenRails::maxRails); ++r) {
        const QList<RailItem> items = rails[r].items.value_or(QList<RailItem>());
        for (qsizetype i = 0; i < std::min(items.size(), HomeScreenRailItems::maxCards); ++i)
            prefetch.cards.push_back(items[i].image);
    }
    if (home->hero)
        prefetch.hero = home->hero->image;
    return prefetch;
}

} // namespace orvella

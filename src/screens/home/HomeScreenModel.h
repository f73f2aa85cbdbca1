#pragma once

#include "api/ContentModels.h"
#include "core/MacRoute.h"
#include "screens/home/HomeScreenRails.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <stop_token>
#include <vector>

namespace orvella {

class AppModel;

// The home page: the hero, the quick links, the continue-watching rail and the service's
// rails, all read from the app model. Each showing loads the home page when the app model has
// none, refreshes the continue-watching list and then warms the picture cache for the keys the
// cards and the hero read. Leaving the screen stops the load; it writes nothing after.
class HomeScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString heroTitle READ heroTitle NOTIFY heroChanged)
    Q_PROPERTY(QString heroSubtitle READ heroSubtitle NOTIFY heroChanged)
    Q_PROPERTY(bool hasHeroSubtitle READ hasHeroSubtitle NOTIFY heroChanged)
    Q_PROPERTY(QString heroImage READ heroImage NOTIFY heroChanged)
    Q_PROPERTY(QVariantList quickLinks READ quickLinks CONSTANT)
    Q_PROPERTY(orvella::HomeScreenRailItems *continueWatching READ continueWatching CONSTANT)
    Q_PROPERTY(orvella::HomeScreenRails *rails READ rails CONSTANT)
    Q_PROPERTY(int cardPixelSize READ cardPixelSize CONSTANT)
    Q_PROPERTY(int heroPixelSize READ heroPixelSize CONSTANT)

public:
    // The sizes the pictures are decoded at, and so the sizes the prefetch warms.
    static constexpr int cardPixels = 200;
    static constexpr int heroPixels = 900;

    // What one load warms: the rails' pictures at the cards' size, the hero's at its own.
    struct Prefetch
    {
        std::vector<std::optional<QString>> cards;
        std::optional<QString> hero;
    };

    explicit HomeScreenModel(QObject *parent = nullptr);
    ~HomeScreenModel() override;

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);

    [[nodiscard]] QString heroTitle() const;
    [[nodiscard]] QString heroSubtitle() const;
    [[nodiscard]] bool hasHeroSubtitle() const;
    [[nodiscard]] QString heroImage() const;
    [[nodiscard]] static QVariantList quickLinks();
    [[nodiscard]] HomeScreenRailItems *continueWatching() const { return m_continueWatching; }
    [[nodiscard]] HomeScreenRails *rails() const { return m_rails; }
    [[nodiscard]] static int cardPixelSize() { return cardPixels; }
    [[nodiscard]] static int heroPixelSize() { return heroPixels; }

    // The screen came on (starts the load) or went away (stops it).
    Q_INVOKABLE void appear();
    Q_INVOKABLE void disappear();
    // A hero button or quick link.
    Q_INVOKABLE void navigate(int route);
    // A card: its item's action, if it has one.
    Q_INVOKABLE void open(orvella::HomeScreenRailItems *rail, int row);

    // The load of one showing; a new one supersedes the one running.
    QCoro::Task<> load();

    // A continue-watching entry as a card that opens its episode.
    [[nodiscard]] static RailItem railItem(const ContinueWatchingItem &entry);
    [[nodiscard]] static Prefetch prefetchFor(const std::optional<HomeData> &home);

signals:
    void appChanged();
    void heroChanged();

private:
    void showHome();
    void showContinueWatching();
    [[nodiscard]] const HomeHero *hero() const;

    QPointer<AppModel> m_app;
    HomeScreenRailItems *m_continueWatching;
    HomeScreenRails *m_rails;
    std::stop_source m_load;
};

} // namespace orvella

// Pictures of the home screen and the menu overlay (see AppWindowShots).
#include "support/AppWindowShots.h"

#include <QJsonObject>
#include <QQuickItem>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class HomeScreenshots : public AppWindowShots
{
protected:
    // The signed-in window, moved from live to `route`.
    bool open(MacRoute::Value route)
    {
        if (!openOn(route))
            return false;
        spinFor(1500ms);
        return true;
    }

    void shoot(const QString &name) { shootSizes(name, true, 400ms); }
};

TEST_F(HomeScreenshots, HomeWithAndWithoutHomeData)
{
    ASSERT_TRUE(open(MacRoute::Home));
    shoot(QStringLiteral("home"));
    // The rails further down: with and without programme lines.
    auto *rails = window->findChild<QQuickItem *>(QStringLiteral("homeRails"));
    ASSERT_TRUE(rails);
    QMetaObject::invokeMethod(rails, "positionViewAtEnd");
    shootSizes(QStringLiteral("home-rails"), false, 1500ms);
    engine.reset();
    app.reset();
    service.on("GET", "tv/home", ScriptedAnswer::error(503, QStringLiteral("Down")));
    ASSERT_TRUE(open(MacRoute::Home));
    shoot(QStringLiteral("home-no-data"));
}

TEST_F(HomeScreenshots, MenuWithAndWithoutTheEventCard)
{
    ASSERT_TRUE(open(MacRoute::Home));
    app->setMenuPresented(true);
    shoot(QStringLiteral("menu-event"));
    engine.reset();
    app.reset();
    service.on(
        "GET", "tv/config", ScriptedAnswer::envelope(QJsonObject { { "urls", QJsonObject {} } }));
    ASSERT_TRUE(open(MacRoute::Home));
    app->setMenuPresented(true);
    shoot(QStringLiteral("menu-no-event"));
}

} // namespace
} // namespace orvella::test

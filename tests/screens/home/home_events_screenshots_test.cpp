// Pictures of the virtual centre and countdown screens (see AppWindowShots).
#include "screens/home/CountdownScreenModel.h"
#include "screens/home/VirtualCenterScreenModel.h"
#include "support/AppWindowShots.h"

#include <QJsonObject>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class HomeEventsScreenshots : public AppWindowShots
{
protected:
    // Signed in, on the given route once start-up has reached live.
    bool openOn(MacRoute::Value route)
    {
        signedIn();
        if (!open() || !waitUntil([&] { return app->route() == MacRoute::Live; }, 15s))
            return false;
        app->navigate(route);
        return true;
    }
};

TEST_F(HomeEventsScreenshots, VirtualCenterListJoinAndHost)
{
    ASSERT_TRUE(openOn(MacRoute::VirtualCenter));
    auto *screen = find<VirtualCenterScreenModel>("virtualCenterScreenModel");
    ASSERT_TRUE(screen);
    shoot(QStringLiteral("virtual-center-list"));
    screen->setQuery(QStringLiteral("africa"));
    shoot(QStringLiteral("virtual-center-search"));
    screen->join(2);
    screen->setParticipantCount(QStringLiteral("25"));
    shoot(QStringLiteral("virtual-center-join"));
    screen->host();
    screen->setCenterName(QStringLiteral("Ikeja Home Group"));
    shoot(QStringLiteral("virtual-center-host"));
}

TEST_F(HomeEventsScreenshots, CountdownWithEventsAndEmpty)
{
    ASSERT_TRUE(openOn(MacRoute::Countdown));
    auto *screen = find<CountdownScreenModel>("countdownScreenModel");
    ASSERT_TRUE(screen && waitUntil([&] { return !screen->isEmpty(); }, 10s));
    shoot(QStringLiteral("countdown-events"));
    window->resize(1024, 640);
    shoot(QStringLiteral("countdown-events-small"));
    window->resize(1280, 800);

    service.on("GET", "tv/config", ScriptedAnswer::envelope(QJsonObject {}));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(QJsonObject {}));
    screen->refresh();
    ASSERT_TRUE(waitUntil([&] { return screen->isEmpty(); }, 10s));
    shoot(QStringLiteral("countdown-empty"));
}

} // namespace
} // namespace orvella::test

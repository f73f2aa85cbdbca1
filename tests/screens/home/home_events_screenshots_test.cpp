// Pictures of the virtual centre and countdown screens (see AppWindowShots).
#include "screens/home/CountdownScreenModel.h"
#include "screens/home/VirtualCenterScreenModel.h"
#include "support/AppWindowShots.h"

#include <QJsonObject>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

using HomeEventsScreenshots = AppWindowShots;

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
    shootSizes(QStringLiteral("countdown-events"));

    service.on("GET", "tv/config", ScriptedAnswer::envelope(QJsonObject {}));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(QJsonObject {}));
    screen->refresh();
    ASSERT_TRUE(waitUntil([&] { return screen->isEmpty(); }, 10s));
    shoot(QStringLiteral("countdown-empty"));
}

} // namespace
} // namespace orvella::test

// When the client counts as in front, for the event notices: from the window system's news of
// its window, on a clock the test moves.
#include "core/ApplicationForeground.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

namespace orvella {
namespace {

using namespace std::chrono_literals;
constexpr auto grace = std::chrono::milliseconds(ApplicationForeground::focusGrace);

TEST(ApplicationForeground, AClientJustStartedOrShownWaitsForTheFocusInFront)
{
    ManualClock clock;
    clock.advance(1h);
    ApplicationForeground foreground(clock);
    EXPECT_TRUE(foreground.isInFront()) << "started, its window not shown yet";
    clock.advance(grace - 1ms);
    EXPECT_TRUE(foreground.isInFront());
    clock.advance(1ms);
    EXPECT_FALSE(foreground.isInFront()) << "no window came";

    foreground.setExposed(true);
    EXPECT_TRUE(foreground.isInFront()) << "shown: the window system may give it the focus";
    clock.advance(grace);
    EXPECT_FALSE(foreground.isInFront()) << "left without the focus";
    foreground.setExposed(true);
    EXPECT_FALSE(foreground.isInFront()) << "still the same showing";

    // Minimised and shown again.
    foreground.setExposed(false);
    foreground.setExposed(true);
    EXPECT_TRUE(foreground.isInFront());
    foreground.setExposed(false);
    EXPECT_FALSE(foreground.isInFront()) << "hidden at once";
}

TEST(ApplicationForeground, TheFocusKeepsItInFrontUntilItGoes)
{
    ManualClock clock;
    ApplicationForeground foreground(clock);
    foreground.setExposed(true);
    foreground.setActive(true);
    clock.advance(10 * grace);
    EXPECT_TRUE(foreground.isInFront());
    foreground.setActive(false);
    EXPECT_FALSE(foreground.isInFront()) << "another window took the focus";

    // Given the focus and losing it within the first seconds.
    foreground.setExposed(false);
    foreground.setExposed(true);
    foreground.setActive(true);
    foreground.setActive(false);
    EXPECT_FALSE(foreground.isInFront());
}

QCoro::Task<> recordEnd(
    ApplicationForeground &foreground, std::stop_token stop, std::optional<bool> &ended)
{
    ended = co_await foreground.launchGraceEnd(std::move(stop));
}

TEST(ApplicationForeground, OnlyTheLaunchsGraceIsWaitedFor)
{
    ManualClock clock;
    ApplicationForeground foreground(clock);
    std::optional<bool> ended;
    recordEnd(foreground, {}, ended);
    clock.advance(grace);
    ASSERT_EQ(ended, true);

    foreground.setExposed(true);
    EXPECT_TRUE(foreground.isInFront());
    EXPECT_FALSE(foreground.launchGraceRunning()) << "a later grace";
    std::optional<bool> later;
    recordEnd(foreground, {}, later);
    EXPECT_EQ(later, false);
}

TEST(ApplicationForeground, AWaitEndsWithItsStopOrItsOwner)
{
    ManualClock clock;
    auto foreground = std::make_unique<ApplicationForeground>(clock);
    std::stop_source stop;
    std::optional<bool> stopped, orphaned;
    recordEnd(*foreground, stop.get_token(), stopped);
    recordEnd(*foreground, {}, orphaned);
    stop.request_stop();
    clock.advance(0ms); // runs the wake-ups a stop queues
    EXPECT_EQ(stopped, false);
    EXPECT_FALSE(orphaned);
    foreground.reset();
    clock.advance(0ms);
    EXPECT_EQ(orphaned, false);
    EXPECT_EQ(clock.sleepers(), 0);
}

} // namespace
} // namespace orvella

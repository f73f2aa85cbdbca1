#include "platform/Clock.h"
#include "player/ChromeAutoHide.h"
#include "support/TestAsync.h"

#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class ChromeAutoHideTest : public ::testing::Test
{
protected:
    void SetUp() override { controls.setClock(&clock); }

    void advance(std::chrono::milliseconds span)
    {
        clock.advance(span);
        spinFor(10ms);
    }

    ManualClock clock;
    bool held = false;
    ChromeAutoHide controls { [this] { return held; } };
};

TEST_F(ChromeAutoHideTest, HidesFourSecondsAfterTheLastRevealUnlessHeld)
{
    controls.reveal();
    advance(3s);
    controls.reveal();
    advance(3s);
    EXPECT_TRUE(controls.shown()) << "the second reveal started the spell again";
    advance(1s);
    EXPECT_FALSE(controls.shown());

    held = true;
    controls.reveal();
    advance(10s);
    EXPECT_TRUE(controls.shown()) << "held when the spell ended";
    held = false;
    advance(10s);
    EXPECT_TRUE(controls.shown()) << "until the next reveal";
    controls.reveal();
    advance(4s);
    EXPECT_FALSE(controls.shown());

    controls.reveal();
    controls.stop();
    advance(5s);
    EXPECT_TRUE(controls.shown()) << "stopped: no hide pending";
}

TEST_F(ChromeAutoHideTest, AWaitWithItsOwnActionReplacesThePendingHide)
{
    int ran = 0;
    controls.reveal();
    controls.waitThen(8s, [&] { ++ran; });
    advance(5s);
    EXPECT_TRUE(controls.shown());
    EXPECT_EQ(ran, 0);
    advance(3s);
    EXPECT_EQ(ran, 1);
    controls.waitThen(8s, [&] { ++ran; });
    controls.reveal();
    advance(8s);
    EXPECT_EQ(ran, 1) << "the reveal replaced the wait";
    EXPECT_FALSE(controls.shown());
}

TEST_F(ChromeAutoHideTest, OnlyAPointerThatMovedIsActivity)
{
    EXPECT_TRUE(controls.pointerAt({ 640, 400 })) << "the first report";
    EXPECT_FALSE(controls.pointerAt({ 640, 400 })) << "the window's repeat of a resting pointer";
    EXPECT_FALSE(controls.pointerAt({ 640, 400 }));
    EXPECT_TRUE(controls.pointerAt({ 641, 400 }));
    EXPECT_TRUE(controls.pointerAt({ 640, 400 })) << "back where it was is a move too";
}

} // namespace
} // namespace orvella::test

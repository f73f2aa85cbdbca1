#include "platform/Clock.h"
#include "studio/StudioAnimatedBackgroundRenderer.h"
#include "support/TestAsync.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace orvella;
using K = StudioAnimatedBackgroundKind;

namespace {

QImage logo()
{
    QImage image(64, 64, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(255, 220, 120));
    return image;
}

constexpr double someTime = 1'765'000'000'000.0;

} // namespace

TEST(StudioAnimatedBackgroundRenderer, FramesArePureFunctionsOfKindAndTime)
{
    StudioAnimatedBackgroundRenderer renderer(logo(), logo());
    for (K kind : { K::studioLights, K::goldenRays, K::softBokeh, K::orvellaTileWall,
             K::orvellaHeroStudio, K::orvellaBroadcastSet }) {
        const QImage first = renderer.render(kind, someTime);
        ASSERT_EQ(first.size(), QSize(1280, 720));
        EXPECT_EQ(first, renderer.render(kind, someTime)) << static_cast<int>(kind);
        EXPECT_NE(first, renderer.render(kind, someTime + 500)) << static_cast<int>(kind);
        // Opaque everywhere: the base covers the whole picture.
        EXPECT_EQ(qAlpha(first.pixel(0, 0)), 255);
        EXPECT_EQ(qAlpha(first.pixel(1279, 719)), 255);
    }
    EXPECT_NE(renderer.render(K::softBokeh, someTime), renderer.render(K::goldenRays, someTime));
}

TEST(StudioAnimatedBackgroundRenderer, MissingLogosLeaveOutOnlyTheirLayers)
{
    StudioAnimatedBackgroundRenderer bare { QImage(), QImage() };
    StudioAnimatedBackgroundRenderer branded(logo(), logo());
    // The hero studio without its logo is the base and its particles only.
    EXPECT_NE(bare.render(K::orvellaHeroStudio, someTime),
        branded.render(K::orvellaHeroStudio, someTime));
    EXPECT_NE(
        bare.render(K::orvellaTileWall, someTime), branded.render(K::orvellaTileWall, someTime));
    // Scenes without logos do not change.
    EXPECT_EQ(bare.render(K::softBokeh, someTime), branded.render(K::softBokeh, someTime));
}

TEST(StudioAnimatedBackgroundRenderer, StartDeliversAtOnceAndStopEnds)
{
    StudioAnimatedBackgroundRenderer renderer { QImage(), QImage() };
    ManualClock clock;
    clock.setSinceEpoch(std::chrono::milliseconds(static_cast<qint64>(someTime)));
    renderer.setClock(clock);
    int frames = 0;
    QImage last;
    renderer.start(K::studioLights, [&](const QImage &frame) {
        ++frames;
        last = frame;
    });
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(last, renderer.render(K::studioLights, someTime));
    EXPECT_TRUE(renderer.isRunning());
    // A second start replaces the first animation.
    int second = 0;
    renderer.start(K::goldenRays, [&](const QImage &) { ++second; });
    EXPECT_EQ(second, 1);
    const int firstBefore = frames;
    clock.setSinceEpoch(clock.sinceEpoch() + std::chrono::seconds(1));
    ASSERT_TRUE(orvella::test::waitUntil([&] { return second >= 3; }));
    EXPECT_EQ(frames, firstBefore);
    renderer.stop();
    renderer.stop();
    EXPECT_FALSE(renderer.isRunning());
}

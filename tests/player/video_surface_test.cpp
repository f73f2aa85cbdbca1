#include "LiveFixtureWindow.h"
#include "platform/FakeMediaPlayer.h"
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "player/VideoSurface.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QQuickWindow>
#include <algorithm>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;

namespace {

TEST(VideoSurfaceTest, AsksForItsPixelSizeAndPassesTheFillMode)
{
    QQuickWindow window;
    window.resize(320, 180);
    FakeMediaPlayer player;
    VideoSurface surface(window.contentItem());
    surface.setSize({ 320, 180 });
    surface.setPlayer(&player);
    EXPECT_EQ(player.frameSize, QSize(320, 180));
    EXPECT_FALSE(player.fill) << "the picture fits by default";
    surface.setFillMode(VideoSurface::AspectFill);
    EXPECT_TRUE(player.fill);
    surface.setSize({ 200, 100 });
    EXPECT_EQ(player.frameSize, QSize(200, 100));
    EXPECT_TRUE(surface.clip()) << "the picture never draws outside the item";
}

TEST(VideoSurfaceTest, ShowsEachNewFrameAndForgetsADestroyedPlayer)
{
    QQuickWindow window;
    auto player = std::make_unique<FakeMediaPlayer>();
    VideoSurface surface(window.contentItem());
    surface.setPlayer(player.get());
    QImage frame(16, 9, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::red);
    player->showFrame(frame);
    player->showFrame(frame);
    EXPECT_EQ(surface.framesShown(), 2);
    player.reset();
    EXPECT_EQ(surface.player(), nullptr);
}

// As in the studio's stage: software frames keep to the item's rounded corners on every
// scene-graph back end (the tests draw with the software one).
TEST(VideoSurfaceTest, DrawsSoftwareFramesInsideRoundedCorners)
{
    QQuickWindow window;
    window.setColor(Qt::green);
    window.resize(200, 130);
    FakeMediaPlayer player;
    VideoSurface surface(window.contentItem());
    surface.setPosition({ 20, 20 });
    surface.setSize({ 160, 90 });
    surface.setCornerRadius(18);
    surface.setPlayer(&player);
    EXPECT_FALSE(surface.drawsThroughFramebuffer());
    window.show();
    QImage frame(160, 90, QImage::Format_RGB32);
    frame.fill(Qt::red);
    player.showFrame(frame);
    QImage drawn;
    ASSERT_TRUE(waitUntil([&] {
        drawn = window.grabWindow();
        return !drawn.isNull() && drawn.pixelColor(100, 65) == QColor(Qt::red);
    }));
    const QPoint origin(20, 20);
    for (const QPoint inside : { QPoint(1, 45), QPoint(158, 45), QPoint(80, 1), QPoint(18, 18) })
        EXPECT_EQ(drawn.pixelColor(origin + inside), QColor(Qt::red))
            << inside.x() << "," << inside.y();
    for (const QPoint corner : { QPoint(0, 0), QPoint(159, 0), QPoint(0, 89), QPoint(159, 89) })
        EXPECT_EQ(drawn.pixelColor(origin + corner), QColor(Qt::green))
            << corner.x() << "," << corner.y();
}

TEST(VideoSurfaceTest, RendersTheLiveFixtureOffscreen)
{
    const DrawnFixture drawn
        = drawLiveFixture(std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software));
    const QImage &frame = drawn.softwareFrame;
    ASSERT_EQ(frame.size(), QSize(426, 240));
    // testsrc2 is colourful: the middle of the picture is not black.
    EXPECT_NE(frame.pixelColor(213, 120), QColor(Qt::black));
    // Frames are wholly opaque, as their format says: a window drawn over them keeps its own
    // opacity, and the scene graph may skip what lies beneath.
    int seeThrough = 0;
    for (int y = 0; y < frame.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        seeThrough += int(std::count_if(
            line, line + frame.width(), [](QRgb pixel) { return qAlpha(pixel) != 255; }));
    }
    EXPECT_EQ(seeThrough, 0);
    EXPECT_EQ(drawn.middle.alpha(), 255);
}

} // namespace

// The OpenGL path of the video item, which needs a display: tools/test runs the tests labelled
// "gl" under xvfb-run (QT_QPA_PLATFORM=xcb), the rest offscreen.
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "player/VideoSurface.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;

namespace {

TEST(VideoSurfaceGl, DrawsTheLiveFixtureThroughOpenGl)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    ServiceDouble service;
    ASSERT_TRUE(service.start());
    QQuickWindow window;
    ASSERT_EQ(window.graphicsApi(), QSGRendererInterface::OpenGL);
    window.resize(426, 240);
    auto owned = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::OpenGl);
    owned->setMuted(true);
    ASSERT_FALSE(owned->rendersInSoftware());
    PlayerController controller(std::move(owned));
    VideoSurface surface(window.contentItem());
    surface.setSize({ 426, 240 });
    surface.setPlayer(controller.player());
    window.show();
    controller.load(service.mediaUrl(QStringLiteral("live/master.m3u8")), true, std::nullopt, true);
    ASSERT_TRUE(waitUntil([&] { return surface.framesShown() > 3; }, 10s));
    // testsrc2 is colourful: the middle of the drawn window is not black (nor the clear colour).
    const QImage picture = window.grabWindow();
    ASSERT_FALSE(picture.isNull());
    const QColor middle = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    EXPECT_NE(middle, QColor(Qt::black));
    EXPECT_NE(middle, QColor(Qt::white));
}

} // namespace

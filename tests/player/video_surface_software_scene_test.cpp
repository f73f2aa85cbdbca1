// The video item on a display whose windows draw with the software scene graph, as the client
// chooses where no graphics device exists. Its own process: the back end is chosen once.
#include "platform/MpvMediaPlayer.h"
#include "platform/SceneGraphChoice.h"
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

TEST(VideoSurfaceOnSoftwareSceneGraph, ThePlayerDrawsInSoftwareAndThePictureShows)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    // Qt's graphicsApi() still names OpenGL on this back end; the player must not believe it.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    ASSERT_TRUE(sceneGraphDrawsInSoftware());

    ServiceDouble service;
    ASSERT_TRUE(service.start());
    QQuickWindow window;
    window.setColor(Qt::black);
    window.resize(426, 240);
    auto owned = std::make_unique<MpvMediaPlayer>();
    owned->setMuted(true);
    EXPECT_TRUE(owned->rendersInSoftware());
    PlayerController controller(std::move(owned));
    VideoSurface surface(window.contentItem());
    surface.setSize({ 426, 240 });
    surface.setPlayer(controller.player());
    window.show();
    controller.load(service.mediaUrl(QStringLiteral("live/master.m3u8")), true, std::nullopt, true);
    ASSERT_TRUE(waitUntil([&] { return surface.framesShown() > 3; }, 10s));
    spinFor(100ms);
    ASSERT_EQ(window.rendererInterface()->graphicsApi(), QSGRendererInterface::Software);
    const QImage picture = window.grabWindow();
    // testsrc2 is colourful: the middle of the picture is not black.
    EXPECT_NE(picture.pixelColor(213, 120).rgb(), QColor(Qt::black).rgb());
}

} // namespace

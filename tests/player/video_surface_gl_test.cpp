// The OpenGL path of the video item, which needs a display: tools/test runs the tests labelled
// "gl" under xvfb-run (QT_QPA_PLATFORM=xcb), the rest offscreen.
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

// Draws the live fixture through a player with the given output into a window; returns the
// colour in the middle of the window.
QColor drawLiveFixture(MpvMediaPlayer::Output output, bool &inSoftware)
{
    ServiceDouble service;
    EXPECT_TRUE(service.start());
    QQuickWindow window;
    EXPECT_EQ(window.graphicsApi(), QSGRendererInterface::OpenGL);
    window.resize(426, 240);
    auto owned = std::make_unique<MpvMediaPlayer>(output);
    owned->setMuted(true);
    EXPECT_FALSE(owned->rendersInSoftware()) << "OpenGL until the driver is known";
    MpvMediaPlayer *player = owned.get();
    PlayerController controller(std::move(owned));
    VideoSurface surface(window.contentItem());
    surface.setSize({ 426, 240 });
    surface.setPlayer(controller.player());
    window.show();
    controller.load(service.mediaUrl(QStringLiteral("live/master.m3u8")), true, std::nullopt, true);
    EXPECT_TRUE(waitUntil([&] { return surface.framesShown() > 3; }, 10s));
    spinFor(100ms);
    inSoftware = player->rendersInSoftware();
    const QImage picture = window.grabWindow();
    return picture.isNull() ? QColor()
                            : picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

TEST(VideoSurfaceGl, DrawsTheLiveFixtureThroughOpenGlOrInSoftwareOnASoftwareDriver)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    if (sceneGraphDrawsInSoftware())
        GTEST_SKIP() << "needs the OpenGL scene graph: QT_QUICK_BACKEND=rhi (CTest sets it)";
    // xvfb's OpenGL is Mesa's llvmpipe, a software rasterizer.
    for (const auto output :
        { MpvMediaPlayer::Output::OpenGl, MpvMediaPlayer::Output::Automatic }) {
        bool inSoftware = false;
        const QColor middle = drawLiveFixture(output, inSoftware);
        // testsrc2 is colourful: the middle of the drawn window is not black (nor the clear
        // colour).
        EXPECT_TRUE(middle.isValid());
        EXPECT_NE(middle, QColor(Qt::black));
        EXPECT_NE(middle, QColor(Qt::white));
        EXPECT_EQ(inSoftware, output == MpvMediaPlayer::Output::Automatic)
            << "only a player free to choose moves to software output";
    }
}

} // namespace

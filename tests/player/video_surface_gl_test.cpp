// The OpenGL path of the video item, which needs a display: tools/test runs the tests labelled
// "gl" under xvfb-run (QT_QPA_PLATFORM=xcb), the rest offscreen.
#include "LiveFixtureWindow.h"
#include "platform/FakeMediaPlayer.h"
#include "platform/SceneGraphChoice.h"
#include "player/VideoSurface.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QTest>

using namespace orvella;
using namespace orvella::test;

namespace {

TEST(VideoSurfaceGl, DrawsTheLiveFixtureThroughOpenGlOrInSoftwareOnASoftwareDriver)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    if (sceneGraphDrawsInSoftware())
        GTEST_SKIP() << "needs the OpenGL scene graph: QT_QUICK_BACKEND=rhi (CTest sets it)";
    // xvfb's OpenGL is Mesa's llvmpipe, a software rasterizer.
    for (const auto output :
        { MpvMediaPlayer::Output::OpenGl, MpvMediaPlayer::Output::Automatic }) {
        auto player = std::make_unique<MpvMediaPlayer>(output);
        EXPECT_FALSE(player->rendersInSoftware()) << "OpenGL until the driver is known";
        const DrawnFixture drawn = drawLiveFixture(std::move(player));
        EXPECT_EQ(drawn.sceneGraph, QSGRendererInterface::OpenGL);
        // testsrc2 is colourful: the middle of the drawn window is not black (nor the clear
        // colour).
        EXPECT_TRUE(drawn.middle.isValid());
        EXPECT_NE(drawn.middle, QColor(Qt::black));
        EXPECT_NE(drawn.middle, QColor(Qt::white));
        EXPECT_EQ(drawn.inSoftware, output == MpvMediaPlayer::Output::Automatic)
            << "only a player free to choose moves to software output";
    }
}

TEST(VideoSurfaceGl, APlayerWithoutARendererShowsNothingAndDoesNotCrash)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    if (sceneGraphDrawsInSoftware())
        GTEST_SKIP() << "needs the OpenGL scene graph: QT_QUICK_BACKEND=rhi (CTest sets it)";
    QQuickWindow window;
    window.resize(160, 90);
    FakeMediaPlayer player;
    player.drawsThroughOpenGl = true;
    VideoSurface surface(window.contentItem());
    surface.setSize({ 160, 90 });
    surface.setPlayer(&player);
    EXPECT_TRUE(surface.drawsThroughFramebuffer());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(window.grabWindow().isNull());
}

} // namespace

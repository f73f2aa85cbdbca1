// The video item on a display whose windows draw with the software scene graph, as the client
// chooses where no graphics device exists. Its own process: the back end is chosen once.
#include "LiveFixtureWindow.h"
#include "platform/SceneGraphChoice.h"

#include <QGuiApplication>

using namespace orvella;
using namespace orvella::test;

namespace {

TEST(VideoSurfaceOnSoftwareSceneGraph, ThePlayerDrawsInSoftwareAndThePictureShows)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    // Qt's graphicsApi() still names OpenGL on this back end; the player must not believe it.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    ASSERT_TRUE(sceneGraphDrawsInSoftware());

    auto player = std::make_unique<MpvMediaPlayer>();
    EXPECT_TRUE(player->rendersInSoftware());
    const DrawnFixture drawn = drawLiveFixture(std::move(player));
    EXPECT_EQ(drawn.sceneGraph, QSGRendererInterface::Software);
    // testsrc2 is colourful: the middle of the picture is not black (nor the clear colour).
    EXPECT_TRUE(drawn.middle.isValid());
    EXPECT_NE(drawn.middle, QColor(Qt::black));
    EXPECT_NE(drawn.middle, QColor(Qt::white));
}

} // namespace

#include "platform/SceneGraphChoice.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <gtest/gtest.h>

using namespace orvella;

namespace {

GraphicsEnvironment display(bool device)
{
    GraphicsEnvironment environment;
    environment.platform = QStringLiteral("xcb");
    environment.hasGraphicsDevice = device;
    return environment;
}

TEST(SceneGraphChoice, OpenGlOnlyWhereAGraphicsDeviceDrawsIt)
{
    EXPECT_EQ(chooseSceneGraphBackend(display(true)), SceneGraphBackend::OpenGl);
    EXPECT_EQ(chooseSceneGraphBackend(display(false)), SceneGraphBackend::Software);

    GraphicsEnvironment wayland = display(true);
    wayland.platform = QStringLiteral("wayland");
    EXPECT_EQ(chooseSceneGraphBackend(wayland), SceneGraphBackend::OpenGl);
    wayland.hasGraphicsDevice = false;
    EXPECT_EQ(chooseSceneGraphBackend(wayland), SceneGraphBackend::Software);

    // Mesa told to rasterize in software draws on the processor whatever the device.
    GraphicsEnvironment forced = display(true);
    forced.driverForcedToSoftware = true;
    EXPECT_EQ(chooseSceneGraphBackend(forced), SceneGraphBackend::Software);

    // Nothing to share an OpenGL context with offscreen.
    for (const char *platform : { "offscreen", "minimal", "offscreen:enable_glx" }) {
        GraphicsEnvironment offscreen = display(true);
        offscreen.platform = QString::fromLatin1(platform);
        EXPECT_EQ(chooseSceneGraphBackend(offscreen), SceneGraphBackend::Software) << platform;
    }
}

TEST(SceneGraphChoice, TheViewersOwnBackendDecides)
{
    GraphicsEnvironment environment = display(true);
    environment.viewerBackend = QStringLiteral("software");
    EXPECT_EQ(chooseSceneGraphBackend(environment), SceneGraphBackend::Software);

    // "rhi" is Qt's name for its default hardware-interface scene graph.
    for (const bool device : { false, true }) {
        environment = display(device);
        environment.viewerBackend = QStringLiteral(" rhi ");
        EXPECT_EQ(chooseSceneGraphBackend(environment), SceneGraphBackend::OpenGl);
        environment.driverForcedToSoftware = true;
        EXPECT_EQ(chooseSceneGraphBackend(environment), SceneGraphBackend::OpenGl);
    }
    environment = display(false);
    environment.platform = QStringLiteral("offscreen");
    environment.viewerBackend = QStringLiteral("rhi");
    EXPECT_EQ(chooseSceneGraphBackend(environment), SceneGraphBackend::OpenGl);
}

// Restores the variables the environment is read from.
class GraphicsEnvironmentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char *name : names) {
            saved.append(qgetenv(name));
            qunsetenv(name);
        }
    }
    void TearDown() override
    {
        for (int i = 0; i < int(std::size(names)); ++i) {
            if (saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], saved[i]);
        }
    }

    static constexpr const char *names[] = { "QT_QPA_PLATFORM", "QT_QUICK_BACKEND",
        "QMLSCENE_DEVICE", "LIBGL_ALWAYS_SOFTWARE", "GALLIUM_DRIVER" };
    QList<QByteArray> saved;
};

TEST_F(GraphicsEnvironmentTest, ReadsTheVariablesAsQtAndMesaDo)
{
    qputenv("QT_QPA_PLATFORM", "wayland");
    qputenv("QT_QUICK_BACKEND", "software");
    GraphicsEnvironment environment = currentGraphicsEnvironment();
    EXPECT_EQ(environment.platform, QStringLiteral("wayland"));
    EXPECT_EQ(environment.viewerBackend, QStringLiteral("software"));
    EXPECT_FALSE(environment.driverForcedToSoftware);

    // Qt Quick reads the older variable first.
    qputenv("QMLSCENE_DEVICE", "rhi");
    EXPECT_EQ(currentGraphicsEnvironment().viewerBackend, QStringLiteral("rhi"));

    for (const char *value : { "1", "true", "YES" }) {
        qputenv("LIBGL_ALWAYS_SOFTWARE", value);
        EXPECT_TRUE(currentGraphicsEnvironment().driverForcedToSoftware) << value;
    }
    for (const char *value : { "0", "false", "" }) {
        qputenv("LIBGL_ALWAYS_SOFTWARE", value);
        EXPECT_FALSE(currentGraphicsEnvironment().driverForcedToSoftware) << value;
    }
    for (const char *driver : { "llvmpipe", "softpipe" }) {
        qputenv("GALLIUM_DRIVER", driver);
        EXPECT_TRUE(currentGraphicsEnvironment().driverForcedToSoftware) << driver;
    }
    qputenv("GALLIUM_DRIVER", "radeonsi");
    EXPECT_FALSE(currentGraphicsEnvironment().driverForcedToSoftware);
}

// Test processes choose at start-up as the client does; offscreen, that is the software scene
// graph (which Qt's graphicsApi() still names OpenGL).
TEST(SceneGraphChoice, TheChoiceIsKnownBeforeAnyWindow)
{
    if (QGuiApplication::platformName() != QStringLiteral("offscreen"))
        GTEST_SKIP() << "runs on the offscreen platform";
    EXPECT_EQ(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
    EXPECT_TRUE(sceneGraphDrawsInSoftware());
}

} // namespace

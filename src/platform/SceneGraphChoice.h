#pragma once

#include <QString>

namespace orvella {

// How Qt Quick draws the windows: through OpenGL (Qt's hardware interface) or with its software
// scene graph, which paints with the processor and loads no graphics driver.
enum class SceneGraphBackend { OpenGl, Software };

// What the choice depends on, read from the process environment and the devices present.
struct GraphicsEnvironment
{
    // QT_QPA_PLATFORM.
    QString platform;
    // The viewer's own QT_QUICK_BACKEND (or QMLSCENE_DEVICE, which Qt reads first).
    QString viewerBackend;
    // LIBGL_ALWAYS_SOFTWARE, or GALLIUM_DRIVER naming one of Mesa's software rasterizers.
    bool driverForcedToSoftware = false;
    // A DRI render node (/dev/dri/renderD*) or an NVIDIA device: OpenGL can run on hardware.
    bool hasGraphicsDevice = false;
};

// OpenGL only where a graphics device can draw it: with no device, Mesa falls back to a
// software rasterizer, on which Qt Quick's own software scene graph costs a fraction of the
// processor time and memory. A viewer's QT_QUICK_BACKEND decides where it is set ("software",
// or "rhi" for OpenGL); the offscreen platforms have no OpenGL context to share.
[[nodiscard]] SceneGraphBackend chooseSceneGraphBackend(const GraphicsEnvironment &environment);

// The environment of this process.
[[nodiscard]] GraphicsEnvironment currentGraphicsEnvironment();

// Chooses the back end for this process and tells Qt Quick; before the application object.
SceneGraphBackend selectSceneGraphBackend();

// Whether the windows draw with the software scene graph, as chosen for this process (asked
// before any window exists; QQuickWindow::graphicsApi() still names OpenGL there).
[[nodiscard]] bool sceneGraphDrawsInSoftware();

} // namespace orvella

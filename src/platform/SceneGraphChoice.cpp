#include "platform/SceneGraphChoice.h"

#include "platform/StartupTrace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQuickWindow>
#include <unistd.h>

namespace orvella {

namespace {
const QString software = QStringLiteral("software");

// As Qt Quick reads them: QMLSCENE_DEVICE first.
QString viewerBackend()
{
    const QString device = qEnvironmentVariable("QMLSCENE_DEVICE");
    return (device.isEmpty() ? qEnvironmentVariable("QT_QUICK_BACKEND") : device).trimmed();
}

// Mesa's reading of a boolean variable.
bool mesaTrue(const QByteArray &value)
{
    const QByteArray lower = value.trimmed().toLower();
    return lower == "1" || lower == "true" || lower == "y" || lower == "yes";
}

bool isSoftwareRasterizer(const QByteArray &driver)
{
    const QByteArray lower = driver.trimmed().toLower();
    return lower == "llvmpipe" || lower == "softpipe" || lower == "swr";
}

bool hasGraphicsDevice()
{
    // Only a render node this user may open draws; without one Mesa falls back to llvmpipe.
    const QDir dri(QStringLiteral("/dev/dri"));
    for (const QString &node : dri.entryList({ QStringLiteral("renderD*") }, QDir::System)) {
        if (::access(QFile::encodeName(dri.filePath(node)).constData(), R_OK | W_OK) == 0)
            return true;
    }
    // NVIDIA's own driver may run without its DRM module, and so without a render node.
    return QFileInfo::exists(QStringLiteral("/dev/nvidiactl"));
}
} // namespace

SceneGraphBackend chooseSceneGraphBackend(const GraphicsEnvironment &environment)
{
    const QString viewer = environment.viewerBackend.trimmed();
    if (viewer == software)
        return SceneGraphBackend::Software;
    if (!viewer.isEmpty())
        return SceneGraphBackend::OpenGl;
    const QString platform = environment.platform.trimmed();
    if (platform.startsWith(QLatin1String("offscreen"))
        || platform.startsWith(QLatin1String("minimal")))
        return SceneGraphBackend::Software;
    if (environment.driverForcedToSoftware || !environment.hasGraphicsDevice)
        return SceneGraphBackend::Software;
    return SceneGraphBackend::OpenGl;
}

GraphicsEnvironment currentGraphicsEnvironment()
{
    GraphicsEnvironment environment;
    environment.platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    environment.viewerBackend = viewerBackend();
    environment.driverForcedToSoftware = mesaTrue(qgetenv("LIBGL_ALWAYS_SOFTWARE"))
        || isSoftwareRasterizer(qgetenv("GALLIUM_DRIVER"));
    environment.hasGraphicsDevice = hasGraphicsDevice();
    return environment;
}

SceneGraphBackend selectSceneGraphBackend()
{
    const GraphicsEnvironment environment = currentGraphicsEnvironment();
    const SceneGraphBackend backend = chooseSceneGraphBackend(environment);
    if (backend == SceneGraphBackend::Software) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    } else {
        // The video item draws through OpenGL. A viewer's own back end other than these two
        // is left for Qt Quick to load.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    }
    qCDebug(lcStartup) << "Scene graph:"
                       << (backend == SceneGraphBackend::Software ? "software" : "OpenGL")
                       << "(viewer's choice:" << environment.viewerBackend
                       << "graphics device:" << environment.hasGraphicsDevice << ")";
    return backend;
}

bool sceneGraphDrawsInSoftware()
{
    // What was asked for in code, or, once the first window chose, what was loaded; otherwise
    // Qt Quick will follow the viewer's variables.
    const QString backend = QQuickWindow::sceneGraphBackend();
    return (backend.isEmpty() ? viewerBackend() : backend) == software;
}

} // namespace orvella

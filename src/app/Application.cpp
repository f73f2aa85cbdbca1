#include "app/Application.h"

#include "core/SettingsFile.h"
#include "platform/SceneGraphChoice.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <clocale>
#include <cstdlib>
#include <cstring>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orvella {

namespace {
// Video frames and picture buffers (a few hundred KiB to a few MiB each) come from their own
// mappings and go back to the system when freed. glibc's sliding threshold would otherwise move
// them into the heap, where freed frames stay resident: about 20 MiB more while video plays, for
// under 2 % of a core. A threshold the viewer set through GLIBC_TUNABLES stays.
void keepLargeAllocationsOutOfTheHeap()
{
#if defined(__GLIBC__)
    const char *tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::strstr(tunables, "mmap_threshold"))
        return;
    constexpr int threshold = 256 * 1024;
    mallopt(M_MMAP_THRESHOLD, threshold);
#endif
}
} // namespace

void configureApplicationBeforeConstruction()
{
    keepLargeAllocationsOutOfTheHeap();
    QCoreApplication::setOrganizationName(QStringLiteral("Orvella"));
    // The application name places the settings, caches and data: it stays as the first
    // version stored them. Titles and the task list show the display name.
    QCoreApplication::setApplicationName(QStringLiteral("OrvellaTV"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Orvella TV"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVELLA_APP_VERSION));
    // OpenGL where a graphics device draws it, else Qt Quick's software scene graph (and mpv's
    // software scaler for the video).
    selectSceneGraphBackend();
}

void configureApplication(QGuiApplication &app)
{
    Q_UNUSED(app);
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    setAsideUnreadableSettings();
    keepSettingsFilePrivate();
}

void prepareEngine(QQmlEngine &engine)
{
    engine.addImportPath(QStringLiteral("qrc:/"));
}

QUrl mainWindowUrl()
{
    return QUrl(QStringLiteral("qrc:/Orvella/app/Main.qml"));
}

} // namespace orvella

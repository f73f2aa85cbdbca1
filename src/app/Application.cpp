#include "app/Application.h"

#include "core/SettingsFile.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <clocale>

namespace orvella {

namespace {
bool isOffscreen()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return platform.startsWith("offscreen") || platform.startsWith("minimal");
}
} // namespace

void configureApplicationBeforeConstruction()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvella"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvellaTV"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVELLA_APP_VERSION));
    // The video item renders through OpenGL on a display; the offscreen platform has no GL
    // context to share, so the software scene graph (and mpv's software renderer) serve there.
    QQuickWindow::setGraphicsApi(
        isOffscreen() ? QSGRendererInterface::Software : QSGRendererInterface::OpenGL);
}

void configureApplication(QGuiApplication &app)
{
    Q_UNUSED(app);
    // libmpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    setAsideUnreadableSettings();
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

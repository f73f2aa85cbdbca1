#include "app/Application.h"

#include "core/SettingsFile.h"
#include "platform/SceneGraphChoice.h"

#include <QGuiApplication>
#include <QQmlEngine>
#include <clocale>

namespace orvella {

void configureApplicationBeforeConstruction()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvella"));
    QCoreApplication::setApplicationName(QStringLiteral("OrvellaTV"));
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

#include "app/AppModel.h"
#include "app/Application.h"
#include "app/QuitRequests.h"
#include "app/QuitSignals.h"
#include "platform/DesktopWarmUp.h"
#include "platform/LoopbackPlaylistServer.h"
#include "platform/MpvLibrary.h"
#include "platform/ShaderCacheGuard.h"
#include "platform/StartupTrace.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <optional>

Q_IMPORT_QML_PLUGIN(OrvellaPlugin)

int main(int argc, char *argv[])
{
    orvella::markStartup(orvella::StartupMilestone::MainEntered);
    // Before the first thread and the first request: a SIGTERM, SIGINT or SIGHUP while the client
    // starts waits for the event loop, and the run ends as on Quit. Once the loop has ended they
    // end the process again, should its teardown hang.
    std::optional<orvella::QuitSignals> quitSignals(std::in_place);
    // Before any thread starts (it changes the environment) and before the driver loads.
    orvella::disableShaderCacheWhenDiskFull();
    orvella::keepLoopbackOffProxies();
    orvella::configureApplicationBeforeConstruction();
    // The live player's library loads beside the window's start (after the environment is
    // settled: the loader reads it).
    orvella::preloadMpvLibrary();
    QGuiApplication app(argc, argv);
    orvella::configureApplication(app);
    // The environment is settled: the bus library reads it on its own thread.
    orvella::warmUpDesktopServices();

    // The one app model of the process; building it starts the bootstrap. It outlives the
    // engine, whose views read it.
    const std::unique_ptr<orvella::AppModel> model = orvella::AppBuilder().build();
    orvella::AppModel::setInstance(model.get());

    int result = 0;
    {
        // The close button, the window's loss, SIGTERM, SIGINT and SIGHUP end the run as the Quit
        // command does.
        orvella::QuitRequests quitRequests(*model, *quitSignals);
        QQmlApplicationEngine engine;
        orvella::prepareEngine(engine);
        QObject::connect(
            &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
            [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
        engine.load(orvella::mainWindowUrl());
        orvella::markStartup(orvella::StartupMilestone::QmlLoaded);
        if (auto *window = engine.rootObjects().isEmpty()
                ? nullptr
                : qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst())) {
            // Emitted on the render thread; the mark is thread-safe.
            QObject::connect(
                window, &QQuickWindow::frameSwapped, window,
                [] { orvella::markStartup(orvella::StartupMilestone::FirstWindowFrame); },
                Qt::DirectConnection);
            quitRequests.watch(window);
            // Event notices wait while the window is in front, or about to be.
            model->foreground().watch(window);
        }
        result = app.exec();
    }
    quitSignals.reset();
    orvella::AppModel::setInstance(nullptr);
    return result;
}

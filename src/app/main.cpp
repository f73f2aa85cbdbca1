#include "app/AppModel.h"
#include "app/Application.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(OrvellaPlugin)

int main(int argc, char *argv[])
{
    orvella::configureApplicationBeforeConstruction();
    QGuiApplication app(argc, argv);
    orvella::configureApplication(app);

    // The one app model of the process; building it starts the bootstrap. It outlives the
    // engine, whose views read it.
    const std::unique_ptr<orvella::AppModel> model = orvella::AppBuilder().build();
    orvella::AppModel::setInstance(model.get());

    int result = 0;
    {
        QQmlApplicationEngine engine;
        orvella::prepareEngine(engine);
        QObject::connect(
            &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
            [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
        engine.load(orvella::mainWindowUrl());
        result = app.exec();
    }
    orvella::AppModel::setInstance(nullptr);
    return result;
}

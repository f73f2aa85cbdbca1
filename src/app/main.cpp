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

    QQmlApplicationEngine engine;
    orvella::prepareEngine(engine);
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreationFailed, &app,
        [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    engine.load(orvella::mainWindowUrl());
    return app.exec();
}

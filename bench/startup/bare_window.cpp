// The baseline for the client's first window frame: a bare Qt Quick ApplicationWindow of the
// client's size on the same scene graph back end. Prints "first window frame" on stderr as its
// first frame is swapped.
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <atomic>
#include <cstdio>

int main(int argc, char *argv[])
{
    QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.loadData("import QtQuick\nimport QtQuick.Controls\n"
                    "ApplicationWindow { width: 1280; height: 800; visible: true }");
    if (engine.rootObjects().isEmpty())
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    static std::atomic_bool printed = false;
    QObject::connect(
        window, &QQuickWindow::frameSwapped, window,
        [] {
            if (!printed.exchange(true)) {
                std::fputs("first window frame\n", stderr);
                std::fflush(stderr);
            }
        },
        Qt::DirectConnection);
    return app.exec();
}

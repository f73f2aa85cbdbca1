#include "app/Application.h"

#include <QDir>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <gtest/gtest.h>

Q_IMPORT_QML_PLUGIN(OrvellaPlugin)

// Graphics drivers and sound plugins are opened at run time and closed when the display or the
// device goes. Test processes never unload a library, so the leak checker can still name the
// library behind what it holds at exit and the suppressions for system libraries apply.
extern "C" int dlclose(void *)
{
    return 0;
}

int main(int argc, char **argv)
{
    // Every test process gets its own settings, caches and data folders, so tests running side
    // by side never read each other's settings and never touch the user's.
    QTemporaryDir home;
    for (const char *name : { "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" }) {
        const QString path = home.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        qputenv(name, QFile::encodeName(path));
    }

    orvella::configureApplicationBeforeConstruction();
    QGuiApplication app(argc, argv);
    orvella::configureApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();

    // Tasks that their owners stopped at the end of the last test resume on the next turns of
    // the event loop; let them run out so their frames are freed before the process ends.
    QEventLoop settle;
    QTimer::singleShot(std::chrono::milliseconds(30), &settle, &QEventLoop::quit);
    settle.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}

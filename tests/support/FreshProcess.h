#pragma once

// Benchmarks measure each case in a process of its own: this program run again with
// `arguments`, in empty config and cache folders and with the basic render loop.
//
//   for (const QByteArray &line : orvella::test::runFreshProcess({ "--measure", mode }, 60s)) ...

#include "support/TestAsync.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>

namespace orvella::test {

// The lines the process printed on its standard output (its errors pass through).
inline QList<QByteArray> runFreshProcess(
    const QStringList &arguments, std::chrono::milliseconds deadline)
{
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    environment.insert(QStringLiteral("QSG_RENDER_LOOP"), QStringLiteral("basic"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    waitUntil([&] { return process.state() == QProcess::NotRunning; }, deadline);
    return process.readAllStandardOutput().split('\n');
}

} // namespace orvella::test

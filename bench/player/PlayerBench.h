#pragma once

// What the player benchmarks share: the service double serving the fixtures, started once, and
// a main that runs the registered benchmarks in a GUI application set up as the client's.
#include "app/Application.h"
#include "support/ServiceDouble.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace orvella::bench {

inline test::ServiceDouble &service()
{
    static test::ServiceDouble double_;
    static const bool started = double_.start();
    if (!started)
        qFatal("the service double could not start");
    return double_;
}

inline int runBenchmarks(int argc, char **argv)
{
    configureApplicationBeforeConstruction();
    QGuiApplication app(argc, argv);
    configureApplication(app);
    benchmark::Initialize(&argc, argv);
    service();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace orvella::bench

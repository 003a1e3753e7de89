#pragma once

// The main of every benchmark program: the benchmarks registered in it run under a QApplication
// on the offscreen platform plugin, since figures are comparable only on one plugin and a build
// machine has no display. releaseFixtures frees what the benchmarks kept (widgets, database
// connections) while the application still exists.
#include <QApplication>
#include <QByteArray>

#include <benchmark/benchmark.h>

#include <functional>

inline int runBenchmarks(int argc, char** argv, const std::function<void()>& releaseFixtures = {})
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (releaseFixtures)
        releaseFixtures();
    return 0;
}

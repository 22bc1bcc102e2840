#pragma once
// The main of the desktop window's benchmarks: Qt's offscreen platform
// unless the caller chose one, and the application name the window's
// settings use.
#include <QApplication>
#include <benchmark/benchmark.h>

namespace sentrel::bench {

inline int runWindowBenchmarks(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sentrel"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace sentrel::bench

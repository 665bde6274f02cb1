// The benchmarks' entry: Qt's SQL drivers are plugins, which load only
// once a QCoreApplication exists. Benchmarks of windows (built with
// TORVIKA_BENCH_WINDOWS) get the program's application object instead, on
// the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <QCoreApplication>
#include <benchmark/benchmark.h>

#ifdef TORVIKA_BENCH_WINDOWS
#include "shell/ui/application.h"

#include <QElapsedTimer>
#include <string>
#endif

int main(int argc, char** argv) {
#ifdef TORVIKA_BENCH_WINDOWS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer timer;
    timer.start();
    torvika::Application app(argc, argv);
    // Made once per process, so timed here rather than by a benchmark.
    benchmark::AddCustomContext("application_object_ms", std::to_string(double(timer.nsecsElapsed()) / 1e6));
#else
    QCoreApplication app(argc, argv);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

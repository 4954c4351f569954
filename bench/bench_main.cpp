// The benchmark programs run inside a QCoreApplication, as a host runs the
// library; the widgets' benchmark runs in a QApplication, off screen unless
// a platform is chosen.

#include <benchmark/benchmark.h>

#ifdef BRINDLE_BENCH_WIDGETS
#include <QApplication>
using Application = QApplication;
#else
#include <QCoreApplication>
using Application = QCoreApplication;
#endif

int main(int argc, char** argv)
{
#ifdef BRINDLE_BENCH_WIDGETS
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

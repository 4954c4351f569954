// Brindle Studio as a whole process on the offscreen platform: start-up,
// the sample database and model opened, the example queries listed, a
// query opened and shown, its statement run to the last row and a picture
// of the window written. The time to a shown window is below this.

#include <benchmark/benchmark.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

namespace {

void BM_StudioShownAndRun(benchmark::State& state)
{
    QTemporaryDir dir;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BRINDLE_STUDIO), {QStringLiteral("--query"), QStringLiteral("uk_orders_2024"),
                                                       QStringLiteral("--picture"), dir.filePath("studio.png")});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError(("the studio failed: " + process.readAllStandardError().trimmed()).constData());
            return;
        }
    }
}
BENCHMARK(BM_StudioShownAndRun)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

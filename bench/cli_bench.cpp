// The brindle tool as a whole process, as a script pays for it: start-up,
// loading the sample model and an example query, building the statement
// and, for run, opening the sample database and reading the rows.

#include <benchmark/benchmark.h>

#include <QProcess>
#include <QStringList>

namespace {

const QString kModel = QStringLiteral(BRINDLE_SAMPLE_FORM);
const QString kQuery = QStringLiteral(BRINDLE_EXAMPLE_QUERIES "/uk_orders_2024.qry");

void runTool(benchmark::State& state, const QStringList& args)
{
    for (auto _ : state) {
        QProcess process;
        process.start(QStringLiteral(BRINDLE_TOOL), args);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError("the tool failed");
            return;
        }
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
}

// What any command costs before it does anything.
void BM_Version(benchmark::State& state)
{
    runTool(state, {QStringLiteral("--version")});
}

void BM_Sql(benchmark::State& state)
{
    runTool(state, {QStringLiteral("sql"), QStringLiteral("--model"), kModel, QStringLiteral("--query"), kQuery});
}

void BM_RunCsv(benchmark::State& state)
{
    runTool(state, {QStringLiteral("run"), QStringLiteral("--model"), kModel, QStringLiteral("--query"), kQuery,
                    QStringLiteral("--db"), QStringLiteral("sqlite:" BRINDLE_SAMPLE_DB), QStringLiteral("--format"),
                    QStringLiteral("csv")});
}

} // namespace

BENCHMARK(BM_Version)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sql)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

// A result of 1,000,000 rows (a recursive count in SQLite, three columns)
// shown through the result model: the time from Run until the first batch
// is in the model, with the rows the model then holds and the growth of
// the resident set. The rest of the result is never fetched: the statement
// is stopped once the first rows are there.

#include <brindle/query/result_model.h>

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QTimer>

using namespace brindle;

namespace {

const QString kConnection = QStringLiteral("bench-runner");

// Kilobytes, from /proc; 0 where there is none.
qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

void BM_FirstRowsOfAMillion(benchmark::State& state)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
    }
    const BoundStatement statement{
        QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1000000) "
                       "SELECT x, x * 2.5 AS half, 'row ' || x AS label FROM c"),
        {},
        {QStringLiteral("Number"), QStringLiteral("Value"), QStringLiteral("Label")}};
    QueryResultModel model;
    model.Runner().SetConnectionName(kConnection);
    QTimer tick;
    tick.start(1);
    qint64 rows = 0;
    qint64 growth = 0;
    for (auto _ : state) {
        const qint64 before = residentKb();
        model.Run(statement);
        while (model.rowCount() == 0
               && (model.GetState() == QueryResultModel::State::Executing
                   || model.GetState() == QueryResultModel::State::Fetching))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        rows = model.rowCount();
        growth = std::max(growth, residentKb() - before);
        model.Runner().Stop();
        state.ResumeTiming();
    }
    state.counters["rows_held"] = static_cast<double>(rows);
    state.counters["rss_growth_kb"] = static_cast<double>(growth);
    QSqlDatabase::removeDatabase(kConnection);
}
BENCHMARK(BM_FirstRowsOfAMillion)->Unit(benchmark::kMillisecond);

} // namespace

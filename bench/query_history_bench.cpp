// Undo and redo of one step on a large query, without any widget: each
// loads the whole query text back, so a step costs about one load.

#include "query_shape.h"

#include <brindle/query/query_history.h>

#include <benchmark/benchmark.h>

using namespace brindle;

namespace {

// The query with one step to undo: the last condition's value changed.
std::unique_ptr<TVxQuery> queryWithStep(int conditions)
{
    auto query = bench::makeQuery(conditions);
    TQueryHistory::Of(*query);
    query->AcceptWordValue(query->GetLastRow(), wrValue1, QStringLiteral("changed"));
    return query;
}

// range(1): 1 times the undo, 0 the redo; the other runs untimed.
void BM_HistoryStep(benchmark::State& state)
{
    auto query = queryWithStep(static_cast<int>(state.range(0)));
    TQueryHistory& history = TQueryHistory::Of(*query);
    const bool undo = state.range(1) == 1;
    for (auto _ : state) {
        if (!undo) {
            state.PauseTiming();
            history.Undo();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(undo ? history.Undo() : history.Redo());
        if (undo) {
            state.PauseTiming();
            history.Redo();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_HistoryStep)->ArgNames({"rows", "undo"})->Args({1000, 1})->Args({1000, 0})->Unit(benchmark::kMillisecond);

// What recording adds to a change: the value accepted, the text taken.
void BM_HistoryRecord(benchmark::State& state)
{
    auto query = queryWithStep(static_cast<int>(state.range(0)));
    if (state.range(1) == 0)
        TQueryHistory::Of(*query).SetDepth(0);
    int value = 0;
    for (auto _ : state)
        query->AcceptWordValue(query->GetLastRow(), wrValue1, QString::number(++value));
}
BENCHMARK(BM_HistoryRecord)->ArgNames({"rows", "recording"})->Args({1000, 1})->Args({1000, 0})->Unit(benchmark::kMillisecond);

} // namespace

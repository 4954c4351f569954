// A query of many simple conditions in nested brackets of ten over a model
// of 50 tables, with result fields on 10 of them: adding the conditions one
// by one, building the statement, and writing the readable text, at 1,000,
// 10,000 and 100,000 conditions.

#include "query_shape.h"

#include <benchmark/benchmark.h>

using bench::makeQuery;

namespace {

void BM_AddConditions(benchmark::State& state)
{
    for (auto _ : state) {
        auto query = makeQuery(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(query->Filter()->GetRowCount());
        state.PauseTiming();
        query.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddConditions)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_BuildQueryAndGetSQL(benchmark::State& state)
{
    auto query = makeQuery(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        query->BuildQuery();
        benchmark::DoNotOptimize(query->QResult()->GetSQL().Count());
    }
    state.counters["lines"] = query->QResult()->GetSQL().Count();
}
BENCHMARK(BM_BuildQueryAndGetSQL)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_GetQueryText(benchmark::State& state)
{
    auto query = makeQuery(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(query->GetQueryText().Count());
}
BENCHMARK(BM_GetQueryText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

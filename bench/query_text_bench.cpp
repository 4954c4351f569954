// The query text of the query in nested brackets of ten (query_shape.h):
// writing it and reading it into a new query, at 1,000, 10,000 and 100,000
// conditions.

#include "query_shape.h"

#include <benchmark/benchmark.h>

namespace {

void BM_SaveQueryText(benchmark::State& state)
{
    auto query = bench::makeQuery(static_cast<int>(state.range(0)));
    brindle::TStringList lines;
    for (auto _ : state) {
        query->SaveToStrings(lines);
        benchmark::DoNotOptimize(lines.Count());
    }
    state.counters["lines"] = lines.Count();
}
BENCHMARK(BM_SaveQueryText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadQueryText(benchmark::State& state)
{
    brindle::TStringList lines;
    bench::makeQuery(static_cast<int>(state.range(0)))->SaveToStrings(lines);
    for (auto _ : state) {
        state.PauseTiming();
        auto query = bench::newQuery();
        state.ResumeTiming();
        query->LoadFromStrings(lines);
        benchmark::DoNotOptimize(query->Filter()->GetRowCount());
        state.PauseTiming();
        query.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadQueryText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

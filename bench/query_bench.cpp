// A query of many simple conditions in nested brackets of ten over a model
// of 50 tables, with result fields on 10 of them: adding the conditions one
// by one, building the statement, and writing the readable text, at 1,000,
// 10,000 and 100,000 conditions. And the query's repair when the model
// removes a field that a tenth of the conditions use.

#include "query_shape.h"

#include <benchmark/benchmark.h>

using bench::makeQuery;
using namespace brindle;

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
BENCHMARK(BM_BuildQueryAndGetSQL)->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// The same statement in each syntax (second argument: the TSQLSyntax
// ordinal): the server syntaxes' names and literals must cost no more.
void BM_BuildQueryInSyntax(benchmark::State& state)
{
    auto query = makeQuery(static_cast<int>(state.range(0)));
    query->SetSQLSyntax(static_cast<TSQLSyntax>(state.range(1)));
    for (auto _ : state) {
        query->BuildQuery();
        benchmark::DoNotOptimize(query->QResult()->GetSQL().Count());
    }
    state.SetLabel(SQLSyntaxToStr(query->SQLSyntax()).toStdString());
}
BENCHMARK(BM_BuildQueryInSyntax)
    ->ArgsProduct({{10000}, {ssSQL2, ssPostgreSQL, ssSQLite, ssMySQL, ssMSSQL}})
    ->Unit(benchmark::kMicrosecond);

void BM_GetQueryText(benchmark::State& state)
{
    auto query = makeQuery(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(query->GetQueryText().Count());
}
BENCHMARK(BM_GetQueryText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Brackets of ten conditions, the i-th on field i % 10 of a model of its
// own, so that removing field 0 takes a tenth of them.
void BM_RemoveUsedField(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    TVxDBInfo info;
    info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& list) {
        for (int f = 0; f < 10; ++f)
            list.Add(QStringLiteral("F%1").arg(f), ftInteger, 4);
    };
    for (auto _ : state) {
        state.PauseTiming();
        auto own = std::make_unique<TVxDBStructure>();
        own->SetDatabaseInfo(&info);
        TDSTable* table = own->Tables(own->AddTable(QStringLiteral("T"), QString()));
        for (int f = 0; f < 10; ++f)
            own->Fields(own->AddField(kfkData, QStringLiteral("F%1").arg(f), QStringLiteral("Field %1").arg(f), table))
                ->AddAppliedOperators();
        auto query = std::make_unique<TVxQuery>();
        query->SetAppearanceOptions(query->AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
        query->SetDbStruct(own.get());
        query->SetActive(true);
        for (int b = 0; b < count / 10; ++b) {
            TFilterBracket* bracket = query->AddBracket(query->Filter());
            for (int i = 0; i < 10; ++i)
                query->AddCondition(bracket, own->Fields(i));
        }
        state.ResumeTiming();
        own->DelField(0);
        benchmark::DoNotOptimize(query->Filter()->GetRowCount());
        state.PauseTiming();
        query.reset();
        own.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RemoveUsedField)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

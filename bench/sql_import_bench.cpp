// Reading SQL back: the statement the builder writes for the query in nested
// brackets of ten (query_shape.h), parsed alone and imported into a new
// query, at 1,000, 10,000 and 100,000 conditions; and a flat chain of
// conditions joined by AND, which the parser reads without recursing.

#include "query_shape.h"
#include <brindle/sqlimport/sql_parser.h>

#include <benchmark/benchmark.h>

namespace {

// With BRINDLE_STATEMENTS_DIR set, each statement is also written there, so
// that the parsers in bench/peers read the very same text.
brindle::TStringList kept(const brindle::TStringList& sql, const QString& name)
{
    const QString dir = qEnvironmentVariable("BRINDLE_STATEMENTS_DIR");
    if (!dir.isEmpty())
        sql.SaveToFile(dir + u'/' + name + QStringLiteral(".sql"));
    return sql;
}

brindle::TStringList builtStatement(int conditions)
{
    auto query = bench::makeQuery(conditions);
    query->BuildQuery();
    return kept(query->QResult()->GetSQL(), QStringLiteral("nested_%1").arg(conditions));
}

brindle::TStringList flatChain(int conditions)
{
    QStringList lines{QStringLiteral("SELECT t0.Value2 FROM Table0 t0 WHERE")};
    for (int i = 0; i < conditions; ++i)
        lines << QStringLiteral("t0.Value%1 = %2%3").arg(2 + i % 4).arg(i).arg(i + 1 < conditions ? " AND" : "");
    return kept(brindle::TStringList(lines), QStringLiteral("flat_%1").arg(conditions));
}

void parse(benchmark::State& state, const brindle::TStringList& sql)
{
    brindle::TVxSQLParser parser;
    parser.SetSQL(sql);
    for (auto _ : state) {
        parser.Parse();
        benchmark::DoNotOptimize(parser.ParserResult().WhereClause());
    }
}

void import(benchmark::State& state, const brindle::TStringList& sql, brindle::TSQLSyntax syntax = brindle::ssSQL2)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto query = bench::newQuery();
        query->SetSQLSyntax(syntax);
        state.ResumeTiming();
        query->ParseSQL(sql);
        benchmark::DoNotOptimize(query->Filter()->GetRowCount());
        state.PauseTiming();
        query.reset();
        state.ResumeTiming();
    }
}

void BM_ParseNested(benchmark::State& state) { parse(state, builtStatement(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_ParseNested)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportNested(benchmark::State& state) { import(state, builtStatement(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_ImportNested)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The nested statement written and read back in each syntax (second
// argument: the TSQLSyntax ordinal).
void BM_ImportNestedInSyntax(benchmark::State& state)
{
    const auto syntax = static_cast<brindle::TSQLSyntax>(state.range(1));
    auto written = bench::makeQuery(static_cast<int>(state.range(0)));
    written->SetSQLSyntax(syntax);
    written->BuildQuery();
    import(state, written->QResult()->GetSQL(), syntax);
    state.SetLabel(brindle::SQLSyntaxToStr(syntax).toStdString());
}
BENCHMARK(BM_ImportNestedInSyntax)
    ->ArgsProduct(
        {{10000}, {brindle::ssSQL2, brindle::ssPostgreSQL, brindle::ssSQLite, brindle::ssMySQL, brindle::ssMSSQL}})
    ->Unit(benchmark::kMillisecond);

void BM_ParseFlatChain(benchmark::State& state) { parse(state, flatChain(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_ParseFlatChain)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ImportFlatChain(benchmark::State& state) { import(state, flatChain(static_cast<int>(state.range(0)))); }
BENCHMARK(BM_ImportFlatChain)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

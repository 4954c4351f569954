// A schema of real size in the model text: 2,000 tables, 20,000 fields,
// 3,000 links, 200 named groups and 100 conditions, saved and loaded at a
// quarter, once and four times that size; and the join path search between
// random tables of it, against the plain expansion of every chain.

#include "datamodel/db_structure.h"
#include "support/exhaustive_path_search.h"

#include <benchmark/benchmark.h>


#include <memory>
#include <random>

using namespace brindle;

namespace {

struct Schema {
    TVxDBInfo info;
    TVxDBStructure model;
    TStringList text;

    explicit Schema(double scale)
    {
        const int tables = static_cast<int>(2000 * scale);
        const int links = static_cast<int>(3000 * scale);
        const int groups = static_cast<int>(200 * scale);
        const int conditions = static_cast<int>(100 * scale);
        info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& fields) {
            for (int c = 0; c < 10; ++c)
                fields.Add(QStringLiteral("Column%1").arg(c), c % 3 ? ftInteger : ftString, 20);
        };
        model.SetDatabaseInfo(&info);
        model.BeginUpdate();
        std::mt19937 rng(7);
        for (int t = 0; t < tables; ++t) {
            TDSTable* table = model.Tables(model.AddTable(QStringLiteral("Table%1").arg(t), QStringLiteral("Table %1").arg(t)));
            table->SetTableAlias(QStringLiteral("t%1").arg(t));
            for (int c = 0; c < 10; ++c) {
                TDSField* field = model.Fields(model.AddField(kfkData, QStringLiteral("Column%1").arg(c),
                                                              QStringLiteral("Column %1 of %2").arg(c).arg(t), table));
                field->AddAppliedOperators();
            }
        }
        for (int l = 0; l < links; ++l)
            model.AddLinkByExpr(QStringLiteral("Table%1-Table%2:Column1=Column2")
                                    .arg(rng() % tables)
                                    .arg(rng() % tables));
        for (int g = 0; g < groups; ++g) {
            TDSFieldGroup* group = model.FieldGroups().AddGroup(QStringLiteral("Group %1").arg(g), nullptr);
            for (int f = g; f < model.FieldCount(); f += groups * 2)
                group->Add(model.Fields(f));
        }
        for (int c = 0; c < conditions; ++c) {
            auto condition = std::make_unique<TDSCondition>(&model);
            condition->SetDisplayFormat(QStringLiteral("column 1 of table %1 above @").arg(c));
            condition->SetSQLExpr(QStringLiteral("t%1.Column1 > @1").arg(c));
            model.Conditions().Add(std::move(condition));
        }
        model.EndUpdate();
        model.SaveToStrings(text);
    }
};

Schema& schema(int quarterScale)
{
    static std::unique_ptr<Schema> schemas[17];
    if (!schemas[quarterScale])
        schemas[quarterScale] = std::make_unique<Schema>(quarterScale / 4.0);
    return *schemas[quarterScale];
}

void BM_SaveToStrings(benchmark::State& state)
{
    Schema& s = schema(static_cast<int>(state.range(0)));
    TStringList out;
    for (auto _ : state)
        s.model.SaveToStrings(out);
    state.counters["lines"] = out.Count();
}
BENCHMARK(BM_SaveToStrings)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_LoadFromStrings(benchmark::State& state)
{
    Schema& s = schema(static_cast<int>(state.range(0)));
    TVxDBStructure target;
    for (auto _ : state)
        target.LoadFromStrings(s.text);
    state.counters["fields"] = target.FieldCount();
}
BENCHMARK(BM_LoadFromStrings)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond);

std::vector<std::pair<QString, QString>> randomPairs(int count)
{
    std::mt19937 rng(11);
    std::vector<std::pair<QString, QString>> pairs;
    for (int i = 0; i < count; ++i)
        pairs.emplace_back(QStringLiteral("t%1").arg(rng() % 2000), QStringLiteral("t%1").arg(rng() % 2000));
    return pairs;
}

void BM_GetPath(benchmark::State& state)
{
    Schema& s = schema(4);
    const auto pairs = randomPairs(1000);
    std::size_t i = 0;
    int found = 0;
    for (auto _ : state) {
        const auto& [from, to] = pairs[i++ % pairs.size()];
        found += s.model.GetPath(from, to) ? 1 : 0;
    }
    state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GetPath)->Unit(benchmark::kMicrosecond);

// The plain expansion gives up past a budget of candidate paths; the counter
// tells how many of the searches it abandoned.
void BM_GetPathExhaustive(benchmark::State& state)
{
    Schema& s = schema(4);
    const auto pairs = randomPairs(1000);
    std::size_t i = 0;
    int gaveUp = 0;
    for (auto _ : state) {
        const auto& [from, to] = pairs[i++ % pairs.size()];
        gaveUp += reference::ExhaustivePathSearch(s.model, from, to, 2'000'000).gaveUp ? 1 : 0;
    }
    state.counters["gave_up"] = benchmark::Counter(gaveUp, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_GetPathExhaustive)->Unit(benchmark::kMicrosecond)->Iterations(40);

} // namespace

// A model the size of a real schema: 2,000 tables of 10 columns each, built
// through a database info component, then every field looked up by
// identifier and every table by name; and the fields of that model and of
// one ten times its size moved between groups; and the schema model of
// schema_model.h copied into another model, through its text and directly.

#include "schema_model.h"

#include <brindle/datamodel/db_structure.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace brindle;

namespace {

constexpr int kTables = 2000;
constexpr int kFieldsPerTable = 10;

QString tableName(int t) { return QStringLiteral("Table%1").arg(t); }
QString columnName(int c) { return QStringLiteral("Column%1").arg(c); }

struct Schema {
    TVxDBInfo info;
    std::unique_ptr<TVxDBStructure> model;

    Schema()
    {
        info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& fields) {
            for (int c = 0; c < kFieldsPerTable; ++c)
                fields.Add(columnName(c), c % 2 ? ftInteger : ftString, c % 2 ? 4 : 40);
        };
    }

    void build(int tables = kTables)
    {
        model = std::make_unique<TVxDBStructure>();
        model->SetDatabaseInfo(&info);
        model->BeginUpdate();
        for (int t = 0; t < tables; ++t) {
            TDSTable* table = model->Tables(model->AddTable(tableName(t), tableName(t)));
            for (int c = 0; c < kFieldsPerTable; ++c)
                model->AddField(kfkData, columnName(c), columnName(c), table);
        }
        model->EndUpdate();
    }
};

void BM_BuildModel(benchmark::State& state)
{
    Schema schema;
    for (auto _ : state) {
        schema.build();
        benchmark::DoNotOptimize(schema.model->FieldCount());
        state.PauseTiming();
        schema.model.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kMillisecond);

void BM_FieldByID(benchmark::State& state)
{
    Schema schema;
    schema.build();
    const int count = schema.model->FieldCount();
    for (auto _ : state)
        for (int id = 1; id <= count; ++id)
            benchmark::DoNotOptimize(schema.model->FieldByID(id));
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_FieldByID)->Unit(benchmark::kMillisecond);

void BM_TableByName(benchmark::State& state)
{
    Schema schema;
    schema.build();
    QStringList names;
    for (int t = 0; t < kTables; ++t)
        names.append(tableName(t).toUpper()); // letter case is ignored
    for (auto _ : state)
        for (const QString& name : names)
            benchmark::DoNotOptimize(schema.model->TableByName(tlByName, name));
    state.SetItemsProcessed(state.iterations() * kTables);
}
BENCHMARK(BM_TableByName)->Unit(benchmark::kMillisecond);

// Every field, in model order, leaves the group it stands in (at first the
// root group, which holds them all) for another: all into one group, or a
// group per table, as a retrieval makes them. Each round moves them into a
// second set of groups, so every round starts from full groups.
void BM_MoveFieldsIntoGroups(benchmark::State& state)
{
    const int fields = static_cast<int>(state.range(0));
    const int perGroup = state.range(1) ? static_cast<int>(state.range(1)) : fields;
    Schema schema;
    schema.build(fields / kFieldsPerTable);
    TVxDBStructure& model = *schema.model;
    std::vector<TDSFieldGroup*> sets[2];
    for (auto& set : sets)
        for (int g = 0; g < fields / perGroup; ++g)
            set.push_back(model.FieldGroups().AddGroup(QStringLiteral("Group %1").arg(g), nullptr));
    int round = 0;
    for (auto _ : state) {
        const std::vector<TDSFieldGroup*>& groups = sets[round++ % 2];
        for (int f = 0; f < fields; ++f)
            groups[static_cast<std::size_t>(f / perGroup)]->Add(model.Fields(f));
    }
    benchmark::DoNotOptimize(model.RootGroup()->Count());
    state.SetItemsProcessed(state.iterations() * fields);
}
BENCHMARK(BM_MoveFieldsIntoGroups)
    ->ArgNames({"fields", "perGroup"})
    ->Args({20000, 0})
    ->Args({200000, 0})
    ->Args({200000, 20})
    ->Unit(benchmark::kMillisecond);

// The copy of a model the data model editor works on, at 20,000 and
// 200,000 fields: as Assign made it before (the text written and read
// back), and directly.
void copyModel(benchmark::State& state, bool throughText)
{
    static std::unique_ptr<bench::SchemaModel> schema;
    static int fields = 0;
    if (fields != state.range(0)) {
        schema.reset();
        schema = std::make_unique<bench::SchemaModel>(state.range(0) / 20000.0);
        fields = static_cast<int>(state.range(0));
    }
    for (auto _ : state) {
        auto copy = std::make_unique<TVxDBStructure>();
        if (throughText) {
            TStringList text;
            schema->model.SaveToStrings(text);
            copy->LoadFromStrings(text);
        } else {
            schema->model.CopyContentTo(*copy);
        }
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
    state.counters["fields"] = fields;
}

void BM_CopyModelThroughText(benchmark::State& state) { copyModel(state, true); }
void BM_CopyModelContent(benchmark::State& state) { copyModel(state, false); }
BENCHMARK(BM_CopyModelThroughText)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyModelContent)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

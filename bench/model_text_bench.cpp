// The schema of schema_model.h in the model text, saved and loaded at a
// quarter, once, four and ten times its size (5,000 to 200,000 fields), and read from a form; and the join
// path search between random tables of it, against the plain expansion of
// every chain.

#include "schema_model.h"
#include "support/exhaustive_path_search.h"

#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/form_stream.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

using namespace brindle;

namespace {

struct Schema : bench::SchemaModel {
    TStringList text;

    explicit Schema(double scale) : SchemaModel(scale) { model.SaveToStrings(text); }
};

Schema& schema(int quarterScale)
{
    static std::unique_ptr<Schema> schemas[41];
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
BENCHMARK(BM_SaveToStrings)->Arg(1)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond);

void BM_LoadFromStrings(benchmark::State& state)
{
    Schema& s = schema(static_cast<int>(state.range(0)));
    TVxDBStructure target;
    for (auto _ : state)
        target.LoadFromStrings(s.text);
    state.counters["fields"] = target.FieldCount();
}
BENCHMARK(BM_LoadFromStrings)->Arg(1)->Arg(4)->Arg(16)->Arg(40)->Unit(benchmark::kMillisecond);

// The model as a form holds it: its text in a data block, loaded when the
// form has been read.
void BM_ReadForm(benchmark::State& state)
{
    RegisterCoreFormClasses();
    // A model of its own: the schema's refers to a database info.
    TVxDBStructure model;
    model.setObjectName(QStringLiteral("Model"));
    model.LoadFromStrings(schema(4).text);
    TStringList form;
    WriteForm(QStringLiteral("Form"), {&model}, form);
    for (auto _ : state)
        qDeleteAll(ReadForm(form, nullptr));
    state.counters["lines"] = form.Count();
}
BENCHMARK(BM_ReadForm)->Unit(benchmark::kMillisecond);

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

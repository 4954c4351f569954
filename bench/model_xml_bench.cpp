// The schema of schema_model.h written as the model XML document and read
// back, at its size (20,000 fields) and ten times that, with the growth
// between (a linear writer and reader give a BigO row near the per-field
// cost and a small RMS). The reader is given the document with its groups
// and field tables in the names it looks for (GROUP, TABLE); as written, the
// first named group would end the read.

#include "schema_model.h"

#include <brindle/datamodel/model_xml.h>

#include <benchmark/benchmark.h>

#include <memory>

using namespace brindle;

namespace {

bench::SchemaModel& schema(int scale)
{
    static bench::SchemaModel model(1.0);
    static std::unique_ptr<bench::SchemaModel> large;
    if (scale == 1)
        return model;
    if (!large)
        large = std::make_unique<bench::SchemaModel>(10.0);
    return *large;
}

void BM_SaveDMToXml(benchmark::State& state)
{
    TVxDBStructure& model = schema(static_cast<int>(state.range(0))).model;
    TStringList out;
    for (auto _ : state)
        SaveDMToXml(model, out);
    state.counters["lines"] = out.Count();
    state.SetComplexityN(model.FieldCount());
}
BENCHMARK(BM_SaveDMToXml)->Arg(1)->Arg(10)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

void BM_LoadDMFromXml(benchmark::State& state)
{
    TStringList written;
    SaveDMToXml(schema(static_cast<int>(state.range(0))).model, written);
    QString text = written.Text();
    text.replace(QStringLiteral("<Entity "), QStringLiteral("<GROUP "))
        .replace(QStringLiteral("</Entity>"), QStringLiteral("</GROUP>"))
        .replace(QStringLiteral(" tables=\""), QStringLiteral(" TABLE=\""));
    TStringList in;
    in.SetText(text);
    TVxDBStructure target;
    for (auto _ : state)
        LoadDMFromXml(target, in);
    state.counters["fields"] = target.FieldCount();
    state.SetComplexityN(target.FieldCount());
}
BENCHMARK(BM_LoadDMFromXml)->Arg(1)->Arg(10)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

} // namespace

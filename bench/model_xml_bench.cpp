// The schema of schema_model.h (20,000 fields) written as the model XML
// document and read back. The reader is given the document with its groups
// and field tables in the names it looks for (GROUP, TABLE); as written, the
// first named group would end the read.

#include "schema_model.h"

#include <brindle/datamodel/model_xml.h>

#include <benchmark/benchmark.h>

using namespace brindle;

namespace {

bench::SchemaModel& schema()
{
    static bench::SchemaModel model(1.0);
    return model;
}

void BM_SaveDMToXml(benchmark::State& state)
{
    TStringList out;
    for (auto _ : state)
        SaveDMToXml(schema().model, out);
    state.counters["lines"] = out.Count();
}
BENCHMARK(BM_SaveDMToXml)->Unit(benchmark::kMillisecond);

void BM_LoadDMFromXml(benchmark::State& state)
{
    TStringList written;
    SaveDMToXml(schema().model, written);
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
}
BENCHMARK(BM_LoadDMFromXml)->Unit(benchmark::kMillisecond);

} // namespace

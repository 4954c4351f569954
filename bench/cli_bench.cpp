// The brindle tool as a whole process, as a script pays for it: start-up,
// loading the sample model and an example query, building the statement
// and, for run, opening the sample database and reading the rows; and the
// statement of a 10,000-condition query on the 20,000-field schema of
// schema_model.h, where reading the two texts is most of the work; and
// convert of that schema and of one ten times its size.

#include "schema_model.h"

#include <brindle/datamodel/model_xml.h>
#include <brindle/query/query.h>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <vector>

namespace {

const QString kModel = QStringLiteral(BRINDLE_SAMPLE_FORM);
const QString kQuery = QStringLiteral(BRINDLE_EXAMPLE_QUERIES "/uk_orders_2024.qry");

void runTool(benchmark::State& state, const QStringList& args)
{
    for (auto _ : state) {
        QProcess process;
        process.start(QStringLiteral(BRINDLE_TOOL), args);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError(("the tool failed: " + process.readAllStandardError().trimmed()).constData());
            return;
        }
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
}

// What any command costs before it does anything.
void BM_Version(benchmark::State& state)
{
    runTool(state, {QStringLiteral("--version")});
}

void BM_Sql(benchmark::State& state)
{
    runTool(state, {QStringLiteral("sql"), QStringLiteral("--model"), kModel, QStringLiteral("--query"), kQuery});
}

void BM_RunCsv(benchmark::State& state)
{
    runTool(state, {QStringLiteral("run"), QStringLiteral("--model"), kModel, QStringLiteral("--query"), kQuery,
                    QStringLiteral("--db"), QStringLiteral("sqlite:" BRINDLE_SAMPLE_DB), QStringLiteral("--format"),
                    QStringLiteral("csv")});
}

// Where the large files are made: BRINDLE_LARGE_FILES_DIR keeps them in
// that folder, for profiling the tool.
struct LargeFolder {
    QTemporaryDir dir;
    QString folder = qEnvironmentVariableIsSet("BRINDLE_LARGE_FILES_DIR") ? qEnvironmentVariable("BRINDLE_LARGE_FILES_DIR")
                                                                          : dir.path();
};

// The schema's model text and a query on it of 10,000 conditions in
// brackets of ten, each on a column of one of five tables that the links
// join, so that the statement costs a few milliseconds and reading is what
// is measured.
struct LargeFiles : LargeFolder {
    QString model = folder + QStringLiteral("/schema.dbs");
    QString query = folder + QStringLiteral("/conditions.qry");
    QString rules = folder + QStringLiteral("/conditions.json");

    LargeFiles()
    {
        using namespace brindle;
        bench::SchemaModel schema(1.0);
        schema.model.SaveToFile(model);
        std::vector<TDSField*> fields;
        for (int t = 0; t < schema.model.TableCount() && fields.size() < 50; ++t)
            if (t == 0 || schema.model.GetPath(QStringLiteral("t0"), QStringLiteral("t%1").arg(t)))
                for (int f = 0; f < 10; ++f)
                    fields.push_back(schema.model.Fields(t * 10 + f));
        TVxQuery q;
        q.SetAppearanceOptions(q.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
        q.SetDbStruct(&schema.model);
        q.SetActive(true);
        for (int b = 0; b < 1000; ++b) {
            TFilterBracket* bracket = q.AddBracket(q.Filter());
            for (int c = 0; c < 10; ++c) {
                TDSField* field = fields[static_cast<std::size_t>((b * 10 + c) * 7) % fields.size()];
                auto* cond = static_cast<TSimpleCond*>(q.AddCondition(bracket, field));
                cond->SetValue(1, field->FieldType() == ftInteger ? QString::number(b) : QStringLiteral("v%1").arg(b));
            }
        }
        q.SaveToFile(query);
        writeRules(q);
    }

    // The same conditions as rules for the JavaScript peer
    // (bench/peers/knex_process.js): the joined tables, then the brackets
    // with each condition's column and value.
    void writeRules(brindle::TVxQuery& q)
    {
        using namespace brindle;
        q.BuildQuery();
        QJsonArray tables;
        const TRTableList& joined = q.QResult()->ResultTables();
        for (int t = 0; t < joined.Count(); ++t)
            tables.append(joined[t]->Table->TableAlias());
        QJsonArray groups;
        for (int b = 0; b < q.Filter()->GetRowCount(); ++b) {
            const auto* bracket = static_cast<const TFilterBracket*>(q.Filter()->GetRow(b));
            QJsonArray group;
            for (int c = 0; c < bracket->GetRowCount(); ++c) {
                const auto* cond = static_cast<const TSimpleCond*>(bracket->GetRow(c));
                const TDSField* field = cond->Field();
                const QString value = cond->GetValue(1);
                group.append(QJsonObject{
                    {QStringLiteral("column"), field->Table()->TableAlias() + u'.' + field->FieldName()},
                    {QStringLiteral("value"), field->FieldType() == ftInteger ? QJsonValue(value.toInt()) : QJsonValue(value)}});
            }
            groups.append(group);
        }
        QFile out(rules);
        out.open(QIODevice::WriteOnly);
        out.write(QJsonDocument(QJsonObject{{QStringLiteral("tables"), tables}, {QStringLiteral("groups"), groups}})
                      .toJson(QJsonDocument::Compact));
    }
};

void BM_SqlLarge(benchmark::State& state)
{
    static LargeFiles files;
    runTool(state, {QStringLiteral("sql"), QStringLiteral("--model"), files.model, QStringLiteral("--query"), files.query});
}

// The same statement written by a whole Node.js process with knex, the
// peer of bench/peers; skipped where the peers are not installed.
void BM_KnexProcessLarge(benchmark::State& state)
{
    static LargeFiles files;
    const QString script = QStringLiteral(BRINDLE_PEERS_DIR "/knex_process.js");
    if (!QFile::exists(QStringLiteral(BRINDLE_PEERS_DIR "/node_modules/knex"))) {
        state.SkipWithError("the peers are not installed: cd bench/peers && npm install");
        return;
    }
    for (auto _ : state) {
        QProcess process;
        process.start(QStringLiteral("node"), {script, files.rules});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            state.SkipWithError(("node failed: " + process.readAllStandardError().trimmed()).constData());
            return;
        }
        benchmark::DoNotOptimize(process.readAllStandardOutput());
    }
}

// convert of the schema at the scale of the argument (1: 20,000 fields, 10:
// 200,000), read as model text or XML and written in the other format.
struct ConvertFiles : LargeFolder {
    QString text;
    QString xml;

    explicit ConvertFiles(int scale)
        : text(folder + QStringLiteral("/schema%1.dbs").arg(scale)), xml(folder + QStringLiteral("/schema%1.xml").arg(scale))
    {
        bench::SchemaModel schema(scale);
        schema.model.SaveToFile(text);
        brindle::TStringList lines;
        brindle::SaveDMToXml(schema.model, lines);
        // With its groups and field tables in the names the reader looks
        // for, as bench/model_xml_bench.cpp gives it.
        QString document = lines.Text();
        document.replace(QStringLiteral("<Entity "), QStringLiteral("<GROUP "))
            .replace(QStringLiteral("</Entity>"), QStringLiteral("</GROUP>"))
            .replace(QStringLiteral(" tables=\""), QStringLiteral(" TABLE=\""));
        lines.SetText(document);
        lines.SaveToFile(xml);
    }
};

ConvertFiles& convertFiles(int scale)
{
    static std::map<int, std::unique_ptr<ConvertFiles>> files;
    auto& made = files[scale];
    if (!made)
        made = std::make_unique<ConvertFiles>(scale);
    return *made;
}

// One model in one format converted to the other or to the same.
void BM_Convert(benchmark::State& state, bool fromXml, const char* to)
{
    const ConvertFiles& files = convertFiles(static_cast<int>(state.range(0)));
    runTool(state, {QStringLiteral("convert"), QStringLiteral("--model"), fromXml ? files.xml : files.text,
                    QStringLiteral("--to"), QString::fromLatin1(to)});
}

} // namespace

BENCHMARK(BM_Version)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sql)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RunCsv)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SqlLarge)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_KnexProcessLarge)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, TextToText, false, "text")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, TextToXml, false, "xml")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, XmlToText, true, "text")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Convert, XmlToXml, true, "xml")->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

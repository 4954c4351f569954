// sql, text and params: a stored query turned into its statement, its
// readable text and its parameter list; import: a statement turned into a
// stored query.

#include "commands.h"
#include "error_report.h"
#include "model_loading.h"
#include "query_session.h"
#include "result_output.h"

#include <brindle/foundations/field_types.h>

namespace brindle::cli {
namespace {

void writeLines(const TStringList& lines, QTextStream& out)
{
    for (const QString& line : lines)
        out << line << '\n';
}

} // namespace

void RunSqlCommand(const Flags& flags, QTextStream& out)
{
    auto session = std::make_unique<QuerySession>(flags);
    writeLines(session->BuildSQL(), out);
    Dispose(std::move(session));
}

void RunTextCommand(const Flags& flags, QTextStream& out)
{
    auto session = std::make_unique<QuerySession>(flags);
    writeLines(session->Query().GetQueryText(), out);
    Dispose(std::move(session));
}

void RunParamsCommand(const Flags& flags, QTextStream& out)
{
    auto session = std::make_unique<QuerySession>(flags);
    session->BuildSQL();
    const TQueryResult* result = session->Query().QResult();
    // Four tab-separated fields a line: OneLine keeps them so.
    for (int i = 0; i < result->GetParamCount(); ++i) {
        const TSQLParam* param = result->GetParam(i);
        out << OneLine(param->ParamName()) << '\t' << OneLine(param->DisplayName()) << '\t'
            << FldTypeToStr(param->ParamType()) << '\t' << OneLine(param->GetFullValue()) << '\n';
    }
    Dispose(std::move(session));
}

const std::vector<FlagInfo>& ImportFlags()
{
    static const std::vector<FlagInfo> flags = {
        {"--model", "FILE", "the data model: model text, model XML (*.xml) or a form file holding a TVxDBStructure"},
        {"--sql", "FILE", "the SELECT statement; standard input when not given"},
        {"--syntax", "SYNTAX", "sql1, sql2 (default), oracle, access, nexusdb, postgresql, sqlite, mysql or mssql: the new query's syntax, its sub-queries read with it"},
    };
    return flags;
}

void RunImportCommand(const Flags& flags, QTextStream& out)
{
    const QString modelFile = flags.Required(QStringLiteral("--model"));
    const QString sqlFile = flags.Value(QStringLiteral("--sql"), QStringLiteral("-"));
    if (modelFile == QStringLiteral("-") && sqlFile == QStringLiteral("-"))
        throw UsageError{QStringLiteral("--model and --sql cannot both read standard input")};
    const TSQLSyntax syntax = ParseSyntax(flags.Value(QStringLiteral("--syntax"), QStringLiteral("sql2")));

    QObject owner;
    TVxQuery query;
    query.SetDbStruct(LoadModel(modelFile, &owner));
    query.SetSQLSyntax(syntax);
    const TStringList statement = ReadInputLines(sqlFile);
    try {
        query.ParseSQL(statement);
    } catch (const ESQLParserError& e) {
        throw StatementError(e, statement);
    }
    // The default titles would only repeat themselves in every text.
    query.SetSaveTitles(false);
    TStringList lines;
    query.SaveToStrings(lines);
    writeLines(lines, out);
}

} // namespace brindle::cli

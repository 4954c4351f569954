// sql, text and params: a stored query turned into its statement, its
// readable text and its parameter list.

#include "commands.h"
#include "query_session.h"
#include "result_output.h"

#include "field_types.h"

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
    QuerySession session(flags);
    writeLines(session.BuildSQL(), out);
}

void RunTextCommand(const Flags& flags, QTextStream& out)
{
    QuerySession session(flags);
    writeLines(session.Query().GetQueryText(), out);
}

void RunParamsCommand(const Flags& flags, QTextStream& out)
{
    QuerySession session(flags);
    session.BuildSQL();
    const TQueryResult* result = session.Query().QResult();
    // Four tab-separated fields a line: OneLine keeps them so.
    for (int i = 0; i < result->GetParamCount(); ++i) {
        const TSQLParam* param = result->GetParam(i);
        out << OneLine(param->ParamName()) << '\t' << OneLine(param->DisplayName()) << '\t'
            << FldTypeToStr(param->ParamType()) << '\t' << OneLine(param->GetFullValue()) << '\n';
    }
}

} // namespace brindle::cli

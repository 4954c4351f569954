// run: the statement of a stored query run by a QueryRunner on a copy of
// the database info's connection, its parameters bound to their stored
// values by type, the rows printed.

#include "commands.h"
#include "database_url.h"
#include "query_session.h"
#include "result_output.h"

#include <brindle/query/bound_statement.h>
#include <brindle/query/query_runner.h>

namespace brindle::cli {
namespace {

// Rows are written as they come; the table writer keeps them for its widths.
constexpr int kBatchRows = 1000;

} // namespace

void RunRunCommand(const Flags& flags, QTextStream& out)
{
    const DatabaseUrl url = ParseDatabaseUrl(flags.Required(QStringLiteral("--db")));
    const RowFormat format = ParseRowFormat(flags.Value(QStringLiteral("--format"), QStringLiteral("table")));
    QuerySession session(flags);
    session.BuildSQL();
    const BoundStatement statement = BindStatement(session.Query());
    // The info's connection has its time-outs and opens SQLite files read-only.
    TVxSqlDBInfo info;
    ApplyDatabaseUrl(url, info);
    QueryRunner runner;
    runner.UseDatabaseInfo(info);
    const std::unique_ptr<RowWriter> writer = MakeRowWriter(format, out);
    runner.Run(
        statement, kBatchRows, [&writer](const QStringList& names) { writer->Header(names); },
        [&writer](const QList<QVariantList>& rows) { writer->Rows(rows); });
    writer->Finish();
}

} // namespace brindle::cli

// run: the statement of a stored query executed through QtSql, its
// parameters bound to their stored values, the rows printed.

#include "commands.h"
#include "database_url.h"
#include "query_session.h"
#include "result_output.h"

#include <brindle/foundations/errors.h>

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace brindle::cli {
namespace {

[[noreturn]] void statementFailed(const QSqlQuery& query)
{
    throw EVxDBInfoError(dieStatement, QStringLiteral("The statement failed: %s"), {query.lastError().text()});
}

void execute(const QSqlDatabase& db, const QString& sql, const TQueryResult& result, RowWriter& writer)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        statementFailed(query);
    // A parameter of a disabled condition is not in the statement, and
    // binding it would make the counts disagree.
    for (int i = 0; i < result.GetParamCount(); ++i) {
        const TSQLParam* param = result.GetParam(i);
        const QString placeholder = u':' + param->ParamName();
        const QRegularExpression used(QRegularExpression::escape(placeholder) + QStringLiteral("\\b"));
        if (used.match(sql).hasMatch())
            query.bindValue(placeholder, param->GetFullValue());
    }
    if (!query.exec())
        statementFailed(query);
    const QSqlRecord record = query.record();
    QStringList names;
    for (int i = 0; i < record.count(); ++i)
        names.append(record.fieldName(i));
    writer.Header(names);
    while (query.next()) {
        QStringList cells;
        for (int i = 0; i < record.count(); ++i)
            cells.append(CellText(query.value(i)));
        writer.Row(cells);
    }
    if (query.lastError().isValid())
        statementFailed(query);
    writer.Finish();
}

} // namespace

void RunRunCommand(const Flags& flags, QTextStream& out)
{
    const DatabaseUrl url = ParseDatabaseUrl(flags.Required(QStringLiteral("--db")));
    const RowFormat format = ParseRowFormat(flags.Value(QStringLiteral("--format"), QStringLiteral("table")));
    QuerySession session(flags);
    const QString sql = session.BuildSQL().Text();
    // The info's connection has its time-outs and opens SQLite files read-only.
    TVxSqlDBInfo info;
    ApplyDatabaseUrl(url, info);
    const QSqlDatabase db = info.Database();
    const std::unique_ptr<RowWriter> writer = MakeRowWriter(format, out);
    execute(db, sql, *session.Query().QResult(), *writer);
}

} // namespace brindle::cli

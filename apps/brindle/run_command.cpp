// run: the statement of a stored query executed through QtSql, its
// parameters bound to their stored values, the rows printed.

#include "commands.h"
#include "database_url.h"
#include "query_session.h"
#include "result_output.h"

#include "errors.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace brindle::cli {
namespace {

const QString kConnection = QStringLiteral("brindle");

// The tool's one connection, open for its lifetime and removed after it.
class Connection {
public:
    explicit Connection(const DatabaseUrl& url)
    {
        if (!QSqlDatabase::isDriverAvailable(url.Driver))
            throw EVxDBInfoError(0, QStringLiteral("The QtSql driver %s is not available (available: %s)"),
                                 {url.Driver, QSqlDatabase::drivers().join(QStringLiteral(", "))});
        QSqlDatabase db = QSqlDatabase::addDatabase(url.Driver, kConnection);
        db.setDatabaseName(url.DatabaseName);
        db.setHostName(url.Host);
        db.setPort(url.Port);
        db.setUserName(url.User);
        db.setPassword(url.Password);
        // Only reading is asked of an SQLite file (its URL has no options);
        // a wrong path must fail rather than leave an empty new file behind.
        const bool sqliteFile =
            url.Driver == QStringLiteral("QSQLITE") && url.DatabaseName != QStringLiteral(":memory:");
        db.setConnectOptions(sqliteFile ? QStringLiteral("QSQLITE_OPEN_READONLY") : url.ConnectOptions);
        if (!db.open())
            throw EVxDBInfoError(0, QStringLiteral("Cannot open the database %s: %s"),
                                 {url.Shown, db.lastError().text()});
    }
    ~Connection()
    {
        QSqlDatabase::database(kConnection, false).close();
        QSqlDatabase::removeDatabase(kConnection);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QSqlDatabase Database() const { return QSqlDatabase::database(kConnection, false); }
};

[[noreturn]] void statementFailed(const QSqlQuery& query)
{
    throw EVxDBInfoError(0, QStringLiteral("The statement failed: %s"), {query.lastError().text()});
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
    const Connection connection(url);
    const std::unique_ptr<RowWriter> writer = MakeRowWriter(format, out);
    execute(connection.Database(), sql, *session.Query().QResult(), *writer);
}

} // namespace brindle::cli

#pragma once
// QueryRunner: runs a bound statement on a worker thread and hands its rows
// over in batches, as they are asked for.
//
// QtSql connections belong to the thread that made them, so the worker
// makes its own: a copy (QSqlDatabase::cloneDatabase) of the connection
// named by SetConnectionName, with that connection's driver, settings and
// connect options (an SQLite file stays read-only, its busy time-out stays).
// A copy of an in-memory SQLite connection is a new, empty database.
//
// After Start the worker prepares, binds and executes the statement and
// reports executed() with the column names; then it fetches rows only when
// FetchMore asks, so no more rows are in memory than the caller asked for.
// Rows come with rowsFetched(), the last batch marked.
//
// Cancel stops a running statement at once where the driver lets another
// thread interrupt it (SQLite: sqlite3_interrupt on the connection's handle;
// PostgreSQL: a libpq cancel request; MySQL and MariaDB: KILL QUERY from a
// second connection), and otherwise between two rows. The
// time-out limits each time the database works for the caller (executing
// the statement, fetching a batch); the time a view waits before it asks
// for more rows does not count. Either way the run ends with failed().
//
// Signals are emitted on the runner's thread. Starting again, Cancel and
// the destructor wait for the previous worker to end.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/db_info.h>
#include <brindle/query/bound_statement.h>

#include <QObject>

#include <functional>
#include <memory>

namespace brindle {

class TVxSqlDBInfo;

class BRINDLE_CORE_EXPORT QueryRunner : public QObject {
    Q_OBJECT

public:
    explicit QueryRunner(QObject* parent = nullptr);
    ~QueryRunner() override;

    // The QtSql connection the worker copies; it must exist.
    const QString& ConnectionName() const { return FConnectionName; }
    void SetConnectionName(const QString& name) { FConnectionName = name; }
    // The info's connection, opened here (raising its errors here), and its
    // QueryTimeout.
    void UseDatabaseInfo(TVxSqlDBInfo& info);
    // Seconds; 0 means no limit.
    int Timeout() const { return FTimeout; }
    void SetTimeout(int seconds) { FTimeout = qMax(seconds, 0); }

    // Ends a run still going, then starts this one; the first firstRows rows
    // are fetched without being asked for.
    void Start(const BoundStatement& statement, int firstRows);
    // Asks for up to rows more; nothing while no run is waiting for it.
    void FetchMore(int rows);
    void Cancel();
    // Cancels and waits for the worker to end; the run reports nothing more.
    void Stop();
    // Between Start and the last batch or a failure.
    bool IsActive() const { return FActive; }
    // The milliseconds the database has worked for the current run.
    qint64 DatabaseTime() const { return FDatabaseTime; }

    // Runs the statement to its end and waits, on the caller's thread: the
    // column names go to onColumns, the rows to onRows in batches of
    // batchSize. Raises EVxDBInfoError with the codes below.
    void Run(const BoundStatement& statement, int batchSize, const std::function<void(const QStringList&)>& onColumns,
             const std::function<void(const QList<QVariantList>&)>& onRows);

signals:
    void executed(const QStringList& columnNames);
    void rowsFetched(const QList<QVariantList>& rows, bool atEnd);
    // The database's message; code is one of the codes below.
    void failed(const QString& message, int code);

private:
    struct Work;
    // queued: reports come through the event queue, else Run takes them.
    void start(const BoundStatement& statement, int firstRows, bool queued);
    // Takes the worker's reports; false once the run has ended.
    bool deliver(const std::shared_ptr<Work>& work);

    QString FConnectionName;
    int FTimeout = 0;
    qint64 FDatabaseTime = 0;
    bool FActive = false;
    std::shared_ptr<Work> FWork;
};

// Codes of the failures, besides dieConnect (1) and dieStatement (2) of the
// database info: the connection cannot be opened, the database refuses the
// statement; and dieCancelled (4, db_info.h): Cancel stopped the run.
inline constexpr int dieTimedOut = 5; // the time-out stopped the run

} // namespace brindle

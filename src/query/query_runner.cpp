#include <brindle/query/query_runner.h>

#include <brindle/datamodel/sql_db_info.h>
#include <brindle/foundations/errors.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QLibrary>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace brindle {
namespace {

using Clock = std::chrono::steady_clock;

QString newConnectionName()
{
    static std::atomic<int> serial{0};
    return QStringLiteral("brindle-query-runner-%1").arg(++serial);
}

// MySQL's client library cannot cancel a statement: another connection with
// the same settings asks the server to end the one this connection runs.
// It is made on the stopping thread and ended there, as QtSql requires.
std::function<void()> mysqlKiller(const QSqlDatabase& db)
{
    QSqlQuery id(db);
    if (!id.exec(QStringLiteral("SELECT CONNECTION_ID()")) || !id.next())
        return {};
    const QString kill = QStringLiteral("KILL QUERY %1").arg(id.value(0).toULongLong());
    return [kill, driver = db.driverName(), host = db.hostName(), port = db.port(), user = db.userName(),
            password = db.password(), options = db.connectOptions(), database = db.databaseName()] {
        const QString name = newConnectionName();
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(driver, name);
            other.setHostName(host);
            other.setPort(port);
            other.setUserName(user);
            other.setPassword(password);
            other.setConnectOptions(options);
            other.setDatabaseName(database);
            if (other.open())
                QSqlQuery(other).exec(kill);
        }
        QSqlDatabase::removeDatabase(name);
    };
}

// How another thread stops the statement the connection runs; empty when
// the driver offers no way. The client libraries are the ones the QtSql
// drivers have loaded, looked up at run time so that the core needs no
// link to them.
std::function<void()> interrupterFor(const QSqlDatabase& db)
{
    if (db.driverName() == QStringLiteral("QMYSQL") || db.driverName() == QStringLiteral("QMARIADB"))
        return mysqlKiller(db);
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid())
        return {};
    void* connection = *static_cast<void* const*>(handle.constData());
    if (!connection)
        return {};
    if (qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        using Interrupt = void (*)(void*);
        static const auto interrupt =
            reinterpret_cast<Interrupt>(QLibrary::resolve(QStringLiteral("sqlite3"), 0, "sqlite3_interrupt"));
        if (interrupt)
            return [interrupt = interrupt, connection] { interrupt(connection); };
    } else if (qstrcmp(handle.typeName(), "PGconn*") == 0 || qstrcmp(handle.typeName(), "pg_conn*") == 0) {
        // QtSql names the type by its declaration, which libpq spells pg_conn.
        using GetCancel = void* (*)(void*);
        using Cancel = int (*)(void*, char*, int);
        using FreeCancel = void (*)(void*);
        const QString pq = QStringLiteral("pq");
        static const auto getCancel = reinterpret_cast<GetCancel>(QLibrary::resolve(pq, 5, "PQgetCancel"));
        static const auto cancel = reinterpret_cast<Cancel>(QLibrary::resolve(pq, 5, "PQcancel"));
        static const auto freeCancel = reinterpret_cast<FreeCancel>(QLibrary::resolve(pq, 5, "PQfreeCancel"));
        if (getCancel && cancel && freeCancel)
            if (void* request = getCancel(connection)) {
                const std::shared_ptr<void> owned(request, freeCancel);
                return [cancel = cancel, owned] {
                    char error[256];
                    cancel(owned.get(), error, sizeof error);
                };
            }
    }
    return {};
}

// SQLite has no date-time type: its date functions write and compare
// "yyyy-MM-dd HH:mm:ss" text, where QtSql would write ISO text with a "T"
// and milliseconds that would not compare equal.
QVariant forDriver(const QVariant& value, bool sqlite)
{
    if (!sqlite)
        return value;
    const auto withMs = [](const QTime& time) { return time.msec() ? QStringLiteral(".zzz") : QString(); };
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime moment = value.toDateTime();
        return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss") + withMs(moment.time()));
    }
    if (value.typeId() == QMetaType::QTime) {
        const QTime time = value.toTime();
        return time.toString(QStringLiteral("HH:mm:ss") + withMs(time));
    }
    return value;
}

} // namespace

struct QueryRunner::Work : std::enable_shared_from_this<Work> {
    struct Report {
        enum Kind { ColumnsKnown, RowBatch, Failure };
        explicit Report(Kind kind) : What(kind) {}
        Kind What;
        QStringList Columns;
        QList<QVariantList> Rows;
        bool AtEnd = false;
        QString Message;
        int Code = 0;
        qint64 DatabaseTime = 0;
    };

    std::mutex Mutex;
    std::condition_variable Wake;
    // Read between rows without the lock.
    std::atomic<bool> Stop{false};
    bool TimedOut = false;
    int Wanted = 0;
    bool Busy = false;
    bool HasDeadline = false;
    Clock::time_point Deadline;
    bool Ended = false;
    std::function<void()> Interrupt;
    std::deque<Report> Reports;
    // Set before the threads start for a run whose reports reach the
    // runner through its event queue.
    QueryRunner* Runner = nullptr;
    int TimeoutSeconds = 0;
    QElapsedTimer Call;
    qint64 DatabaseTime = 0;
    std::thread Worker;
    std::thread Stopper;

    void report(Report report)
    {
        {
            const std::lock_guard lock(Mutex);
            report.DatabaseTime = DatabaseTime;
            Reports.push_back(std::move(report));
        }
        Wake.notify_all();
        if (Runner)
            QMetaObject::invokeMethod(
                Runner, [runner = Runner, self = weak_from_this()] { runner->deliver(self.lock()); },
                Qt::QueuedConnection);
    }

    void fail(int code, const QString& message)
    {
        bool timedOut = false;
        {
            const std::lock_guard lock(Mutex);
            timedOut = TimedOut;
        }
        Report failure{Report::Failure};
        if (Stop) {
            failure.Code = timedOut ? dieTimedOut : dieCancelled;
            failure.Message = timedOut ? Format(QStringLiteral("The statement took longer than %d seconds and was "
                                                               "stopped"),
                                                {TimeoutSeconds})
                                       : QStringLiteral("The statement was cancelled");
        } else {
            failure.Code = code;
            failure.Message = message;
        }
        report(std::move(failure));
    }

    // The database works for the caller from here to finishCall.
    void beginCall()
    {
        {
            const std::lock_guard lock(Mutex);
            Busy = true;
            HasDeadline = TimeoutSeconds > 0;
            Deadline = Clock::now() + std::chrono::seconds(TimeoutSeconds);
        }
        Wake.notify_all();
        Call.start();
    }

    void finishCall()
    {
        {
            const std::lock_guard lock(Mutex);
            Busy = false;
            DatabaseTime += Call.elapsed();
        }
        Wake.notify_all();
    }

    // The rows asked for, 0 once the run is to stop.
    int waitForDemand()
    {
        std::unique_lock lock(Mutex);
        Wake.wait(lock, [this] { return Wanted > 0 || Stop; });
        return Stop ? 0 : Wanted;
    }

    void setInterrupt(std::function<void()> interrupt)
    {
        const std::lock_guard lock(Mutex);
        Interrupt = std::move(interrupt);
    }

    void run(const QString& source, const BoundStatement& statement)
    {
        const QString name = newConnectionName();
        {
            QSqlDatabase db = QSqlDatabase::cloneDatabase(source, name);
            if (db.open()) {
                setInterrupt(interrupterFor(db));
                execute(db, statement);
                setInterrupt({});
            } else {
                fail(dieConnect, Format(QStringLiteral("Cannot open the database: %s"), {db.lastError().text()}));
            }
        }
        QSqlDatabase::removeDatabase(name);
        {
            const std::lock_guard lock(Mutex);
            Ended = true;
        }
        Wake.notify_all();
    }

    void execute(const QSqlDatabase& db, const BoundStatement& statement)
    {
        const auto refused = [this](const QSqlQuery& query) {
            fail(dieStatement, Format(QStringLiteral("The statement failed: %s"), {query.lastError().text()}));
        };
        if (Stop)
            return fail(dieCancelled, {});
        QSqlQuery query(db);
        query.setForwardOnly(true);
        const bool sqlite = db.driverName() == QStringLiteral("QSQLITE");
        beginCall();
        bool ok = query.prepare(statement.SQL);
        if (ok) {
            for (const auto& [placeholder, value] : statement.Values)
                query.bindValue(placeholder, forDriver(value, sqlite));
            ok = query.exec();
        }
        finishCall();
        if (!ok || Stop)
            return refused(query);

        const QSqlRecord record = query.record();
        Report executed{Report::ColumnsKnown};
        for (int i = 0; i < record.count(); ++i)
            executed.Columns.append(record.fieldName(i));
        report(std::move(executed));

        while (const int wanted = waitForDemand()) {
            Report batch{Report::RowBatch};
            batch.Rows.reserve(qMin(wanted, 4096));
            beginCall();
            while (batch.Rows.size() < wanted && !Stop) {
                if (!query.next()) {
                    batch.AtEnd = true;
                    break;
                }
                QVariantList row;
                row.reserve(record.count());
                for (int i = 0; i < record.count(); ++i)
                    row.append(query.value(i));
                batch.Rows.append(std::move(row));
            }
            finishCall();
            if (Stop || (batch.AtEnd && query.lastError().isValid()))
                return refused(query);
            {
                const std::lock_guard lock(Mutex);
                Wanted -= static_cast<int>(batch.Rows.size());
            }
            const bool atEnd = batch.AtEnd;
            report(std::move(batch));
            if (atEnd)
                return;
        }
        fail(dieCancelled, {});
    }

    // Runs beside the worker: it stops the statement when asked or when the
    // time-out passes. An interrupt that comes before the database has
    // begun to work is lost, so it is repeated while the work goes on.
    void watch()
    {
        std::unique_lock lock(Mutex);
        while (!Ended) {
            if (Busy && HasDeadline && !Stop && Clock::now() >= Deadline) {
                TimedOut = true;
                Stop = true;
            }
            if (Busy && Stop) {
                if (Interrupt)
                    Interrupt();
                Wake.wait_for(lock, std::chrono::milliseconds(20));
            } else if (Busy && HasDeadline) {
                Wake.wait_until(lock, Deadline);
            } else {
                Wake.wait(lock);
            }
        }
    }

    void join()
    {
        if (Worker.joinable())
            Worker.join();
        if (Stopper.joinable())
            Stopper.join();
    }
};

QueryRunner::QueryRunner(QObject* parent) : QObject(parent) {}

QueryRunner::~QueryRunner()
{
    Stop();
}

void QueryRunner::UseDatabaseInfo(TVxSqlDBInfo& info)
{
    info.Open();
    FConnectionName = info.ConnectionName();
    SetTimeout(info.QueryTimeout());
}

void QueryRunner::Stop()
{
    if (!FWork)
        return;
    Cancel();
    FWork->join();
    FWork.reset();
    FActive = false;
}

void QueryRunner::Start(const BoundStatement& statement, int firstRows)
{
    start(statement, firstRows, true);
}

void QueryRunner::start(const BoundStatement& statement, int firstRows, bool queued)
{
    Stop();
    FDatabaseTime = 0;
    FActive = true;
    FWork = std::make_shared<Work>();
    FWork->Runner = queued ? this : nullptr;
    FWork->TimeoutSeconds = FTimeout;
    FWork->Wanted = qMax(firstRows, 0);
    Work& work = *FWork;
    work.Stopper = std::thread([&work] { work.watch(); });
    work.Worker = std::thread([&work, source = FConnectionName, statement] { work.run(source, statement); });
}

void QueryRunner::FetchMore(int rows)
{
    if (!FWork || rows <= 0)
        return;
    {
        const std::lock_guard lock(FWork->Mutex);
        FWork->Wanted += rows;
    }
    FWork->Wake.notify_all();
}

void QueryRunner::Cancel()
{
    if (!FWork)
        return;
    {
        // Under the lock, so that no waiting thread misses the wake-up.
        const std::lock_guard lock(FWork->Mutex);
        FWork->Stop = true;
    }
    FWork->Wake.notify_all();
}

bool QueryRunner::deliver(const std::shared_ptr<Work>& work)
{
    if (!work || work != FWork || !FActive)
        return false;
    std::deque<Work::Report> reports;
    {
        const std::lock_guard lock(work->Mutex);
        reports.swap(work->Reports);
    }
    for (Work::Report& report : reports) {
        FDatabaseTime = report.DatabaseTime;
        const bool last = report.What == Work::Report::Failure || report.AtEnd;
        if (last)
            FActive = false;
        switch (report.What) {
        case Work::Report::ColumnsKnown:
            emit executed(report.Columns);
            break;
        case Work::Report::RowBatch:
            emit rowsFetched(report.Rows, report.AtEnd);
            break;
        case Work::Report::Failure:
            emit failed(report.Message, report.Code);
            break;
        }
        // A listener may have started another run or cancelled this one.
        if (last || work != FWork)
            return false;
    }
    return true;
}

void QueryRunner::Run(const BoundStatement& statement, int batchSize,
                      const std::function<void(const QStringList&)>& onColumns,
                      const std::function<void(const QList<QVariantList>&)>& onRows)
{
    start(statement, batchSize, false);
    const std::shared_ptr<Work> work = FWork;
    struct Ender {
        QueryRunner* runner;
        ~Ender() { runner->Stop(); }
    } ender{this};
    for (;;) {
        Work::Report report{Work::Report::Failure};
        {
            std::unique_lock lock(work->Mutex);
            work->Wake.wait(lock, [&work] { return !work->Reports.empty(); });
            report = std::move(work->Reports.front());
            work->Reports.pop_front();
        }
        FDatabaseTime = report.DatabaseTime;
        switch (report.What) {
        case Work::Report::ColumnsKnown:
            onColumns(report.Columns);
            break;
        case Work::Report::RowBatch:
            onRows(report.Rows);
            if (report.AtEnd)
                return;
            FetchMore(batchSize);
            break;
        case Work::Report::Failure:
            throw EVxDBInfoError(report.Code, report.Message);
        }
    }
}

} // namespace brindle

#pragma once
// TVxSqlDBInfo: the database info component over QtSql that a host uses as
// it stands. It owns one named QSqlDatabase connection of its own, made
// from its settings and opened when first needed (or by Open), and answers
// the model's questions from the database's catalogue. It never writes to
// the database: SQLite files are opened read-only.
//
// Drivers: QSQLITE (the default), QPSQL and QMYSQL (also called QMARIADB;
// MySQL and MariaDB servers) are read from their catalogues;
// for any other QtSql driver the tables and columns come from QtSql's
// generic API (QSqlDatabase::tables and record, types from the value type
// the driver reports) and there are neither links nor database names.
//
// What is read:
//
//   databases   SQLite: the schemas of the connection ("main", "temp" and
//               attached ones; PRAGMA database_list). PostgreSQL: the
//               databases that accept connections, templates left out.
//               MySQL: the databases (information_schema.SCHEMATA) but its
//               own information_schema, mysql, performance_schema and sys.
//   current     SQLite: the schema whose tables are listed ("main" unless
//               set). PostgreSQL and MySQL: the database connected to;
//               setting another name reconnects to that database.
//   tables      tables and views of the current schema, ordered by name
//               (byte order). SQLite: sqlite_master, without its own
//               sqlite_ tables. PostgreSQL: the tables, views, materialized
//               views, partitioned and foreign tables of current_schema(),
//               the first schema of the search path; a host that wants
//               another schema sets the search path (ConnectOptions
//               "options='-c search_path=NAME'"). MySQL: the tables and
//               views of DATABASE(), sequences left out.
//   columns     in their declared order. One catalogue query reads the
//               columns of every table of the schema (SQLite: sqlite_master
//               joined with pragma_table_info(); PostgreSQL: pg_attribute;
//               MySQL: information_schema.COLUMNS) and keeps them until the
//               table list is asked for again, the connection or the
//               database changes; a table missing from that reading is
//               asked for alone. Should SQLite fail the one query (a view it
//               can no longer compile), every table is asked for alone.
//               Table names are matched exactly, then ignoring letter case
//               (PostgreSQL folds unquoted names to lower case).
//   links       one link text line per foreign key, the referencing table
//               first: "Orders-Customers:CustomerID=CustomerID", a
//               multi-column key as several pairs. SQLite: one query of
//               sqlite_master joined with pragma_foreign_key_list() (a key
//               that names no columns of its parent takes the parent's
//               primary key); PostgreSQL: one
//               catalogue query for all keys of the schema; MySQL: the same
//               from information_schema.KEY_COLUMN_USAGE. A key whose
//               names cannot be written in that form (a "-" or ":" in the
//               first table name, ":" in the second, ",", "=", "<", ">" or
//               "!" in a column) and a key to a table of another schema are
//               left out.
//   lookups     GetSQLValues runs the statement as it stands; each row
//               appends its first column to the values and its second (or,
//               for a one-column result, its first) to the captions. NULL
//               is the empty text, dates ISO text, Booleans "1" and "0".
//
// Column types, from the declared type (SQLite) or format_type()
// (PostgreSQL; a domain is read as its base type), letter case ignored:
//
//   declared type                                         TFieldType  size
//   SMALLINT, INT2, TINYINT                               ftSmallint  0
//   INTEGER, INT, INT4, MEDIUMINT                         ftInteger   0
//   BIGINT, INT8, UNSIGNED BIG INT                        ftLargeint  0
//   REAL, FLOAT, FLOAT4, FLOAT8, DOUBLE, DOUBLE PRECISION ftFloat     0
//   NUMERIC(p,s), DECIMAL(p,s)                            ftBCD       s (0 without)
//   MONEY                                                 ftCurrency  0
//   CHAR(n), CHARACTER(n), NCHAR(n), BPCHAR               ftFixedChar n (0 without)
//   VARCHAR(n), CHARACTER VARYING(n), NVARCHAR(n)         ftString    n
//   TEXT, CLOB, NAME, CITEXT, VARCHAR without length      ftString    0 (no limit)
//   BOOLEAN, BOOL                                         ftBoolean   0
//   DATE                                                  ftDate      0
//   TIME, TIMETZ, TIME WITH[OUT] TIME ZONE                ftTime      0
//   DATETIME, TIMESTAMP, TIMESTAMPTZ,
//     TIMESTAMP WITH[OUT] TIME ZONE                       ftDateTime  0
//   BLOB, BYTEA                                           ftBlob      0
//   UUID                                                  ftGuid      38
//   SQLite, any other name: by SQLite's affinity rules — holding "INT"
//     ftInteger; "CHAR", "CLOB" or "TEXT" ftString (n or 0); "BLOB"
//     ftBlob; anything else (real and numeric affinity) ftFloat
//   no declared type, arrays, any other PostgreSQL type   ftUnknown   0
//
// A precision in parentheses after a time or timestamp is ignored.
//
// MySQL column types (COLUMN_TYPE) follow the same table, a display width
// such as INT(11) ignored, and besides:
//
//   TINYINT(1) (what BOOLEAN is to MySQL)                 ftBoolean   0
//   SMALLINT UNSIGNED                                     ftInteger   0
//   INT UNSIGNED                                          ftLargeint  0
//   YEAR                                                  ftSmallint  0
//   TINYTEXT, MEDIUMTEXT, LONGTEXT, JSON                  ftString    0
//   ENUM(...), SET(...)                                   ftString    longest
//   BINARY(n), VARBINARY(n), TINYBLOB ... LONGBLOB        ftBlob      0
//
// Settings (LoadInfo/SaveInfo lines, the model text's [DBSpecInfo]):
// Driver, Database, Host, Port, User, Options, and Password only while
// StorePassword is set. Loading an empty list changes nothing (a model
// without stored settings keeps the host's); otherwise every setting takes
// the list's value or its default, except that the password stays when the
// list holds none. The password is no published property, so a form never
// holds it.
//
// Time-outs: PostgreSQL gets "connect_timeout" (ConnectTimeout) in front of
// the host's options, which may override it, and "SET statement_timeout"
// (QueryTimeout) once connected; MySQL likewise MYSQL_OPT_CONNECT_TIMEOUT
// and max_statement_time on MariaDB (max_execution_time, which limits only
// SELECT, on MySQL); SQLite gets QSQLITE_BUSY_TIMEOUT (QueryTimeout). Zero
// means no limit.
//
// Errors are EVxDBInfoError with the driver's message and the codes below.
// During a retrieval the long catalogue readings also stop at a cancel
// (dieCancelled, db_info.h).

#include <brindle/datamodel/db_info.h>

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <vector>

namespace brindle {

inline constexpr int dieConnect = 1;   // the connection could not be opened
inline constexpr int dieStatement = 2; // a catalogue or lookup statement failed
inline constexpr int dieNoDriver = 3;  // the QtSql driver is not available

class BRINDLE_CORE_EXPORT TVxSqlDBInfo : public TVxDBInfo {
    Q_OBJECT
    Q_PROPERTY(QString DriverName READ DriverName WRITE SetDriverName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE SetDatabaseName)
    Q_PROPERTY(QString HostName READ HostName WRITE SetHostName)
    Q_PROPERTY(int Port READ Port WRITE SetPort)
    Q_PROPERTY(QString UserName READ UserName WRITE SetUserName)
    Q_PROPERTY(QString ConnectOptions READ ConnectOptions WRITE SetConnectOptions)
    Q_PROPERTY(bool StorePassword READ StorePassword WRITE SetStorePassword)
    Q_PROPERTY(int ConnectTimeout READ ConnectTimeout WRITE SetConnectTimeout)
    Q_PROPERTY(int QueryTimeout READ QueryTimeout WRITE SetQueryTimeout)

public:
    explicit TVxSqlDBInfo(QObject* parent = nullptr);
    ~TVxSqlDBInfo() override;

    // Changing a connection setting closes an open connection; the next
    // request opens it with the new settings.
    const QString& DriverName() const { return FDriverName; }
    void SetDriverName(const QString& name);
    // The file for SQLite (":memory:" for an empty database of its own),
    // otherwise the database.
    const QString& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const QString& name);
    const QString& HostName() const { return FHostName; }
    void SetHostName(const QString& name);
    // -1: the driver's default.
    int Port() const { return FPort; }
    void SetPort(int port);
    const QString& UserName() const { return FUserName; }
    void SetUserName(const QString& name);
    const QString& Password() const { return FPassword; }
    void SetPassword(const QString& password);
    // "KEY=VALUE;KEY" as QSqlDatabase::setConnectOptions takes them.
    const QString& ConnectOptions() const { return FConnectOptions; }
    void SetConnectOptions(const QString& options);
    // Whether SaveInfo writes the password; off unless the host asks.
    bool StorePassword() const { return FStorePassword; }
    void SetStorePassword(bool on) { FStorePassword = on; }
    // Seconds; they apply from the next connection on.
    int ConnectTimeout() const { return FConnectTimeout; }
    void SetConnectTimeout(int seconds) { FConnectTimeout = qMax(seconds, 0); }
    int QueryTimeout() const { return FQueryTimeout; }
    void SetQueryTimeout(int seconds) { FQueryTimeout = qMax(seconds, 0); }

    // Opens the connection when it is not open; codes 1 and 3.
    void Open();
    void Close();
    // The open connection, opened first when needed.
    QSqlDatabase Database();
    // This component's QtSql connection name.
    const QString& ConnectionName() const { return FConnectionName; }
    // The settings for messages, without the password: "sqlite:PATH",
    // "postgresql://USER@HOST:PORT/DATABASE", "mysql://..." for QMYSQL.
    QString ConnectionText() const;

    // True while the connection is open; it does not try to connect.
    bool GetConnected() override;
    void ConnectionChanged() override;
    void DatabaseChanged() override;
    QString GetCurrentDbName() override;
    void SetCurrentDbName(const QString& name) override;
    void AvailableDatabases(TStringList& list) override;
    void TablesByDatabase(TStringList& list) override;
    void LinksByDatabase(TStringList& list) override;
    void FieldsByTable(const QString& tableName, TDBFieldList& fields) override;
    void GetSQLValues(const QString& sql, TStringList& values, TStringList& items) override;
    void LoadInfo(TStringList& info) override;
    void SaveInfo(TStringList& info) override;

private:
    struct Column {
        QString Name;
        TFieldType Type;
        int Size;
    };

    bool isSQLite() const;
    bool isPostgres() const;
    // QMYSQL, or QMARIADB, its other name.
    bool isMySQL() const;
    void changeSetting(QString& setting, const QString& value);
    void voidCatalogue();
    // The statement's rows, forward only; code 2 with the driver's message.
    QSqlQuery exec(const QString& sql, const QVariantList& values = {});
    QString sqliteSchema();
    void sqliteColumns(const QString& table, std::vector<Column>& columns);
    void sqliteLinks(TStringList& list);
    // PostgreSQL and MySQL columns, read for every table at once;
    // catalogueColumn maps one row of that reading.
    Column catalogueColumn(const QSqlQuery& query);
    // The type and size of a declared type, by the driver's rules;
    // charLength counts for MySQL only.
    void mapType(const QString& declared, int charLength, Column& column);
    void readCatalogue();
    void readSQLiteCatalogue();
    void catalogueColumns(const QString& table, std::vector<Column>& columns);
    void postgresLinks(TStringList& list);
    void mysqlLinks(TStringList& list);
    // Rows of key, referencing table, referenced table and one column pair.
    void catalogueLinks(QSqlQuery& query, TStringList& list);
    void genericColumns(const QString& table, std::vector<Column>& columns);

    QString FConnectionName;
    QString FDriverName = QStringLiteral("QSQLITE");
    QString FDatabaseName;
    QString FHostName;
    int FPort = -1;
    QString FUserName;
    QString FPassword;
    QString FConnectOptions;
    bool FStorePassword = false;
    int FConnectTimeout = 10;
    int FQueryTimeout = 30;
    // The columns of every table of the schema, read in one go.
    TextHash<std::vector<Column>> FCatalogue;
    bool FCatalogueRead = false;
    QHash<QString, std::pair<TFieldType, int>> FTypes;
};

// The field type and size of a declared column type, as the table above
// says; sqliteAffinity applies SQLite's rules to names not in the table.
BRINDLE_CORE_EXPORT void SqlTypeToFieldType(const QString& declared, bool sqliteAffinity, TFieldType& type,
                                            int& size);
// The same for a MySQL column type as information_schema.COLUMNS gives it
// ("int(10) unsigned", "enum('a','bc')"); charLength is its
// CHARACTER_MAXIMUM_LENGTH, the size of an ENUM or SET.
BRINDLE_CORE_EXPORT void MySqlTypeToFieldType(const QString& columnType, int charLength, TFieldType& type,
                                              int& size);

} // namespace brindle

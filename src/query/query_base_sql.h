#pragma once
// A query base over a table of a QtSql database, one row per query:
//
//   "ID"          INTEGER primary key, the list order (new rows take MAX + 1)
//   "QueryName"   TEXT, the query's name
//   "Description" TEXT, the query's description
//   "Content"     TEXT, the query text as a query saves it
//
// The name and description are kept in their columns for listing and are
// the ones the query text holds: saving content takes them from the text
// (an empty name keeps the item's), renaming an item rewrites both the
// columns and the text. The table is created when missing.
//
// The connection is the host's (ConnectionName, opened by the host) or,
// without one, an embedded SQLite database in the file DatabaseName that
// the base opens and closes itself. Every write runs in a transaction that
// is rolled back on failure, so a failed write leaves the stored queries as
// they were; it raises EVxQueryBaseError code 2 with the driver's message.
// The table name must be a plain identifier (letters, digits, "_", not
// starting with a digit; code 4 otherwise) and is quoted by the driver;
// values are always bound as parameters.

#include <brindle/query/query_base.h>

#include <QSqlDatabase>

namespace brindle {

class TVxSqlQueryBase;

class BRINDLE_CORE_EXPORT TVxSqlQueryItem : public TVxQueryItem {
public:
    TVxSqlQueryItem(qint64 id, QString queryName, QString description);

    // The row's "ID".
    qint64 ID() const { return FID; }

    void LoadContent(TStringList& content) override;
    // Writes the text with the name and description it holds.
    void SaveContent(const TStringList& content) override;

protected:
    void StoreProperties(const QString& queryName, const QString& description) override;

private:
    TVxSqlQueryBase* sqlBase() const;

    qint64 FID;
};

class BRINDLE_CORE_EXPORT TVxSqlQueryBase : public TVxQueryBase {
    Q_OBJECT
    Q_PROPERTY(QString ConnectionName READ ConnectionName WRITE SetConnectionName)
    Q_PROPERTY(QString DatabaseName READ DatabaseName WRITE SetDatabaseName)
    Q_PROPERTY(QString TableName READ TableName WRITE SetTableName)

public:
    explicit TVxSqlQueryBase(QObject* parent = nullptr);
    ~TVxSqlQueryBase() override;

    // Changing a setting of an open base reopens it.
    const QString& ConnectionName() const { return FConnectionName; }
    void SetConnectionName(const QString& name);
    const QString& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const QString& fileName);
    const QString& TableName() const { return FTableName; }
    // A name that is not a plain identifier raises code 4 and is not taken.
    void SetTableName(const QString& name);

    // Releases the embedded connection too.
    void Close() override;
    // Adds a row "QueryN" (the first N no item is named) holding an empty
    // query of that name; code 3 on a closed base.
    TVxQueryItem* NewQuery() override;
    // Deletes the row too; the item stays when that fails.
    void DeleteQuery(int index) override;

    // The connection in use while the base is open (invalid otherwise).
    QSqlDatabase Database() const;

protected:
    void LoadQueries() override;

private:
    friend class TVxSqlQueryItem;

    // The open connection; "Database not connected" (code 2) without one.
    QSqlDatabase connection() const;
    void releaseConnection();
    // The table and a column quoted by the driver.
    QString table(const QSqlDatabase& db) const;
    static QString column(const QSqlDatabase& db, const char* name);
    // Runs the work in a transaction, rolled back when the work raises.
    template <typename F>
    void inTransaction(F&& work);
    void reopenWith(QString& setting, const QString& value);

    QString FConnectionName;
    QString FDatabaseName;
    QString FTableName = QStringLiteral("BrindleQueries");
    // The embedded connection's name while it is open.
    QString FOwnConnection;
};

} // namespace brindle

#include <brindle/query/query_base_sql.h>

#include <brindle/foundations/messages.h>

#include <QAtomicInteger>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

namespace brindle {

namespace {

[[noreturn]] void storageError(const QString& message)
{
    throw EVxQueryBaseError(qbeStorage, message);
}

// Prepares, binds the values in order and runs the statement.
QSqlQuery run(const QSqlDatabase& db, const QString& sql, const QVariantList& values = {})
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        storageError(query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        storageError(query.lastError().text());
    return query;
}

[[noreturn]] void notStored(const QString& queryName)
{
    throw EVxQueryBaseError(qbeStorage, QStringLiteral("Query \"%s\" is no longer stored"), {queryName});
}

bool isPlainIdentifier(const QString& name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(name).hasMatch();
}

} // namespace

template <typename F>
void TVxSqlQueryBase::inTransaction(F&& work)
{
    QSqlDatabase db = connection();
    // Inside a transaction the host already runs, the host commits.
    const bool own = db.driver()->hasFeature(QSqlDriver::Transactions) && db.transaction();
    try {
        work(db);
    } catch (...) {
        if (own)
            db.rollback();
        throw;
    }
    if (own && !db.commit()) {
        const QString message = db.lastError().text();
        db.rollback();
        storageError(message);
    }
}

// --- TVxSqlQueryItem

TVxSqlQueryItem::TVxSqlQueryItem(qint64 id, QString queryName, QString description)
    : TVxQueryItem(std::move(queryName), std::move(description)), FID(id)
{
}

TVxSqlQueryBase* TVxSqlQueryItem::sqlBase() const
{
    auto* base = qobject_cast<TVxSqlQueryBase*>(QueryBase());
    if (!base)
        throw EVxQueryBaseError(qbeNoBase, QStringLiteral("Query base is not specified"));
    return base;
}

void TVxSqlQueryItem::LoadContent(TStringList& content)
{
    TVxSqlQueryBase* base = sqlBase();
    const QSqlDatabase db = base->connection();
    QSqlQuery query = run(db,
                          QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                              .arg(TVxSqlQueryBase::column(db, "Content"), base->table(db),
                                   TVxSqlQueryBase::column(db, "ID")),
                          {FID});
    if (!query.next())
        notStored(QueryName());
    content.SetText(query.value(0).toString());
}

void TVxSqlQueryItem::SaveContent(const TStringList& content)
{
    QString name = ContentQueryName(content);
    if (name.isEmpty())
        name = QueryName();
    const QString description = ContentDescription(content);
    TVxSqlQueryBase* base = sqlBase();
    base->inTransaction([&](const QSqlDatabase& db) {
        const QSqlQuery query =
            run(db,
                QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ? WHERE %5 = ?")
                    .arg(base->table(db), TVxSqlQueryBase::column(db, "QueryName"),
                         TVxSqlQueryBase::column(db, "Description"), TVxSqlQueryBase::column(db, "Content"),
                         TVxSqlQueryBase::column(db, "ID")),
                {name, description, content.Text(), FID});
        if (query.numRowsAffected() == 0)
            notStored(QueryName());
    });
    AdoptProperties(name, description);
}

void TVxSqlQueryItem::StoreProperties(const QString& queryName, const QString& description)
{
    TVxSqlQueryBase* base = sqlBase();
    base->inTransaction([&](const QSqlDatabase& db) {
        const QString id = TVxSqlQueryBase::column(db, "ID");
        QSqlQuery select = run(db,
                               QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                                   .arg(TVxSqlQueryBase::column(db, "Content"), base->table(db), id),
                               {FID});
        if (!select.next())
            notStored(QueryName());
        TStringList content;
        content.SetText(select.value(0).toString());
        select.finish();
        SetContentProperties(content, queryName, description);
        run(db,
            QStringLiteral("UPDATE %1 SET %2 = ?, %3 = ?, %4 = ? WHERE %5 = ?")
                .arg(base->table(db), TVxSqlQueryBase::column(db, "QueryName"),
                     TVxSqlQueryBase::column(db, "Description"), TVxSqlQueryBase::column(db, "Content"), id),
            {queryName, description, content.Text(), FID});
    });
}

// --- TVxSqlQueryBase

TVxSqlQueryBase::TVxSqlQueryBase(QObject* parent) : TVxQueryBase(parent) {}

TVxSqlQueryBase::~TVxSqlQueryBase()
{
    releaseConnection();
}

void TVxSqlQueryBase::reopenWith(QString& setting, const QString& value)
{
    if (setting == value)
        return;
    if (!Active()) {
        setting = value;
        return;
    }
    Close();
    setting = value;
    Open();
}

void TVxSqlQueryBase::SetConnectionName(const QString& name)
{
    reopenWith(FConnectionName, name);
}

void TVxSqlQueryBase::SetDatabaseName(const QString& fileName)
{
    reopenWith(FDatabaseName, fileName);
}

void TVxSqlQueryBase::SetTableName(const QString& name)
{
    if (!isPlainIdentifier(name))
        throw EVxQueryBaseError(qbeBadTableName, QStringLiteral("Invalid query table name \"%s\""), {name});
    reopenWith(FTableName, name);
}

QSqlDatabase TVxSqlQueryBase::Database() const
{
    const QString name = FConnectionName.isEmpty() ? FOwnConnection : FConnectionName;
    return name.isEmpty() || !QSqlDatabase::contains(name) ? QSqlDatabase() : QSqlDatabase::database(name, false);
}

QSqlDatabase TVxSqlQueryBase::connection() const
{
    QSqlDatabase db = Database();
    if (!db.isOpen())
        storageError(LoadResString(_SDBNotConnected));
    return db;
}

void TVxSqlQueryBase::releaseConnection()
{
    if (FOwnConnection.isEmpty())
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(FOwnConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(FOwnConnection);
    FOwnConnection.clear();
}

QString TVxSqlQueryBase::table(const QSqlDatabase& db) const
{
    return db.driver()->escapeIdentifier(FTableName, QSqlDriver::TableName);
}

QString TVxSqlQueryBase::column(const QSqlDatabase& db, const char* name)
{
    return db.driver()->escapeIdentifier(QString::fromLatin1(name), QSqlDriver::FieldName);
}

void TVxSqlQueryBase::Close()
{
    TVxQueryBase::Close();
    releaseConnection();
}

void TVxSqlQueryBase::LoadQueries()
{
    if (FConnectionName.isEmpty()) {
        static QAtomicInteger<quint64> serial;
        FOwnConnection = QStringLiteral("brindle-query-base-%1").arg(++serial);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FOwnConnection);
        db.setDatabaseName(FDatabaseName);
        if (!db.open()) {
            const QString message = db.lastError().text();
            db = QSqlDatabase();
            releaseConnection();
            storageError(message);
        }
    }
    try {
        const QSqlDatabase db = connection();
        if (!db.tables(QSql::Tables).contains(FTableName, Qt::CaseInsensitive))
            run(db, QStringLiteral("CREATE TABLE %1 (%2 INTEGER NOT NULL PRIMARY KEY, %3 TEXT, %4 TEXT, %5 TEXT)")
                        .arg(table(db), column(db, "ID"), column(db, "QueryName"), column(db, "Description"),
                             column(db, "Content")));
        QSqlQuery query = run(db, QStringLiteral("SELECT %1, %2, %3 FROM %4 ORDER BY %1")
                                      .arg(column(db, "ID"), column(db, "QueryName"), column(db, "Description"),
                                           table(db)));
        while (query.next())
            AddItem(std::make_unique<TVxSqlQueryItem>(query.value(0).toLongLong(), query.value(1).toString(),
                                                      query.value(2).toString()));
    } catch (...) {
        releaseConnection();
        throw;
    }
}

TVxQueryItem* TVxSqlQueryBase::NewQuery()
{
    if (!Active())
        throw EVxQueryBaseError(qbeNotOpen, QStringLiteral("Query base is not open"));
    int n = 1;
    while (IndexByName(QStringLiteral("Query%1").arg(n)) >= 0)
        ++n;
    const QString name = QStringLiteral("Query%1").arg(n);
    TStringList content;
    NewQueryContent(content, name);
    qint64 id = 0;
    inTransaction([&](const QSqlDatabase& db) {
        QSqlQuery max = run(db, QStringLiteral("SELECT MAX(%1) FROM %2").arg(column(db, "ID"), table(db)));
        id = max.next() ? max.value(0).toLongLong() + 1 : 1;
        max.finish();
        run(db,
            QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5) VALUES (?, ?, ?, ?)")
                .arg(table(db), column(db, "ID"), column(db, "QueryName"), column(db, "Description"),
                     column(db, "Content")),
            {id, name, QString(), content.Text()});
    });
    return GetQuery(AddItem(std::make_unique<TVxSqlQueryItem>(id, name, QString())));
}

void TVxSqlQueryBase::DeleteQuery(int index)
{
    CheckIndex(index);
    // A host may add items of its own; only the table's items have a row.
    if (const auto* item = dynamic_cast<TVxSqlQueryItem*>(GetQuery(index))) {
        inTransaction([&](const QSqlDatabase& db) {
            run(db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table(db), column(db, "ID")), {item->ID()});
        });
    }
    TVxQueryBase::DeleteQuery(index);
}

} // namespace brindle

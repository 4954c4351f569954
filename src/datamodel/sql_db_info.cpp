#include <brindle/datamodel/sql_db_info.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/errors.h>

#include <QAtomicInteger>
#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <algorithm>

namespace brindle {

namespace {

// Long catalogue readings look for a cancelled retrieval this often.
constexpr int kRowsBetweenChecks = 4096;

const QString kSQLite = QStringLiteral("QSQLITE");
const QString kPostgres = QStringLiteral("QPSQL");
const QString kMySQL = QStringLiteral("QMYSQL");
const QString kMariaDB = QStringLiteral("QMARIADB");

struct TypeRule {
    TFieldType type;
    enum { Zero, Length, Scale, Guid } size;
};

const TextHash<TypeRule>& typeRules()
{
    static const TextHash<TypeRule> rules = [] {
        TextHash<TypeRule> r;
        const auto add = [&r](std::initializer_list<const char*> names, TypeRule rule) {
            for (const char* name : names)
                r.insert(QString::fromLatin1(name), rule);
        };
        add({"SMALLINT", "INT2", "TINYINT"}, {ftSmallint, TypeRule::Zero});
        add({"INTEGER", "INT", "INT4", "MEDIUMINT"}, {ftInteger, TypeRule::Zero});
        add({"BIGINT", "INT8", "UNSIGNED BIG INT"}, {ftLargeint, TypeRule::Zero});
        add({"REAL", "FLOAT", "FLOAT4", "FLOAT8", "DOUBLE", "DOUBLE PRECISION"}, {ftFloat, TypeRule::Zero});
        add({"NUMERIC", "DECIMAL"}, {ftBCD, TypeRule::Scale});
        add({"MONEY"}, {ftCurrency, TypeRule::Zero});
        add({"CHAR", "CHARACTER", "NCHAR", "BPCHAR"}, {ftFixedChar, TypeRule::Length});
        add({"VARCHAR", "CHARACTER VARYING", "NVARCHAR"}, {ftString, TypeRule::Length});
        add({"TEXT", "CLOB", "NAME", "CITEXT"}, {ftString, TypeRule::Zero});
        add({"BOOLEAN", "BOOL"}, {ftBoolean, TypeRule::Zero});
        add({"DATE"}, {ftDate, TypeRule::Zero});
        add({"TIME", "TIMETZ", "TIME WITHOUT TIME ZONE", "TIME WITH TIME ZONE"}, {ftTime, TypeRule::Zero});
        add({"DATETIME", "TIMESTAMP", "TIMESTAMPTZ", "TIMESTAMP WITHOUT TIME ZONE", "TIMESTAMP WITH TIME ZONE"},
            {ftDateTime, TypeRule::Zero});
        add({"BLOB", "BYTEA"}, {ftBlob, TypeRule::Zero});
        add({"UUID"}, {ftGuid, TypeRule::Guid});
        return r;
    }();
    return rules;
}

// A name between double quotes, inner quotes doubled: SQLite and
// PostgreSQL both read it as the identifier, whatever it holds.
QString quoted(const QString& name)
{
    QString text = name;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

// One link text line, or nothing when a name would not read back.
QString linkLine(const QString& child, const QString& parent, const QStringList& from, const QStringList& to)
{
    if (from.isEmpty() || from.size() != to.size() || child.contains(u'-') || child.contains(u':')
        || parent.contains(u':'))
        return {};
    static const QRegularExpression unfit(QStringLiteral("[,=<>!\"]"));
    QStringList pairs;
    for (qsizetype i = 0; i < from.size(); ++i) {
        if (from[i].isEmpty() || to[i].isEmpty() || from[i].contains(unfit) || to[i].contains(unfit))
            return {};
        pairs.append(from[i] + u'=' + to[i]);
    }
    return child + u'-' + parent + u':' + pairs.join(u',');
}

QString valueText(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Double:
    case QMetaType::Float:
        return XFloatToStr(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString();
    }
}

TFieldType typeOfValue(const QSqlField& field, int& size)
{
    size = 0;
    switch (field.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
        return ftSmallint;
    case QMetaType::Int:
    case QMetaType::UInt:
        return ftInteger;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return ftLargeint;
    case QMetaType::Double:
    case QMetaType::Float:
        return ftFloat;
    case QMetaType::Bool:
        return ftBoolean;
    case QMetaType::QDate:
        return ftDate;
    case QMetaType::QTime:
        return ftTime;
    case QMetaType::QDateTime:
        return ftDateTime;
    case QMetaType::QByteArray:
        return ftBlob;
    case QMetaType::QString:
        size = qMax(field.length(), 0);
        return ftString;
    default:
        return ftUnknown;
    }
}

// The columns of one table, in order, or, without a name, of every table of
// the schema in no order: sorting those would take the server longer than
// reading them (200,000 rows spill to disk), so the caller orders each
// table's columns by their numbers.
QString postgresColumnsSQL(bool oneTable)
{
    return QStringLiteral(
               "SELECT c.relname, a.attname, "
               "CASE WHEN t.typtype = 'd' THEN format_type(t.typbasetype, t.typtypmod) "
               "ELSE format_type(a.atttypid, a.atttypmod) END, a.attnum "
               "FROM pg_attribute a "
               "JOIN pg_class c ON c.oid = a.attrelid "
               "JOIN pg_namespace n ON n.oid = c.relnamespace "
               "JOIN pg_type t ON t.oid = a.atttypid "
               "WHERE n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'm', 'p', 'f') "
               "AND NOT c.relispartition AND a.attnum > 0 AND NOT a.attisdropped %1")
        .arg(oneTable ? QStringLiteral("AND c.relname = ? ORDER BY a.attnum") : QString());
}

QString mysqlColumnsSQL(bool oneTable)
{
    return QStringLiteral("SELECT TABLE_NAME, COLUMN_NAME, COLUMN_TYPE, CHARACTER_MAXIMUM_LENGTH "
                          "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() %1"
                          "ORDER BY TABLE_NAME, ORDINAL_POSITION")
        .arg(oneTable ? QStringLiteral("AND TABLE_NAME = ? ") : QString());
}

// How the session limits each statement; empty when it cannot.
QString statementTimeoutSQL(QSqlDatabase& db, bool postgres, int seconds)
{
    if (postgres)
        return QStringLiteral("SET statement_timeout = %1").arg(seconds * 1000);
    // MariaDB limits every statement; MySQL lacks that setting and limits
    // only reading statements, in milliseconds.
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("SELECT VERSION()")) || !version.next())
        return {};
    if (version.value(0).toString().contains(QStringLiteral("MariaDB"), Qt::CaseInsensitive))
        return QStringLiteral("SET SESSION max_statement_time = %1").arg(seconds);
    return QStringLiteral("SET SESSION max_execution_time = %1").arg(seconds * 1000);
}

} // namespace

void SqlTypeToFieldType(const QString& declared, bool sqliteAffinity, TFieldType& type, int& size)
{
    type = ftUnknown;
    size = 0;
    QString text = declared.toUpper();
    if (text.contains(u'['))
        return;
    static const QRegularExpression modifier(QStringLiteral(R"(\(\s*(\d*)\s*(?:,\s*(\d*)\s*)?\))"));
    const QRegularExpressionMatch m = modifier.match(text);
    const int length = m.captured(1).toInt();
    const int scale = m.captured(2).toInt();
    if (m.hasMatch())
        text.remove(m.capturedStart(), m.capturedLength());
    text = text.simplified();

    const auto rule = typeRules().constFind(text);
    if (rule != typeRules().cend()) {
        type = rule->type;
        switch (rule->size) {
        case TypeRule::Zero:
            break;
        case TypeRule::Length:
            size = length;
            break;
        case TypeRule::Scale:
            size = scale;
            break;
        case TypeRule::Guid:
            size = 38;
            break;
        }
        return;
    }
    if (!sqliteAffinity || text.isEmpty())
        return;
    if (text.contains(QStringLiteral("INT"))) {
        type = ftInteger;
    } else if (text.contains(QStringLiteral("CHAR")) || text.contains(QStringLiteral("CLOB"))
               || text.contains(QStringLiteral("TEXT"))) {
        type = ftString;
        size = length;
    } else if (text.contains(QStringLiteral("BLOB"))) {
        type = ftBlob;
    } else {
        type = ftFloat;
    }
}

void MySqlTypeToFieldType(const QString& columnType, int charLength, TFieldType& type, int& size)
{
    QString text = columnType.toUpper().simplified();
    const bool isUnsigned = text.contains(QStringLiteral(" UNSIGNED"));
    static const QRegularExpression attributes(QStringLiteral(" (UN)?SIGNED| ZEROFILL"));
    text.remove(attributes);
    const QString name = text.section(u'(', 0, 0).trimmed();
    type = ftUnknown;
    size = 0;
    // BOOLEAN is TINYINT(1) to MySQL.
    if (text == QStringLiteral("TINYINT(1)") && !isUnsigned) {
        type = ftBoolean;
    } else if (name == QStringLiteral("ENUM") || name == QStringLiteral("SET")) {
        type = ftString;
        size = qMax(charLength, 0);
    } else if (name.endsWith(QStringLiteral("TEXT")) || name == QStringLiteral("JSON")) {
        type = ftString;
    } else if (name.endsWith(QStringLiteral("BLOB")) || name.endsWith(QStringLiteral("BINARY"))) {
        type = ftBlob;
    } else if (name == QStringLiteral("YEAR")) {
        type = ftSmallint;
    } else {
        SqlTypeToFieldType(text, false, type, size);
        // The unsigned range needs the next wider type, where there is one.
        if (isUnsigned && name == QStringLiteral("SMALLINT"))
            type = ftInteger;
        else if (isUnsigned && (name == QStringLiteral("INT") || name == QStringLiteral("INTEGER")))
            type = ftLargeint;
    }
}

TVxSqlDBInfo::TVxSqlDBInfo(QObject* parent) : TVxDBInfo(parent)
{
    static QAtomicInteger<quint64> serial;
    FConnectionName = QStringLiteral("brindle-db-info-%1").arg(++serial);
}

TVxSqlDBInfo::~TVxSqlDBInfo()
{
    Close();
}

bool TVxSqlDBInfo::isSQLite() const { return FDriverName == kSQLite; }

bool TVxSqlDBInfo::isPostgres() const { return FDriverName == kPostgres; }

bool TVxSqlDBInfo::isMySQL() const { return FDriverName == kMySQL || FDriverName == kMariaDB; }

void TVxSqlDBInfo::changeSetting(QString& setting, const QString& value)
{
    if (setting == value)
        return;
    Close();
    setting = value;
    ConnectionChanged();
}

void TVxSqlDBInfo::SetDriverName(const QString& name)
{
    if (name == FDriverName)
        return;
    // The current schema of one driver means nothing to another.
    storeCurrentDbName(QString());
    changeSetting(FDriverName, name);
}

void TVxSqlDBInfo::SetDatabaseName(const QString& name) { changeSetting(FDatabaseName, name); }

void TVxSqlDBInfo::SetHostName(const QString& name) { changeSetting(FHostName, name); }

void TVxSqlDBInfo::SetPort(int port)
{
    if (port == FPort)
        return;
    Close();
    FPort = port;
    ConnectionChanged();
}

void TVxSqlDBInfo::SetUserName(const QString& name) { changeSetting(FUserName, name); }

void TVxSqlDBInfo::SetPassword(const QString& password) { changeSetting(FPassword, password); }

void TVxSqlDBInfo::SetConnectOptions(const QString& options) { changeSetting(FConnectOptions, options); }

QString TVxSqlDBInfo::ConnectionText() const
{
    if (isSQLite())
        return QStringLiteral("sqlite:") + FDatabaseName;
    // The URL forms of the brindle tool: QPSQL is postgresql://, QMYSQL mysql://.
    QString scheme = isPostgres() ? QStringLiteral("postgresql") : FDriverName.toLower();
    if (!isPostgres() && scheme.startsWith(u'q'))
        scheme.remove(0, 1);
    QString text = scheme + QStringLiteral("://");
    if (!FUserName.isEmpty())
        text += FUserName + u'@';
    text += FHostName;
    if (FPort >= 0)
        text += u':' + QString::number(FPort);
    return text + u'/' + FDatabaseName;
}

void TVxSqlDBInfo::Open()
{
    if (GetConnected())
        return;
    if (!QSqlDatabase::isDriverAvailable(FDriverName))
        throw EVxDBInfoError(dieNoDriver, QStringLiteral("The QtSql driver %s is not available (available: %s)"),
                             {FDriverName, QSqlDatabase::drivers().join(QStringLiteral(", "))});
    Close();
    QStringList options;
    if (isSQLite()) {
        if (FQueryTimeout > 0)
            options.append(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(FQueryTimeout * 1000));
        // Only reading is asked of the file, and a wrong path must fail
        // rather than leave an empty new database behind.
        if (FDatabaseName != QStringLiteral(":memory:"))
            options.append(QStringLiteral("QSQLITE_OPEN_READONLY"));
    } else if (isPostgres() && FConnectTimeout > 0) {
        options.append(QStringLiteral("connect_timeout=%1").arg(FConnectTimeout));
    } else if (isMySQL() && FConnectTimeout > 0) {
        options.append(QStringLiteral("MYSQL_OPT_CONNECT_TIMEOUT=%1").arg(FConnectTimeout));
    }
    if (!FConnectOptions.isEmpty())
        options.append(FConnectOptions);

    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(FDriverName, FConnectionName);
        db.setDatabaseName(FDatabaseName);
        db.setHostName(FHostName);
        db.setPort(FPort);
        db.setUserName(FUserName);
        db.setPassword(FPassword);
        db.setConnectOptions(options.join(u';'));
        if (!db.open()) {
            failure = db.lastError().text();
        } else if ((isPostgres() || isMySQL()) && FQueryTimeout > 0) {
            const QString sql = statementTimeoutSQL(db, isPostgres(), FQueryTimeout);
            QSqlQuery query(db);
            if (!sql.isEmpty() && !query.exec(sql))
                failure = query.lastError().text();
        }
    }
    if (!failure.isEmpty()) {
        Close();
        throw EVxDBInfoError(dieConnect, QStringLiteral("Cannot open the database %s: %s"),
                             {ConnectionText(), failure});
    }
    ConnectionChanged();
}

void TVxSqlDBInfo::Close()
{
    if (!QSqlDatabase::contains(FConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(FConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(FConnectionName);
    voidCatalogue();
}

QSqlDatabase TVxSqlDBInfo::Database()
{
    Open();
    return QSqlDatabase::database(FConnectionName, false);
}

bool TVxSqlDBInfo::GetConnected()
{
    return QSqlDatabase::contains(FConnectionName) && QSqlDatabase::database(FConnectionName, false).isOpen();
}

void TVxSqlDBInfo::voidCatalogue()
{
    FCatalogue.clear();
    FTypes.clear();
    FCatalogueRead = false;
}

void TVxSqlDBInfo::ConnectionChanged()
{
    TVxDBInfo::ConnectionChanged();
    voidCatalogue();
}

void TVxSqlDBInfo::DatabaseChanged()
{
    Update();
    voidCatalogue();
}

QString TVxSqlDBInfo::GetCurrentDbName()
{
    if (!isSQLite())
        return FDatabaseName;
    return storedCurrentDbName().isEmpty() ? QStringLiteral("main") : storedCurrentDbName();
}

void TVxSqlDBInfo::SetCurrentDbName(const QString& name)
{
    if (name == GetCurrentDbName())
        return;
    if (isSQLite()) {
        storeCurrentDbName(name);
    } else {
        Close();
        FDatabaseName = name;
    }
    DatabaseChanged();
}

QSqlQuery TVxSqlDBInfo::exec(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    // Without values the text runs as it stands, so a colon in it is never
    // taken for a placeholder.
    bool ok;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        ok = query.prepare(sql);
        for (const QVariant& value : values)
            query.addBindValue(value);
        ok = ok && query.exec();
    }
    if (!ok)
        throw EVxDBInfoError(dieStatement, QStringLiteral("The statement failed: %s"), {query.lastError().text()});
    return query;
}

QString TVxSqlDBInfo::sqliteSchema()
{
    return quoted(GetCurrentDbName());
}

void TVxSqlDBInfo::AvailableDatabases(TStringList& list)
{
    if (isSQLite()) {
        QSqlQuery query = exec(QStringLiteral("PRAGMA database_list"));
        while (query.next())
            list.Add(query.value(1).toString());
    } else if (isPostgres()) {
        QSqlQuery query = exec(QStringLiteral("SELECT datname FROM pg_database "
                                              "WHERE datallowconn AND NOT datistemplate ORDER BY datname"));
        while (query.next())
            list.Add(query.value(0).toString());
    } else if (isMySQL()) {
        QSqlQuery query = exec(QStringLiteral("SELECT SCHEMA_NAME FROM information_schema.SCHEMATA WHERE SCHEMA_NAME "
                                              "NOT IN ('information_schema', 'mysql', 'performance_schema', 'sys') "
                                              "ORDER BY BINARY SCHEMA_NAME"));
        while (query.next())
            list.Add(query.value(0).toString());
    }
}

void TVxSqlDBInfo::TablesByDatabase(TStringList& list)
{
    // A new table list starts a new reading of the columns.
    voidCatalogue();
    QStringList names;
    if (isSQLite()) {
        QSqlQuery query = exec(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type IN ('table', 'view') "
                                              "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name")
                                   .arg(sqliteSchema()));
        while (query.next())
            names.append(query.value(0).toString());
    } else if (isPostgres()) {
        QSqlQuery query = exec(QStringLiteral("SELECT c.relname FROM pg_class c "
                                              "JOIN pg_namespace n ON n.oid = c.relnamespace "
                                              "WHERE n.nspname = current_schema() "
                                              "AND c.relkind IN ('r', 'v', 'm', 'p', 'f') AND NOT c.relispartition "
                                              "ORDER BY c.relname"));
        while (query.next())
            names.append(query.value(0).toString());
    } else if (isMySQL()) {
        QSqlQuery query = exec(QStringLiteral("SELECT TABLE_NAME FROM information_schema.TABLES "
                                              "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_TYPE <> 'SEQUENCE' "
                                              "ORDER BY BINARY TABLE_NAME"));
        while (query.next())
            names.append(query.value(0).toString());
    } else {
        const QSqlDatabase db = Database();
        names = db.tables(QSql::Tables) + db.tables(QSql::Views);
        std::sort(names.begin(), names.end());
    }
    list.AddStrings(names);
}

void TVxSqlDBInfo::FieldsByTable(const QString& tableName, TDBFieldList& fields)
{
    std::vector<Column> columns;
    if (isSQLite() || isPostgres() || isMySQL())
        catalogueColumns(tableName, columns);
    else
        genericColumns(tableName, columns);
    for (const Column& column : columns)
        fields.Add(column.Name, column.Type, column.Size);
}

void TVxSqlDBInfo::sqliteColumns(const QString& table, std::vector<Column>& columns)
{
    QSqlQuery query = exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(sqliteSchema(), quoted(table)));
    while (query.next()) {
        Column column{query.value(1).toString(), ftUnknown, 0};
        mapType(query.value(2).toString(), 0, column);
        columns.push_back(std::move(column));
    }
}

void TVxSqlDBInfo::mapType(const QString& declared, int charLength, Column& column)
{
    // A schema repeats a few type names many times; each is mapped once.
    QString key = declared;
    if (isMySQL())
        key += QChar(0) + QString::number(charLength);
    auto known = FTypes.constFind(key);
    if (known == FTypes.cend()) {
        TFieldType type;
        int size;
        if (isMySQL())
            MySqlTypeToFieldType(declared, charLength, type, size);
        else
            SqlTypeToFieldType(declared, isSQLite(), type, size);
        known = FTypes.insert(key, {type, size});
    }
    column.Type = known->first;
    column.Size = known->second;
}

TVxSqlDBInfo::Column TVxSqlDBInfo::catalogueColumn(const QSqlQuery& query)
{
    Column column{query.value(1).toString(), ftUnknown, 0};
    mapType(query.value(2).toString(), isMySQL() ? query.value(3).toInt() : 0, column);
    return column;
}

void TVxSqlDBInfo::readCatalogue()
{
    FCatalogueRead = true;
    if (isSQLite()) {
        readSQLiteCatalogue();
        return;
    }
    QSqlQuery query = exec(isMySQL() ? mysqlColumnsSQL(false) : postgresColumnsSQL(false));
    TextHash<std::vector<std::pair<int, Column>>> numbered;
    for (int row = 1; query.next(); ++row) {
        if (isMySQL())
            FCatalogue[query.value(0).toString()].push_back(catalogueColumn(query));
        else
            numbered[query.value(0).toString()].emplace_back(query.value(3).toInt(), catalogueColumn(query));
        if (row % kRowsBetweenChecks == 0)
            CheckRetrievalCancelled();
    }
    for (auto it = numbered.begin(); it != numbered.end(); ++it) {
        std::sort(it->begin(), it->end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<Column>& columns = FCatalogue[it.key()];
        columns.reserve(it->size());
        for (auto& [number, column] : *it)
            columns.push_back(std::move(column));
    }
}

void TVxSqlDBInfo::readSQLiteCatalogue()
{
    // One statement over the schema instead of a PRAGMA per table. A view
    // that SQLite can no longer compile fails the whole statement; then the
    // catalogue stays empty, each table is read alone, and only that view
    // fails.
    QSqlQuery query(Database());
    query.setForwardOnly(true);
    const QString sql = QStringLiteral("SELECT m.name, p.cid, p.name, p.type FROM %1.sqlite_master m "
                                       "JOIN pragma_table_info(m.name, ?) p WHERE m.type IN ('table', 'view') "
                                       "AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\'")
                            .arg(sqliteSchema());
    if (!query.prepare(sql))
        return;
    query.addBindValue(GetCurrentDbName());
    if (!query.exec())
        return;
    QString table;
    std::vector<Column>* columns = nullptr;
    int lastCid = -1;
    for (int row = 1; query.next(); ++row) {
        const QString name = query.value(0).toString();
        if (columns == nullptr || name != table) {
            table = name;
            columns = &FCatalogue[table];
            lastCid = -1;
        }
        // The pragma gives a table's columns in their declared order; should
        // it ever not, the tables are read one by one.
        const int cid = query.value(1).toInt();
        if (cid <= lastCid || (!columns->empty() && lastCid < 0)) {
            FCatalogue.clear();
            return;
        }
        lastCid = cid;
        Column column{query.value(2).toString(), ftUnknown, 0};
        mapType(query.value(3).toString(), 0, column);
        columns->push_back(std::move(column));
        if (row % kRowsBetweenChecks == 0)
            CheckRetrievalCancelled();
    }
    if (query.lastError().isValid())
        FCatalogue.clear();
}

void TVxSqlDBInfo::catalogueColumns(const QString& table, std::vector<Column>& columns)
{
    if (!FCatalogueRead)
        readCatalogue();
    auto found = FCatalogue.constFind(table);
    if (found == FCatalogue.cend()) {
        // The name as an unquoted identifier names the table, when only
        // one table differs from it in letter case alone.
        for (auto it = FCatalogue.cbegin(); it != FCatalogue.cend(); ++it) {
            if (it.key().Text().compare(table, Qt::CaseInsensitive) != 0)
                continue;
            if (found != FCatalogue.cend()) {
                found = FCatalogue.cend();
                break;
            }
            found = it;
        }
    }
    if (found != FCatalogue.cend()) {
        columns = *found;
        return;
    }
    // Made after the reading, or not there at all.
    if (isSQLite()) {
        sqliteColumns(table, columns);
        return;
    }
    QSqlQuery query = exec(isMySQL() ? mysqlColumnsSQL(true) : postgresColumnsSQL(true), {table});
    while (query.next())
        columns.push_back(catalogueColumn(query));
}

void TVxSqlDBInfo::genericColumns(const QString& table, std::vector<Column>& columns)
{
    const QSqlRecord record = Database().record(table);
    for (int i = 0; i < record.count(); ++i) {
        Column column{record.fieldName(i), ftUnknown, 0};
        column.Type = typeOfValue(record.field(i), column.Size);
        columns.push_back(std::move(column));
    }
}

void TVxSqlDBInfo::LinksByDatabase(TStringList& list)
{
    if (isSQLite())
        sqliteLinks(list);
    else if (isPostgres())
        postgresLinks(list);
    else if (isMySQL())
        mysqlLinks(list);
}

void TVxSqlDBInfo::sqliteLinks(TStringList& list)
{
    const QString schema = sqliteSchema();
    // Every key of the schema in one statement. SQLite numbers a table's
    // keys from the last declared one, so the highest number comes first.
    QSqlQuery query = exec(QStringLiteral("SELECT m.name, f.id, f.\"table\", f.\"from\", f.\"to\" "
                                          "FROM %1.sqlite_master m JOIN pragma_foreign_key_list(m.name, ?) f "
                                          "WHERE m.type = 'table' AND m.name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                          "ORDER BY m.name, f.id DESC, f.seq")
                               .arg(schema),
                           {GetCurrentDbName()});
    QString table;
    QString parent;
    int id = -1;
    QStringList from;
    QStringList to;
    const auto flush = [&] {
        // A key that names no columns of its parent takes the parent's
        // primary key.
        if (to.contains(QString())) {
            QMap<int, QString> primary;
            QSqlQuery info = exec(QStringLiteral("PRAGMA %1.table_info(%2)").arg(schema, quoted(parent)));
            while (info.next())
                if (info.value(5).toInt() > 0)
                    primary.insert(info.value(5).toInt(), info.value(1).toString());
            to = primary.values();
        }
        const QString line = linkLine(table, parent, from, to);
        if (!line.isEmpty())
            list.Add(line);
        from.clear();
        to.clear();
    };
    for (int row = 1; query.next(); ++row) {
        const QString rowTable = query.value(0).toString();
        const int rowId = query.value(1).toInt();
        if (!from.isEmpty() && (rowId != id || rowTable != table))
            flush();
        table = rowTable;
        id = rowId;
        parent = query.value(2).toString();
        from.append(query.value(3).toString());
        to.append(query.value(4).toString());
        if (row % kRowsBetweenChecks == 0)
            CheckRetrievalCancelled();
    }
    if (!from.isEmpty())
        flush();
}

void TVxSqlDBInfo::postgresLinks(TStringList& list)
{
    // Each column name is looked up by its table and number, one index probe
    // each: joined on the table alone, the server read every column of both
    // tables for every key.
    QSqlQuery query = exec(QStringLiteral(
        "SELECT con.oid, cl.relname, rf.relname, "
        "(SELECT a.attname FROM pg_attribute a WHERE a.attrelid = con.conrelid AND a.attnum = k.src), "
        "(SELECT a.attname FROM pg_attribute a WHERE a.attrelid = con.confrelid AND a.attnum = k.dst) "
        "FROM pg_constraint con "
        "JOIN pg_class cl ON cl.oid = con.conrelid "
        "JOIN pg_class rf ON rf.oid = con.confrelid "
        "JOIN pg_namespace n ON n.oid = cl.relnamespace "
        "CROSS JOIN LATERAL unnest(con.conkey, con.confkey) WITH ORDINALITY AS k(src, dst, pos) "
        "WHERE con.contype = 'f' AND con.conparentid = 0 AND n.nspname = current_schema() "
        "AND rf.relnamespace = n.oid "
        "ORDER BY cl.relname, con.conname, con.oid, k.pos"));
    catalogueLinks(query, list);
}

void TVxSqlDBInfo::mysqlLinks(TStringList& list)
{
    QSqlQuery query = exec(QStringLiteral(
        "SELECT CONSTRAINT_NAME, TABLE_NAME, REFERENCED_TABLE_NAME, COLUMN_NAME, REFERENCED_COLUMN_NAME "
        "FROM information_schema.KEY_COLUMN_USAGE "
        "WHERE TABLE_SCHEMA = DATABASE() AND REFERENCED_TABLE_SCHEMA = DATABASE() "
        "ORDER BY BINARY TABLE_NAME, BINARY CONSTRAINT_NAME, ORDINAL_POSITION"));
    catalogueLinks(query, list);
}

void TVxSqlDBInfo::catalogueLinks(QSqlQuery& query, TStringList& list)
{
    QString key;
    QString child;
    QString parent;
    QStringList from;
    QStringList to;
    const auto flush = [&] {
        const QString line = linkLine(child, parent, from, to);
        if (!line.isEmpty())
            list.Add(line);
        from.clear();
        to.clear();
    };
    // A key's name need not be unique beyond its table.
    while (query.next()) {
        const QString rowKey = query.value(0).toString() + QChar(0) + query.value(1).toString();
        if (rowKey != key && !key.isEmpty())
            flush();
        key = rowKey;
        child = query.value(1).toString();
        parent = query.value(2).toString();
        from.append(query.value(3).toString());
        to.append(query.value(4).toString());
    }
    if (!key.isEmpty())
        flush();
}

void TVxSqlDBInfo::GetSQLValues(const QString& sql, TStringList& values, TStringList& items)
{
    QSqlQuery query = exec(sql);
    const int captionColumn = query.record().count() > 1 ? 1 : 0;
    while (query.next()) {
        values.Add(valueText(query.value(0)));
        items.Add(valueText(query.value(captionColumn)));
    }
    if (query.lastError().isValid())
        throw EVxDBInfoError(dieStatement, QStringLiteral("The statement failed: %s"), {query.lastError().text()});
}

void TVxSqlDBInfo::LoadInfo(TStringList& info)
{
    if (info.IsEmpty())
        return;
    const QString driver = info.Values(QStringLiteral("Driver"));
    SetDriverName(driver.isEmpty() ? kSQLite : driver);
    SetDatabaseName(info.Values(QStringLiteral("Database")));
    SetHostName(info.Values(QStringLiteral("Host")));
    const QString port = info.Values(QStringLiteral("Port"));
    SetPort(port.isEmpty() ? -1 : XStrToInt(port));
    SetUserName(info.Values(QStringLiteral("User")));
    SetConnectOptions(info.Values(QStringLiteral("Options")));
    if (info.IndexOfName(QStringLiteral("Password")) >= 0)
        SetPassword(info.Values(QStringLiteral("Password")));
}

void TVxSqlDBInfo::SaveInfo(TStringList& info)
{
    const auto put = [&info](const char* name, const QString& value) {
        if (!value.isEmpty())
            info.Add(QLatin1String(name) + u'=' + value);
    };
    put("Driver", FDriverName);
    put("Database", FDatabaseName);
    put("Host", FHostName);
    put("Port", FPort >= 0 ? QString::number(FPort) : QString());
    put("User", FUserName);
    put("Options", FConnectOptions);
    if (FStorePassword)
        put("Password", FPassword);
}

} // namespace brindle

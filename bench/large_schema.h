#pragma once
// A large, deterministic schema for retrieval tests and benchmarks: the
// given number of tables (10,000 for benchmarks, 1,000 for tests) of 20
// columns each, and one and a half foreign keys per table. Table i refers
// to table i-1 (table 0 to the last, so the keys run in one great cycle)
// and every even table also to table 7i+3, which may be itself. The
// columns take types that SQLite and PostgreSQL report alike, so both
// retrieve the same model.
//
// The DDL comes as statements. SQLite gets the keys inside CREATE TABLE,
// since it takes no ALTER TABLE ... ADD FOREIGN KEY; PostgreSQL gets them
// afterwards, when every table exists. As a script (largeSchemaScript)
// the statements are wrapped in transactions; PostgreSQL commits every
// few hundred tables, so one transaction never holds more locks than the
// server's lock table has room for.

#include <QString>
#include <QStringList>

namespace bench {

enum class SchemaDialect { SQLite, Postgres };

inline QString largeSchemaTable(int i) { return QStringLiteral("t%1").arg(i, 5, 10, QChar(u'0')); }

// The second table that table i refers to, for even i.
inline int largeSchemaOther(int i, int tables) { return static_cast<int>((7LL * i + 3) % tables); }

inline int largeSchemaKeys(int tables) { return tables + (tables + 1) / 2; }

inline QStringList largeSchemaStatements(int tables, SchemaDialect dialect)
{
    static const char* const types[] = {"INTEGER",      "VARCHAR(40)", "DOUBLE PRECISION", "DATE",
                                        "BOOLEAN",      "NUMERIC(12,2)", "TIMESTAMP",      "TEXT",
                                        "SMALLINT",     "BIGINT",      "CHAR(8)"};
    constexpr int typeCount = sizeof(types) / sizeof(types[0]);
    const bool sqlite = dialect == SchemaDialect::SQLite;
    QStringList statements;
    statements.reserve(tables * 2 + 1);
    for (int i = 0; i < tables; ++i) {
        QString sql = QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY, prev_id INTEGER, other_id INTEGER")
                          .arg(largeSchemaTable(i));
        for (int c = 0; c < 17; ++c)
            sql += QStringLiteral(", c%1 %2").arg(c + 1, 2, 10, QChar(u'0')).arg(QLatin1String(types[(i + c) % typeCount]));
        // In the order of PostgreSQL's names for them (t00000_other_id_fkey,
        // t00000_prev_id_fkey), the order in which it lists them.
        if (sqlite) {
            if (i % 2 == 0)
                sql += QStringLiteral(", FOREIGN KEY (other_id) REFERENCES %1 (id)")
                           .arg(largeSchemaTable(largeSchemaOther(i, tables)));
            sql += QStringLiteral(", FOREIGN KEY (prev_id) REFERENCES %1 (id)")
                       .arg(largeSchemaTable((i + tables - 1) % tables));
        }
        statements.append(sql + u')');
    }
    if (!sqlite) {
        for (int i = 0; i < tables; ++i) {
            QString sql = QStringLiteral("ALTER TABLE %1 ADD FOREIGN KEY (prev_id) REFERENCES %2 (id)")
                              .arg(largeSchemaTable(i), largeSchemaTable((i + tables - 1) % tables));
            if (i % 2 == 0)
                sql += QStringLiteral(", ADD FOREIGN KEY (other_id) REFERENCES %1 (id)")
                           .arg(largeSchemaTable(largeSchemaOther(i, tables)));
            statements.append(sql);
        }
    }
    return statements;
}

// The statements as one script for sqlite3 or psql.
inline QString largeSchemaScript(int tables, SchemaDialect dialect)
{
    const QStringList statements = largeSchemaStatements(tables, dialect);
    const int batch = dialect == SchemaDialect::SQLite ? statements.size() : 500;
    QString script;
    script.reserve(statements.size() * 600);
    for (qsizetype i = 0; i < statements.size(); ++i) {
        if (i % batch == 0)
            script += QStringLiteral("BEGIN;\n");
        script += statements[i] + QStringLiteral(";\n");
        if (i % batch == batch - 1 || i == statements.size() - 1)
            script += QStringLiteral("COMMIT;\n");
    }
    return script;
}

} // namespace bench

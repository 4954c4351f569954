// The example queries built in every syntax the servers read, run on the
// PostgreSQL and MariaDB copies of the sample and compared with the SQLite
// rows. MariaDB reads the double-quoted names and || as SQL-92 means them
// only because the test server runs with ANSI_QUOTES and PIPES_AS_CONCAT.
//
// Rows are compared as multisets of compared_rows.h's cells; where the
// statement sorts, the sequence of sort keys must agree too.

#include "database/compared_rows.h"
#include "database/databases.h"

#include <brindle/datamodel/form_classes.h>
#include <brindle/query/bound_statement.h>
#include <brindle/query/query.h>

#include <QDir>
#include <QScopeGuard>
#include <QSqlError>
#include <QTemporaryDir>
#include <QSqlRecord>

#include <algorithm>

using namespace brindle;
using namespace brindle::testing;

namespace {

class ServerRows : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        UseSample(server, GetParam());
        UseSample(sqlite, Backend::SQLite);
        RegisterCoreFormClasses();
        const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), &owner);
        ASSERT_FALSE(components.isEmpty());
        model = qobject_cast<TVxDBStructure*>(components.first());
        ASSERT_NE(model, nullptr);
    }

    // The statement and rows of a stored query in a syntax.
    Rows rows(TVxSqlDBInfo& info, const QString& file, TSQLSyntax syntax, QString& sql)
    {
        TVxQuery built;
        built.SetDbStruct(model);
        built.SetSaveSQLOptions(true);
        built.LoadFromFile(file);
        built.SetActive(true);
        built.SetSQLSyntax(syntax);
        built.BuildQuery();
        sql = built.QResult()->GetSQL().Text();
        QSqlQuery query(info.Database());
        EXPECT_TRUE(query.prepare(sql)) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
        for (int i = 0; i < built.QResult()->GetParamCount(); ++i) {
            const auto* param = built.QResult()->GetParam(i);
            query.bindValue(u':' + param->ParamName(), param->GetFullValue());
        }
        EXPECT_TRUE(query.exec()) << query.lastError().text().toStdString() << "\n" << sql.toStdString();
        Rows rows;
        while (query.next()) {
            QStringList row;
            for (int i = 0; i < query.record().count(); ++i)
                row.append(ComparedCell(query.value(i)));
            rows.append(row);
        }
        return rows;
    }

    TSQLSyntax ownSyntax() const { return GetParam() == Backend::Postgres ? ssPostgreSQL : ssMySQL; }

    TVxSqlDBInfo server, sqlite;
    QObject owner;
    TVxDBStructure* model = nullptr;
};

TEST_P(ServerRows, ExampleQueriesGiveTheSQLiteRows)
{
    const QDir folder(QStringLiteral(BRINDLE_EXAMPLE_QUERIES));
    const QStringList files = folder.entryList({QStringLiteral("*.qry")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 6);
    // SQLite reads no DATE '...' literals, so the NexusDB statements are
    // held against SQLite's rows of the same joins in SQL-92 form; those in
    // the server's own syntax against those in SQLite's.
    const struct {
        TSQLSyntax syntax;
        TSQLSyntax sqliteSyntax;
    } syntaxes[] = {{ssSQL1, ssSQL1}, {ssSQL2, ssSQL2}, {ssNexusDB, ssSQL2}, {ownSyntax(), ssSQLite}};
    const TQuotedTypes quoted = model->QuotedTypes();
    // NexusDB's date literals carry their own quotes.
    const TQuotedTypes nexus = quoted - TQuotedTypes{ftDate, ftTime, ftDateTime, ftTimeStamp};
    for (const auto& s : syntaxes) {
        int compared = 0;
        for (const QString& name : files) {
            SCOPED_TRACE(QStringLiteral("%1 in syntax %2").arg(name).arg(int(s.syntax)).toStdString());
            QString sql;
            model->SetQuotedTypes(quoted);
            Rows expected = rows(sqlite, folder.filePath(name), s.sqliteSyntax, sql);
            model->SetQuotedTypes(s.syntax == ssNexusDB ? nexus : quoted);
            Rows actual = rows(server, folder.filePath(name), s.syntax, sql);
            compared += expected.size();
            const QList<int> columns = SortColumns(sql);
            EXPECT_EQ(SortKeys(actual, columns), SortKeys(expected, columns)) << sql.toStdString();
            std::sort(actual.begin(), actual.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(actual, expected) << sql.toStdString();
        }
        EXPECT_GT(compared, 0);
    }
}

// A value with every pattern and quote character, compared for equality and
// in a "contains" over a virtual field, written into the statement and bound
// as a parameter: the servers themselves find it in a text that holds it,
// and not in one where its pattern characters stand for other ones.
TEST_P(ServerRows, HostileValuesMatchThemselvesLiterally)
{
    const QStringList values = {"50%", "a_b", "\\", "\\%_", "[x]", "it's", "!%!", "%%__", "\u00fc\\n",
                                "\"q\" `b` ]c[", "' OR 1=1 --", QString(2000, u'\'') + "_", "plain"};
    TVxQuery query;
    query.SetDbStruct(model);
    query.SetActive(true);
    TDSField* text = model->Fields(model->AddField(kfkVirtual, "''", "Text", nullptr));
    text->SetFieldType(ftString);
    text->AddAppliedOperators();
    auto* condition = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), text));
    const struct {
        TSQLSyntax syntax;
        TVxSqlDBInfo* info;
    } targets[] = {{ownSyntax(), &server}, {ssSQLite, &sqlite}};
    for (const auto& target : targets) {
        query.SetSQLSyntax(target.syntax);
        for (const bool contains : {true, false}) {
            condition->SetOperator(model->OperatorByName(contains ? QStringLiteral("Contains") : QStringLiteral("Equal")));
            for (const QString& value : values) {
                QString other = value;
                other.replace(u'%', u'x').replace(u'_', u'y');
                for (const QString& held : {value, other}) {
                    QString literal = QString(held).replace(u'\'', QStringLiteral("''"));
                    // MySQL's strings take the backslash as an escape.
                    if (target.syntax == ssMySQL)
                        literal.replace(u'\\', QStringLiteral("\\\\"));
                    text->SetSQLExpr(QString::fromLatin1(contains ? "'<%1>'" : "'%1'").arg(literal));
                    for (const bool bound : {false, true}) {
                        condition->SetValueIsParam(1, bound);
                        if (bound)
                            condition->GetParam(1)->SetValue(value);
                        else
                            condition->SetValue(1, value);
                        const QString sql = QStringLiteral("SELECT 1 FROM (SELECT 1 AS x) one WHERE ")
                                            + query.ConditionSQL(condition);
                        QSqlQuery run(target.info->Database());
                        ASSERT_TRUE(run.prepare(sql)) << run.lastError().text().toStdString() << "\n" << sql.toStdString();
                        if (bound)
                            run.bindValue(u':' + condition->GetParam(1)->ParamName(),
                                          condition->GetParam(1)->GetFullValue());
                        ASSERT_TRUE(run.exec()) << run.lastError().text().toStdString() << "\n" << sql.toStdString();
                        EXPECT_EQ(run.next(), held == value) << sql.toStdString() << " with " << value.toStdString();
                    }
                }
            }
        }
    }
}

// A table and columns whose names need delimiting everywhere (a reserved
// word, a blank and a colon, quotes and a back-quote, a non-ASCII letter), retrieved
// from the database and queried in its own syntax: each name reaches its
// column. The names are made with double quotes, which the test server
// reads as SQL does.
TEST_P(ServerRows, NamesThatNeedDelimitingReachTheirColumns)
{
    // The info opens SQLite files only for reading: the file is made aside.
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("names.sqlite"));
    {
        QSqlDatabase made = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("names-made"));
        made.setDatabaseName(file);
        ASSERT_TRUE(made.open());
    }
    QSqlDatabase::removeDatabase(QStringLiteral("names-made"));
    TVxSqlDBInfo scratch;
    scratch.SetDatabaseName(file);
    // On the server, a schema or database of its own keeps the sample's
    // tables as the other tests count them.
    TVxSqlDBInfo own;
    UseSample(own, GetParam());
    const bool postgres = GetParam() == Backend::Postgres;
    if (postgres)
        own.SetConnectOptions(QStringLiteral("options='-c search_path=names_scratch'"));
    ASSERT_TRUE(QSqlQuery(own.Database())
                    .exec(postgres ? QStringLiteral("CREATE SCHEMA names_scratch")
                                   : QStringLiteral("CREATE DATABASE names_scratch")));
    if (!postgres)
        own.SetCurrentDbName(QStringLiteral("names_scratch"));
    const auto dropScratch = qScopeGuard([&] {
        QSqlQuery drop(own.Database());
        drop.exec(QStringLiteral("SET client_min_messages = warning"));
        drop.exec(postgres ? QStringLiteral("DROP SCHEMA names_scratch CASCADE")
                           : QStringLiteral("DROP DATABASE names_scratch"));
    });
    const struct {
        TSQLSyntax syntax;
        TVxSqlDBInfo* info;
    } targets[] = {{ownSyntax(), &own}, {ssSQLite, &scratch}};
    for (const auto& target : targets) {
        SCOPED_TRACE(int(target.syntax));
        QSqlDatabase writable = target.info->Database();
        if (target.info == &scratch) {
            writable = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("names-written"));
            writable.setDatabaseName(file);
            ASSERT_TRUE(writable.open());
        }
        QSqlQuery ddl(writable);
        ddl.exec(QStringLiteral("DROP TABLE IF EXISTS \"select\""));
        ASSERT_TRUE(ddl.exec(QString::fromUtf8("CREATE TABLE \"select\" (\"group\" INTEGER, \"a:b c\" VARCHAR(20), "
                                               "\"it's \"\"q\"\" x`y\" VARCHAR(20), \"Z\u00fcrich\" VARCHAR(20))")))
            << ddl.lastError().text().toStdString();
        ASSERT_TRUE(ddl.exec(QStringLiteral("INSERT INTO \"select\" VALUES (1, 'one', 'two', 'three'), (2, 'x', 'y', 'z')")));
        ddl = QSqlQuery();
        if (target.info == &scratch) {
            writable = QSqlDatabase();
            QSqlDatabase::removeDatabase(QStringLiteral("names-written"));
        }

        TVxDBStructure retrieved;
        retrieved.SetDatabaseInfo(target.info);
        retrieved.RetriveDataModelInfo();
        TDSTable* table = retrieved.TableByName(tlByName, QStringLiteral("select"));
        ASSERT_NE(table, nullptr);
        TVxQuery query;
        query.SetDbStruct(&retrieved);
        query.SetActive(true);
        query.SetSQLSyntax(target.syntax);
        TDSField* key = nullptr;
        for (int i = 0; i < retrieved.FieldCount(); ++i) {
            TDSField* field = retrieved.Fields(i);
            if (field->Table() != table)
                continue;
            query.QResult()->ResultFields().Add(QStringLiteral("@1"), {field}, field->DisplayName());
            if (field->FieldName() == QStringLiteral("group"))
                key = field;
        }
        ASSERT_NE(key, nullptr);
        auto* condition = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), key));
        condition->SetOperator(retrieved.OperatorByName(QStringLiteral("Equal")));
        // A bound value: QtSql's placeholder scan must pass over ":b" inside the delimited name.
        condition->SetValueIsParam(1, true);
        condition->GetParam(1)->SetValue(QStringLiteral("1"));
        query.BuildQuery();
        const BoundStatement bound = BindStatement(query);
        const QString& sql = bound.SQL;
        QSqlQuery run(target.info->Database());
        ASSERT_TRUE(run.prepare(sql)) << run.lastError().text().toStdString() << "\n" << sql.toStdString();
        for (const auto& [placeholder, value] : bound.Values)
            run.bindValue(placeholder, value);
        ASSERT_TRUE(run.exec()) << run.lastError().text().toStdString() << "\n" << sql.toStdString();
        ASSERT_TRUE(run.next()) << sql.toStdString();
        QStringList row;
        for (int i = 0; i < run.record().count(); ++i)
            row << run.value(i).toString();
        EXPECT_EQ(row, QStringList({"1", "one", "two", "three"})) << sql.toStdString();
        EXPECT_FALSE(run.next());
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerRows, ::testing::Values(Backend::Postgres, Backend::MariaDB), BackendName);

} // namespace


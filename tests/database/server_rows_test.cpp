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
#include <brindle/query/query.h>

#include <QDir>
#include <QSqlError>
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

INSTANTIATE_TEST_SUITE_P(Servers, ServerRows, ::testing::Values(Backend::Postgres, Backend::MariaDB), BackendName);

} // namespace


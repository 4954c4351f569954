// The model retrieved from the sample database, on SQLite, PostgreSQL and
// MariaDB: its tables, columns, types and the links read from the foreign
// keys, the model text round trip, lookup lists, the current database, and
// the keys of a scratch database that the sample lacks (several columns, an
// implicit parent key where the database allows one, names the link form
// cannot hold).

#include "database/databases.h"

#include <brindle/datamodel/db_structure.h>

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

using namespace brindle;
using namespace brindle::testing;

namespace {

QStringList folded(QStringList lines)
{
    for (QString& line : lines)
        line = line.toLower();
    std::sort(lines.begin(), lines.end());
    return lines;
}

class Retrieval : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        UseSample(info, GetParam());
        model.SetDatabaseInfo(&info);
    }

    TVxSqlDBInfo info;
    TVxDBStructure model;
};

TEST_P(Retrieval, GivesTheSampleTablesColumnsAndKeys)
{
    model.RetriveDataModelInfo();
    TStringList tables;
    model.GetTableNames(tables, 0);
    EXPECT_EQ(folded(tables.Lines()),
              QStringList({"categories", "customers", "employees", "order details", "orders", "products", "shippers",
                           "suppliers"}));
    TStringList links;
    info.GetLinkList(links);
    EXPECT_EQ(folded(links.Lines()),
              QStringList({"customers-employees:accountmanagerid=employeeid",
                           "employees-employees:managerid=employeeid", "order details-orders:orderid=orderid",
                           "order details-products:productid=productid", "orders-customers:customerid=customerid",
                           "orders-employees:employeeid=employeeid", "orders-shippers:shipperid=shipperid",
                           "products-categories:categoryid=categoryid",
                           "products-suppliers:supplierid=supplierid"}));
    EXPECT_EQ(model.LinkCount(), 9);

    for (int i = 0; i < model.TableCount(); ++i)
        EXPECT_EQ(model.Tables(i)->Quoted(), model.Tables(i)->TableName().contains(u' '));

    // One group per table, fields numbered from 1 in table order.
    ASSERT_EQ(model.FieldGroups().Count(), model.TableCount());
    EXPECT_EQ(model.FieldCount(), 50);
    for (int i = 0; i < model.FieldCount(); ++i) {
        const TDSField* field = model.Fields(i);
        EXPECT_TRUE(field->ID() == i + 1 && field->DisplayName() == field->FieldExpr()
                    && field->Group()->GroupName() == field->Table()->TableName()
                    && field->Quoted() == field->FieldName().contains(u' ') && field->UseInConditions()
                    && field->UseInResult() && field->OperatCount() > 0)
            << field->FieldName().toStdString();
    }

    // The committed sample model took its types from the SQLite file
    // through a mapping of its own; both databases must agree with it.
    TVxDBStructure sample;
    sample.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    for (int i = 0; i < sample.FieldCount(); ++i) {
        const TDSField* expected = sample.Fields(i);
        if (expected->FieldKind() != kfkData)
            continue;
        SCOPED_TRACE(expected->FullName().toStdString());
        const TDSTable* table = model.TableByName(tlByName, expected->Table()->TableName());
        ASSERT_NE(table, nullptr);
        const TDBFieldInfo* column = info.GetFieldList(table->TableName()).FindByName(expected->FieldName());
        ASSERT_NE(column, nullptr);
        EXPECT_EQ(std::pair(column->FieldType, column->FieldSize), std::pair(expected->FieldType(), expected->FieldSize()));
    }
}

TEST_P(Retrieval, ModelTextReadsBackWithTheConnectionButNoPassword)
{
    model.RetriveDataModelInfo();
    TStringList text;
    model.SaveToStrings(text);
    EXPECT_GE(text.IndexOf(QStringLiteral("[DBSpecInfo]")), 0);
    EXPECT_FALSE(text.Text().contains(QStringLiteral("Password=")));

    TVxSqlDBInfo other;
    TVxDBStructure copy;
    copy.SetDatabaseInfo(&other);
    copy.LoadFromStrings(text);
    EXPECT_EQ(other.ConnectionText(), info.ConnectionText());
    TStringList again;
    copy.SaveToStrings(again);
    EXPECT_EQ(again.Text(), text.Text());
}

TEST_P(Retrieval, LookupsFillListsOrGiveTheDriversMessage)
{
    TVxDBStructure sample;
    sample.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    sample.SetDatabaseInfo(&info);
    auto* editor = dynamic_cast<TDSSQLEditor*>(sample.FieldByName(flByDisplayName, QStringLiteral("Product category"))->ValueEditor());
    ASSERT_NE(editor, nullptr);
    editor->SetOpened(true);
    EXPECT_EQ(editor->Values.Lines(), QStringList({"2", "7", "4", "8", "5", "3", "6", "1"}));
    EXPECT_EQ(editor->Items.Lines(), QStringList({"Coffee", "Confectionery", "Grains & Pasta", "Kitchenware",
                                                  "Oils & Vinegars", "Preserves", "Spices", "Teas & Infusions"}));

    TStringList values, captions;
    info.RunQuery(QStringLiteral("SELECT CategoryName FROM Categories WHERE CategoryID = 3"), values, captions);
    EXPECT_EQ(values.Lines() + captions.Lines(), QStringList({"Preserves", "Preserves"}));

    const EVxDBInfoError e =
        InfoError([&] { info.RunQuery(QStringLiteral("SELECT Name FROM NoSuchTable"), values, captions); });
    EXPECT_EQ(e.ErrorCode(), dieStatement);
    EXPECT_TRUE(e.Message().contains(QStringLiteral("nosuchtable"), Qt::CaseInsensitive)) << e.Message().toStdString();
}

// The current database (SQLite: schema) decides the tables; another
// database of a server takes another connection. The servers' own
// databases are not listed.
TEST_P(Retrieval, CurrentDatabaseDecidesTheTables)
{
    const bool sqlite = GetParam() == Backend::SQLite, postgres = GetParam() == Backend::Postgres;
    const QString home = sqlite ? "main" : "brindle_sample";
    const QString other = sqlite ? "temp" : postgres ? "postgres" : "brindle_empty";
    const QString hidden = postgres ? "template1" : "mysql";
    EXPECT_FALSE(info.Connected());
    TStringList databases, tables;
    info.GetDatabaseNames(databases); // connects when first asked
    EXPECT_TRUE(info.Connected() && info.CurrentDBName() == home);
    if (sqlite)
        EXPECT_EQ(databases.Lines(), QStringList({"main"}));
    else
        EXPECT_TRUE(databases.IndexOf(home) >= 0 && databases.IndexOf(other) >= 0 && databases.IndexOf(hidden) < 0)
            << databases.CommaText().toStdString();
    info.SetCurrentDbName(other);
    EXPECT_EQ(info.Connected(), sqlite);
    info.GetTableNames(tables);
    EXPECT_TRUE(tables.IsEmpty());
    info.SetCurrentDbName(home);
    info.GetTableNames(tables);
    EXPECT_EQ(tables.Count(), 8);
}

// Keys the sample lacks, in an SQLite database in memory, a scratch
// PostgreSQL schema (reached through the search path, as a host would reach
// one) or a scratch MariaDB database, where a key must name its parent's
// columns.
TEST_P(Retrieval, KeysOfSeveralColumnsAndNamesTheLinkFormCannotHold)
{
    const bool postgres = GetParam() == Backend::Postgres, mariadb = GetParam() == Backend::MariaDB;
    const QString schema = QStringLiteral("keys_%1").arg(QRandomGenerator::global()->generate());
    QStringList script = {
        "CREATE TABLE Parent (a INTEGER NOT NULL, b VARCHAR(5) NOT NULL, PRIMARY KEY (b, a))",
        "CREATE TABLE Child (x INTEGER, y VARCHAR(5), FOREIGN KEY (y, x) REFERENCES Parent)",
        "CREATE TABLE \"Bad-Name\" (p VARCHAR(5), q INTEGER, FOREIGN KEY (p, q) REFERENCES Parent)",
        "CREATE TABLE Other (r INTEGER, \"s,t\" VARCHAR(5), FOREIGN KEY (\"s,t\", r) REFERENCES Parent)",
        "CREATE VIEW ParentView AS SELECT a FROM Parent"};
    if (postgres) {
        info.SetConnectOptions(QStringLiteral("options='-c search_path=%1'").arg(schema));
        script.prepend(QStringLiteral("CREATE SCHEMA %1").arg(schema));
    } else if (mariadb) {
        for (QString& statement : script)
            statement.replace(QStringLiteral("REFERENCES Parent)"), QStringLiteral("REFERENCES Parent (b, a))"));
        QSqlQuery make(info.Database());
        ASSERT_TRUE(make.exec(QStringLiteral("CREATE DATABASE %1").arg(schema))) << make.lastError().text().toStdString();
        info.SetCurrentDbName(schema);
    } else {
        info.SetDatabaseName(QStringLiteral(":memory:"));
    }
    const auto dropScratch = qScopeGuard([&] {
        if (GetParam() == Backend::SQLite || !info.Connected())
            return;
        QSqlQuery drop(info.Database());
        if (mariadb) {
            drop.exec(QStringLiteral("DROP DATABASE %1").arg(schema));
            return;
        }
        drop.exec(QStringLiteral("SET client_min_messages = warning"));
        drop.exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
    });
    QSqlQuery query(info.Database());
    for (const QString& statement : script)
        ASSERT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();

    model.RetriveDataModelInfo();
    TStringList tables;
    model.GetTableNames(tables, 0);
    EXPECT_EQ(folded(tables.Lines()), QStringList({"bad-name", "child", "other", "parent", "parentview"}));
    TStringList links;
    info.GetLinkList(links);
    EXPECT_EQ(folded(links.Lines()), QStringList({"child-parent:y=b,x=a"}));
    EXPECT_TRUE(model.LinkCount() == 1 && model.Links(0)->Fields1().Count() == 2);
}

INSTANTIATE_TEST_SUITE_P(Databases, Retrieval, ::testing::Values(Backend::SQLite, Backend::Postgres, Backend::MariaDB),
                         BackendName);

} // namespace

// The two stored query bases against real storage: a folder of query files
// and a table in an SQLite database file, each followed by a query.

#include <brindle/query/query_base_files.h>
#include <brindle/query/query_base_sql.h>
#include "query/query_fixtures.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace brindle {
namespace {

class StorageTest : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // A query text of one condition "City is equal to <city>".
    TStringList text(const QString& name, const QString& city, const QString& description = {})
    {
        TVxQuery author;
        author.SetDbStruct(&m.model);
        author.SetActive(true);
        author.SetQueryName(name);
        author.Description().SetText(description);
        fixtures::addCondition(author, author.Filter(), m.custCity, m.op("Equal"), city);
        TStringList lines;
        author.SaveToStrings(lines);
        return lines;
    }
    QString shownCity() const
    {
        const TFilterCond* cond = query.Filter()->GetFirstCondition();
        return cond ? cond->GetValue(1) : QString();
    }
    static QStringList names(const TVxQueryBase& base)
    {
        QStringList out;
        for (int i = 0; i < base.GetCount(); ++i)
            out << base.GetQuery(i)->QueryName();
        return out;
    }
    // Four stored queries A..D; the current one is deleted in the middle,
    // last, first and only position while the query follows.
    void deleteInEveryPosition(TVxQueryBase& base, const std::function<int()>& storedCount)
    {
        for (const QString city : {"Oslo", "Bergen", "Narvik", "Molde"})
            base.NewQuery()->SaveContent(text(city.left(1), city));
        EXPECT_EQ(names(base), QStringList({"O", "B", "N", "M"}));
        query.SetQueryBase(&base);
        const struct {
            int current;
            int newIndex;
            const char* shown;
        } steps[] = {{1, 1, "Narvik"}, {2, 1, "Narvik"}, {0, 0, "Narvik"}, {0, -1, ""}};
        int left = 4;
        for (const auto& step : steps) {
            base.SetItemIndex(step.current);
            base.DeleteQuery(step.current);
            --left;
            EXPECT_EQ(base.ItemIndex(), step.newIndex);
            EXPECT_EQ(shownCity(), step.shown);
            EXPECT_EQ(base.GetCount(), left);
            EXPECT_EQ(storedCount(), left);
        }
        EXPECT_EQ(query.Filter()->GetRowCount(), 0);
    }
    // The call raises the base's error with the code and a message holding the text.
    static void expectError(int code, const std::function<void()>& call, const QString& inMessage = {})
    {
        const QString error = fixtures::errorOf<EVxQueryBaseError>(call);
        EXPECT_TRUE(error.startsWith(QString::number(code) + ": ") && error.contains(inMessage))
            << error.toStdString();
    }

    QTemporaryDir dir;
};

// --- files

TEST_F(StorageTest, FilesAreListedLoadedAndWrittenBack)
{
    text("Beta", "Bergen", "west\ncoast").SaveToFile(dir.filePath("b.qry"));
    text("Alpha", "Oslo").SaveToFile(dir.filePath("a.qry"));
    text("", "Narvik").SaveToFile(dir.filePath("c.x.qry")); // no name: listed by its file's base name
    TStringList{"not a query"}.SaveToFile(dir.filePath("notes.txt"));

    TVxFileQueryBase base;
    base.SetFolder(dir.path());
    base.Open();
    EXPECT_EQ(names(base), QStringList({"Alpha", "Beta", "c"}));
    EXPECT_EQ(base.GetQuery(1)->Description(), "west\ncoast");

    query.SetQueryBase(&base);
    EXPECT_EQ(shownCity(), "Oslo");
    base.SetItemIndex(1);
    EXPECT_EQ(shownCity(), "Bergen");
    EXPECT_EQ(query.Description().Lines(), QStringList({"west", "coast"}));

    // The query's edit is written to its file, exactly as the query saves it.
    add(m.amount, "GreaterThan", "100");
    base.GetCurrentQuery()->Save();
    TStringList saved, onDisk;
    query.SaveToStrings(saved);
    onDisk.LoadFromFile(dir.filePath("b.qry"));
    EXPECT_EQ(onDisk, saved);

    // A new name and description are written into the file, around the
    // query's text, and shown.
    base.GetCurrentQuery()->SetQueryName("Beta two");
    base.GetCurrentQuery()->SetDescription("renamed");
    EXPECT_EQ(query.QueryName(), "Beta two");
    TVxFileQueryBase again;
    again.SetFolder(dir.path());
    again.Open();
    EXPECT_EQ(names(again), QStringList({"Alpha", "Beta two", "c"}));
    EXPECT_EQ(again.GetQuery(1)->Description(), "renamed");
    TVxQuery reader;
    reader.SetDbStruct(&m.model);
    again.SetItemIndex(1);
    reader.SetQueryBase(&again);
    EXPECT_EQ(reader.Filter()->GetRowCount(), 2);
}

TEST_F(StorageTest, FilesNewAndDeleted)
{
    TVxFileQueryBase base;
    base.SetFolder(dir.filePath("made/on/open"));
    expectError(3, [&] { base.NewQuery(); });
    base.Open();
    EXPECT_TRUE(QDir(dir.filePath("made/on/open")).exists());
    text("", "Oslo").SaveToFile(dir.filePath("made/on/open/query1.qry"));
    base.Close();
    base.Open();
    EXPECT_EQ(names(base), QStringList({"query1"}));
    // Names and files are unique: "query1" is taken whatever its case.
    EXPECT_EQ(base.NewQuery()->QueryName(), "Query2");
    EXPECT_TRUE(QFile::exists(dir.filePath("made/on/open/Query2.qry")));
    base.DeleteQuery(0);
    base.DeleteQuery(0);

    const QDir folder(base.Folder());
    deleteInEveryPosition(base, [&] { return static_cast<int>(folder.entryList({"*.qry"}, QDir::Files).size()); });
}

TEST_F(StorageTest, FileFailures)
{
    TVxFileQueryBase unset;
    expectError(2, [&] { unset.Open(); }, "not specified");

    TVxFileQueryBase base;
    base.SetFolder(dir.filePath("gone"));
    base.Open();
    TVxQueryItem* item = base.NewQuery();
    ASSERT_TRUE(QDir(base.Folder()).removeRecursively());
    expectError(2, [&] { item->SaveContent(text("X", "Oslo")); }, "gone");
    expectError(2, [&] { item->SetQueryName("Y"); }, "gone");
    EXPECT_EQ(item->QueryName(), "Query1");
}

// --- an SQLite table

class SqlStorageTest : public StorageTest {
protected:
    QString dbFile() const { return dir.filePath("queries.sqlite"); }
    void open(TVxSqlQueryBase& base) const { base.SetDatabaseName(dbFile()); base.Open(); }
    // Every stored row, read through a connection of its own.
    QStringList rows(const QString& table = "BrindleQueries") const
    {
        QStringList out;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "reader");
            db.setDatabaseName(dbFile());
            EXPECT_TRUE(db.open());
            QSqlQuery q(QStringLiteral("SELECT ID, QueryName, Description, Content FROM \"%1\" ORDER BY ID").arg(table),
                        db);
            while (q.next())
                out << QStringLiteral("%1|%2|%3|%4").arg(q.value(0).toString(), q.value(1).toString(),
                                                         q.value(2).toString(), q.value(3).toString());
        }
        QSqlDatabase::removeDatabase("reader");
        return out;
    }
};

TEST_F(SqlStorageTest, TableIsCreatedAndKeepsQueries)
{
    {
        TVxSqlQueryBase base;
        open(base);
        EXPECT_EQ(base.GetCount(), 0);
        for (int i = 0; i < 3; ++i)
            base.NewQuery();
        EXPECT_EQ(names(base), QStringList({"Query1", "Query2", "Query3"}));
        query.SetQueryBase(&base);
        base.SetItemIndex(1);
        EXPECT_EQ(query.QueryName(), "Query2");
        EXPECT_EQ(query.Filter()->GetRowCount(), 0);

        // The query's text goes into the row; its name and description into their columns.
        add(m.custCity, "Equal", "Bergen");
        query.SetQueryName("Bergen");
        query.Description().SetText("west");
        base.GetCurrentQuery()->Save();
        EXPECT_EQ(names(base), QStringList({"Query1", "Bergen", "Query3"}));
        base.GetQuery(2)->SetDescription("third");
        base.DeleteQuery(0);
    }
    EXPECT_EQ(query.QueryBase(), nullptr); // its base is gone
    const QStringList stored = rows();
    ASSERT_EQ(stored.size(), 2);
    EXPECT_TRUE(stored[0].startsWith("2|Bergen|west|")) << stored[0].toStdString();
    EXPECT_TRUE(stored[1].startsWith("3|Query3|third|")) << stored[1].toStdString();

    TVxSqlQueryBase again;

    open(again);
    EXPECT_EQ(names(again), QStringList({"Bergen", "Query3"}));
    query.SetQueryBase(&again);
    EXPECT_EQ(shownCity(), "Bergen");
    EXPECT_EQ(query.Description().Lines(), QStringList({"west"}));
    again.SetItemIndex(1);
    EXPECT_EQ(query.Description().Lines(), QStringList({"third"}));
    EXPECT_EQ(again.NewQuery()->QueryName(), "Query1"); // the next key follows the highest
    EXPECT_TRUE(rows().last().startsWith("4|Query1||"));
}

TEST_F(SqlStorageTest, DeletingInEveryPosition)
{
    TVxSqlQueryBase base;
    open(base);
    deleteInEveryPosition(base, [&] { return static_cast<int>(rows().size()); });
}

TEST_F(SqlStorageTest, AFailedWriteLosesNothing)
{
    TVxSqlQueryBase base;
    open(base);
    for (const char* city : {"Oslo", "Bergen"})
        base.NewQuery()->SaveContent(text(QString::fromUtf8(city), QString::fromUtf8(city), "kept"));
    const QStringList before = rows();
    for (const char* op : {"INSERT", "UPDATE", "DELETE"}) {
        QSqlQuery trigger(base.Database());
        ASSERT_TRUE(trigger.exec(QStringLiteral("CREATE TRIGGER no_%1 BEFORE %1 ON BrindleQueries "
                                                "BEGIN SELECT RAISE(ABORT, 'queries are read only'); END")
                                     .arg(QLatin1String(op))))
            << trigger.lastError().text().toStdString();
    }
    TVxQueryItem* item = base.GetQuery(1);
    expectError(2, [&] { item->SaveContent(text("Changed", "Narvik")); }, "read only");
    expectError(2, [&] { item->SetQueryName("Changed"); }, "read only");
    expectError(2, [&] { item->SetDescription("Changed"); }, "read only");
    expectError(2, [&] { base.NewQuery(); }, "read only");
    expectError(2, [&] { base.DeleteQuery(0); }, "read only");

    EXPECT_EQ(rows(), before);
    EXPECT_EQ(names(base), QStringList({"Oslo", "Bergen"}));
    EXPECT_EQ(item->Description(), "kept");
    // The connection is usable again: no transaction was left open.
    query.SetQueryBase(&base);
    base.SetItemIndex(1);
    EXPECT_EQ(shownCity(), "Bergen");
}

TEST_F(SqlStorageTest, TableNamesAndHostConnections)
{
    TVxSqlQueryBase base;
    for (const char* bad : {"", "1st", "q; DROP TABLE x", "a\"b", "[x]", "s.t"})
        expectError(4, [&] { base.SetTableName(QString::fromUtf8(bad)); });
    EXPECT_EQ(base.TableName(), "BrindleQueries");

    // The host's own connection, and a reserved word as the table: it is quoted.
    {
        QSqlDatabase host = QSqlDatabase::addDatabase("QSQLITE", "host");
        host.setDatabaseName(dbFile());
        ASSERT_TRUE(host.open());
    }
    base.SetConnectionName("host");
    base.SetTableName("Order");
    base.Open();
    base.NewQuery();
    base.Close();
    EXPECT_EQ(rows("Order").size(), 1);
    EXPECT_TRUE(QSqlDatabase::database("host", false).isOpen()); // the host's connection stays open

    base.SetConnectionName("nowhere");
    expectError(2, [&] { base.Open(); }, "not connected");
    EXPECT_FALSE(base.Active());
    QSqlDatabase::removeDatabase("host");
}

} // namespace
} // namespace brindle

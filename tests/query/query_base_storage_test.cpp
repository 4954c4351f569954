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

enum class Storage { Files, Table };

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
    // The call raises the base's error with the code and a message holding the text.
    static void expectError(int code, const std::function<void()>& call, const QString& inMessage = {})
    {
        const QString error = fixtures::errorOf<EVxQueryBaseError>(call);
        EXPECT_TRUE(error.startsWith(QString::number(code) + ": ") && error.contains(inMessage))
            << error.toStdString();
    }

    QString dbFile() const { return dir.filePath("queries.sqlite"); }
    // An open base of the test's storage.
    std::unique_ptr<TVxQueryBase> open() const
    {
        if (kind == Storage::Files) {
            auto base = std::make_unique<TVxFileQueryBase>();
            base->SetFolder(dir.filePath("queries"));
            base->Open();
            return base;
        }
        auto base = std::make_unique<TVxSqlQueryBase>();
        base->SetDatabaseName(dbFile());
        base->Open();
        return base;
    }
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
    int storedCount() const
    {
        return kind == Storage::Files
                   ? int(QDir(dir.filePath("queries")).entryList({"*.qry"}, QDir::Files).size())
                   : int(rows().size());
    }

    QTemporaryDir dir;
    Storage kind = Storage::Table;
};

class EitherStorage : public StorageTest, public ::testing::WithParamInterface<Storage> {
protected:
    void SetUp() override
    {
        kind = GetParam();
        StorageTest::SetUp();
    }
};

// Both bases keep what the query saves, its name and description, across
// reopening, and follow deletions in every position with the query.
TEST_P(EitherStorage, KeepQueriesAndFollowDeletions)
{
    {
        std::unique_ptr<TVxQueryBase> base = open();
        EXPECT_EQ(base->GetCount(), 0);
        for (const QString city : {"Oslo", "Bergen", "Narvik", "Molde"})
            base->NewQuery()->SaveContent(text(city.left(1), city, city == "Bergen" ? "west\ncoast" : ""));
        EXPECT_EQ(names(*base), QStringList({"O", "B", "N", "M"}));
        query.SetQueryBase(base.get());
        base->SetItemIndex(2);
        EXPECT_EQ(shownCity(), "Narvik");
        base->SetItemIndex(1);
        EXPECT_EQ(shownCity(), "Bergen");
        EXPECT_EQ(query.Description().Lines(), QStringList({"west", "coast"}));

        // The query's edit is stored exactly as the query saves it; a new
        // name and description are stored and shown.
        add(m.amount, "GreaterThan", "100");
        base->GetCurrentQuery()->Save();
        base->GetCurrentQuery()->SetQueryName("Bergen two");
        base->GetCurrentQuery()->SetDescription("renamed");
        EXPECT_EQ(query.QueryName(), "Bergen two");
    }
    EXPECT_EQ(query.QueryBase(), nullptr); // its base is gone

    std::unique_ptr<TVxQueryBase> base = open();
    EXPECT_EQ(names(*base), QStringList({"O", "Bergen two", "N", "M"}));
    EXPECT_EQ(base->GetQuery(1)->Description(), "renamed");
    base->SetItemIndex(1);
    query.SetQueryBase(base.get());
    EXPECT_EQ(query.Filter()->GetRowCount(), 2);
    TStringList saved, stored;
    query.SaveToStrings(saved);
    base->GetCurrentQuery()->LoadContent(stored);
    EXPECT_EQ(stored, saved);

    const struct { int current, newIndex; const char* shown; } steps[] = {
        {1, 1, "Narvik"}, {2, 1, "Narvik"}, {0, 0, "Narvik"}, {0, -1, ""}};
    int left = 4;
    for (const auto& step : steps) {
        base->SetItemIndex(step.current);
        base->DeleteQuery(step.current);
        EXPECT_EQ(shownCity(), step.shown);
        --left;
        EXPECT_TRUE(base->ItemIndex() == step.newIndex && base->GetCount() == left && storedCount() == left);
    }
    EXPECT_EQ(query.Filter()->GetRowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Bases, EitherStorage, ::testing::Values(Storage::Files, Storage::Table),
                         [](const auto& info) { return info.param == Storage::Files ? "Files" : "Table"; });

// --- files

TEST_F(StorageTest, FilesAreListedByNameAndNamedUniquely)
{
    TVxFileQueryBase base;
    base.SetFolder(dir.filePath("made/on/open"));
    expectError(3, [&] { base.NewQuery(); });
    base.Open();
    ASSERT_TRUE(QDir(base.Folder()).exists());
    text("", "Narvik").SaveToFile(dir.filePath("made/on/open/query1.x.qry")); // no name: its file's base name
    text("Beta", "Bergen").SaveToFile(dir.filePath("made/on/open/b.qry"));
    TStringList{"not a query"}.SaveToFile(dir.filePath("made/on/open/notes.txt"));
    base.Close();
    base.Open();
    EXPECT_EQ(names(base), QStringList({"Beta", "query1"}));
    // Names and files are unique: "query1" is taken whatever its case.
    EXPECT_EQ(base.NewQuery()->QueryName(), "Query2");
    EXPECT_TRUE(QFile::exists(dir.filePath("made/on/open/Query2.qry")));

    TVxFileQueryBase unset;
    expectError(2, [&] { unset.Open(); }, "not specified");
    TVxQueryItem* item = base.GetQuery(0);
    ASSERT_TRUE(QDir(base.Folder()).removeRecursively());
    expectError(2, [&] { item->SaveContent(text("X", "Oslo")); }, "made/on/open");
    expectError(2, [&] { item->SetQueryName("Y"); }, "made/on/open");
    EXPECT_EQ(item->QueryName(), "Beta");
}

// --- an SQLite table

TEST_F(StorageTest, TableKeysFollowTheHighest)
{
    TVxSqlQueryBase base;
    base.SetDatabaseName(dbFile());
    base.Open();
    for (int i = 0; i < 3; ++i)
        base.NewQuery();
    EXPECT_EQ(names(base), QStringList({"Query1", "Query2", "Query3"}));
    base.GetQuery(1)->SaveContent(text("Bergen", "Bergen", "west"));
    base.DeleteQuery(0);
    EXPECT_EQ(base.NewQuery()->QueryName(), "Query1");
    const QStringList stored = rows();
    ASSERT_EQ(stored.size(), 3);
    EXPECT_TRUE(stored[0].startsWith("2|Bergen|west|")) << stored[0].toStdString();
    EXPECT_TRUE(stored[2].startsWith("4|Query1||")) << stored[2].toStdString();
}

TEST_F(StorageTest, AFailedTableWriteLosesNothing)
{
    TVxSqlQueryBase base;
    base.SetDatabaseName(dbFile());
    base.Open();
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

TEST_F(StorageTest, TableNamesAndHostConnections)
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

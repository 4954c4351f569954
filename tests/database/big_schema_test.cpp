// Retrieval of large and awkward schemas, and retrieval stopped midway by a
// cancel or a lost connection, which must leave the model that was there.

#include "database/databases.h"

#include <large_schema.h>

#include <brindle/datamodel/db_structure.h>

#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

using namespace brindle;
using namespace brindle::testing;

namespace {

// The model text without its [DBSpecInfo] section, which names the
// database, and the empty line before it.
QString ModelText(const TVxCustomDBStructure& model)
{
    TStringList lines;
    model.SaveToStrings(lines);
    const int database = lines.IndexOf(QStringLiteral("[DBSpecInfo]"));
    return (database < 0 ? lines.Lines() : lines.Lines().mid(0, database - 1)).join(u'\n');
}

// The sample's model, retrieved once, and its text then.
struct Retrieved {
    explicit Retrieved(Backend backend)
    {
        UseSample(info, backend);
        model.SetDatabaseInfo(&info);
        model.RetriveDataModelInfo();
        before = ModelText(model);
    }
    TVxSqlDBInfo info;
    TVxDBStructure model;
    QString before;
};

// Where two model texts part: the first line that differs, with its number;
// empty when they are the same.
std::string Difference(const QString& a, const QString& b)
{
    const QStringList x = a.split(u'\n'), y = b.split(u'\n');
    for (qsizetype i = 0; i < qMax(x.size(), y.size()); ++i) {
        const QString left = x.value(i, QStringLiteral("<end>")), right = y.value(i, QStringLiteral("<end>"));
        if (left != right)
            return QStringLiteral("line %1: %2 | %3").arg(i + 1).arg(left, right).toStdString();
    }
    return {};
}

// A database of its own for each test: SQLite in memory, or a scratch
// PostgreSQL schema reached through the search path.
class ScratchDatabase {
public:
    explicit ScratchDatabase(Backend backend) : FPostgres(backend == Backend::Postgres)
    {
        UseSample(info, backend);
        if (FPostgres) {
            FSchema = QStringLiteral("big_%1").arg(QRandomGenerator::global()->generate());
            info.SetConnectOptions(QStringLiteral("options='-c search_path=%1'").arg(FSchema));
            Run({QStringLiteral("CREATE SCHEMA %1").arg(FSchema)});
        } else {
            info.SetDatabaseName(QStringLiteral(":memory:"));
        }
    }

    ~ScratchDatabase()
    {
        if (!FPostgres)
            return;
        // The info's own connection may be the one a test broke.
        info.Close();
        try {
            QSqlQuery drop(info.Database());
            drop.exec(QStringLiteral("SET client_min_messages = warning"));
            drop.exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(FSchema));
        } catch (const EVxDBInfoError& e) {
            ADD_FAILURE() << e.what();
        }
    }

    // PostgreSQL takes the statements a few hundred to a round trip.
    void Run(const QStringList& statements)
    {
        QSqlDatabase db = info.Database();
        QSqlQuery query(db);
        const qsizetype batch = FPostgres ? 250 : 1;
        ASSERT_TRUE(FPostgres || db.transaction());
        for (qsizetype i = 0; i < statements.size(); i += batch) {
            const QString sql = statements.mid(i, batch).join(QStringLiteral(";\n"));
            ASSERT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        }
        ASSERT_TRUE(FPostgres || db.commit());
    }

    bool Postgres() const { return FPostgres; }

    TVxSqlDBInfo info;

private:
    bool FPostgres;
    QString FSchema;
};

TEST(BigSchemaPostgres, LargeSchemaRetrievesToTheSameModelAsOnSQLite)
{
    constexpr int tables = 1000;
    QString texts[2];
    for (const Backend backend : {Backend::SQLite, Backend::Postgres}) {
        ScratchDatabase scratch(backend);
        const bench::SchemaDialect dialect =
            scratch.Postgres() ? bench::SchemaDialect::Postgres : bench::SchemaDialect::SQLite;
        ASSERT_NO_FATAL_FAILURE(scratch.Run(bench::largeSchemaStatements(tables, dialect)));
        TVxDBStructure model;
        model.SetDatabaseInfo(&scratch.info);
        model.RetriveDataModelInfo();
        EXPECT_EQ(model.TableCount(), tables);
        EXPECT_EQ(model.FieldCount(), tables * 20);
        EXPECT_EQ(model.LinkCount(), bench::largeSchemaKeys(tables));
        texts[scratch.Postgres()] = ModelText(model);

        TVxDBStructure copy;
        copy.LoadFromStrings(TStringList(texts[scratch.Postgres()].split(u'\n')));
        EXPECT_EQ(Difference(ModelText(copy), texts[scratch.Postgres()]), "") << NameOf(backend);
    }
    EXPECT_EQ(Difference(texts[0], texts[1]), "");
}

class HardSchema : public ::testing::TestWithParam<Backend> {};

TEST_P(HardSchema, GivesAModelThatReadsBack)
{
    ScratchDatabase scratch(GetParam());
    const bool postgres = scratch.Postgres();
    // Names of 1,000 characters; PostgreSQL keeps the first 63.
    const QString longTable = u't' + QString(999, u'x');
    const QString longColumn = u'c' + QString(999, u'y');
    QString many = QStringLiteral("CREATE TABLE many (id INTEGER PRIMARY KEY");
    for (int i = 0; i < 100; ++i)
        many += QStringLiteral(", r%1 INTEGER REFERENCES one (id)").arg(i);
    // one and many refer to each other; tree to itself.
    QStringList statements = {
        postgres ? QStringLiteral("CREATE TABLE one (id INTEGER PRIMARY KEY, many_id INTEGER)")
                 : QStringLiteral("CREATE TABLE one (id INTEGER PRIMARY KEY, many_id INTEGER REFERENCES many (id))"),
        many + u')',
        QStringLiteral("CREATE TABLE tree (id INTEGER PRIMARY KEY, parent_id INTEGER REFERENCES tree (id))"),
        QStringLiteral("CREATE TABLE %1 (%2 INTEGER PRIMARY KEY, tree_id INTEGER REFERENCES tree (id))")
            .arg(longTable, longColumn)};
    if (postgres)
        statements += {QStringLiteral("ALTER TABLE one ADD FOREIGN KEY (many_id) REFERENCES many (id)"),
                       QStringLiteral("CREATE TABLE nothing ()")};
    ASSERT_NO_FATAL_FAILURE(scratch.Run(statements));

    TVxDBStructure model;
    model.SetDatabaseInfo(&scratch.info);
    model.RetriveDataModelInfo();
    EXPECT_EQ(model.TableCount(), postgres ? 5 : 4);
    EXPECT_EQ(model.FieldCount(), 2 + 101 + 2 + 2);
    EXPECT_EQ(model.LinkCount(), 103);
    EXPECT_NE(model.TableByName(tlByName, postgres ? longTable.left(63) : longTable), nullptr);
    EXPECT_NE(model.FieldByName(flByFieldExpr, postgres ? longColumn.left(63) : longColumn), nullptr);
    if (postgres) {
        EXPECT_EQ(model.FieldGroups()[1]->GroupName() + QString::number(model.FieldGroups()[1]->Count()),
                  QStringLiteral("nothing0"));
    }

    TVxDBStructure copy;
    const QString text = ModelText(model);
    copy.LoadFromStrings(TStringList(text.split(u'\n')));
    EXPECT_EQ(Difference(ModelText(copy), text), "");
    EXPECT_EQ(copy.LinkCount(), 103);
}

INSTANTIATE_TEST_SUITE_P(Databases, HardSchema, ::testing::Values(Backend::SQLite, Backend::Postgres), BackendName);

// Steps are the tables; a cancel from the progress signal stops at the next
// step, and the model is the one it was.
TEST(RetrievalProgress, CancelStopsAtTheNextStepAndKeepsTheModel)
{
    Retrieved sample(Backend::SQLite);
    TVxSqlDBInfo& info = sample.info;
    TVxDBStructure& model = sample.model;
    const QString& before = sample.before;

    using Steps = QList<std::pair<int, int>>;
    Steps steps;
    const auto connection = QObject::connect(&info, &TVxDBInfo::retrievalProgress, [&](int done, int total) {
        steps.append({done, total});
        if (done == 3)
            info.CancelRetrieval();
    });
    const EVxDBInfoError e = InfoError([&] { model.RetriveDataModelInfo(); });
    EXPECT_EQ(e.ErrorCode(), dieCancelled);
    EXPECT_EQ(steps, Steps({{0, 8}, {1, 8}, {2, 8}, {3, 8}}));
    EXPECT_EQ(Difference(ModelText(model), before), "");

    // The next retrieval starts afresh, and a cancel outside one does nothing.
    QObject::disconnect(connection);
    info.CancelRetrieval();
    steps.clear();
    QObject::connect(&info, &TVxDBInfo::retrievalProgress, [&](int done, int total) { steps.append({done, total}); });
    model.RetriveDataModelInfo();
    EXPECT_EQ(steps.size(), 9);
    EXPECT_EQ(Difference(ModelText(model), before), "");
}

// The server ends the info's session once the table names are read.
TEST(RetrievalProgress, PostgresConnectionLostMidwayGivesAnErrorAndKeepsTheModel)
{
    Retrieved sample(Backend::Postgres);
    TVxSqlDBInfo& info = sample.info;
    TVxDBStructure& model = sample.model;
    const QString& before = sample.before;

    QSqlQuery pid(info.Database());
    ASSERT_TRUE(pid.exec(QStringLiteral("SELECT pg_backend_pid()")) && pid.next());
    const int backend = pid.value(0).toInt();
    TVxSqlDBInfo killer;
    UseServerUrl(killer, QUrl(PostgresUrl()));
    QObject::connect(&info, &TVxDBInfo::retrievalProgress, [&](int done, int) {
        QSqlQuery kill(killer.Database());
        if (done == 0) {
            // Waits until the session is gone, so the next statement cannot slip in.
            ASSERT_TRUE(kill.exec(QStringLiteral("SELECT pg_terminate_backend(%1, 10000)").arg(backend)));
        }
    });
    const EVxDBInfoError e = InfoError([&] { model.RetriveDataModelInfo(); });
    EXPECT_EQ(e.ErrorCode(), dieStatement) << e.Message().toStdString();
    EXPECT_EQ(Difference(ModelText(model), before), "");
}

} // namespace

// The brindle tool on every database: `model` prints what retrieval gives
// (as model text or XML), `run` on a postgresql:// or mysql:// URL prints
// the rows that SQLite gives, and a refused connection is the one-line error.

#include "database/databases.h"

#include <brindle/datamodel/db_structure.h>
#include "support/tool_process.h"

#include <QDir>

#include <tuple>

using namespace brindle;
using namespace brindle::testing;
using toolrun::Outcome;

namespace {

const QString kSQLite = QStringLiteral("sqlite:" BRINDLE_SAMPLE_DB);

class ServerTool : public ::testing::TestWithParam<Backend> {
protected:
    QString serverUrl() const { return GetParam() == Backend::Postgres ? PostgresUrl() : MariaDBUrl(); }
};

TEST_P(ServerTool, ModelOfEitherDatabaseHasTheSampleShape)
{
    const QString url = serverUrl();
    ASSERT_FALSE(url.isEmpty());
    for (const QString& db : {kSQLite, url}) {
        SCOPED_TRACE(db.toStdString());
        const Outcome got = toolrun::runTool({"model", "--db", db});
        ASSERT_EQ(got.exitCode, 0) << got.err;
        EXPECT_EQ(got.out.find("Password"), std::string::npos);
        TVxDBStructure model;
        TStringList text;
        text.SetText(QString::fromStdString(got.out));
        model.LoadFromStrings(text);
        EXPECT_EQ(std::tuple(model.TableCount(), model.FieldCount(), model.LinkCount()), std::tuple(8, 50, 9));

        const Outcome xml = toolrun::runTool({"model", "--db", db, "--xml"});
        ASSERT_EQ(xml.exitCode, 0) << xml.err;
        const QString out = QString::fromStdString(xml.out);
        EXPECT_TRUE(out.contains(QStringLiteral("<DataModel")));
        const QString params = out.section(QStringLiteral("<DBParams>"), 1).section(QStringLiteral("</DBParams>"), 0, 0);
        EXPECT_TRUE(params.contains(QStringLiteral("<Driver>")) && !params.contains(QStringLiteral("Password")));
    }
}

TEST_P(ServerTool, RunGivesTheSQLiteRows)
{
    const QString url = serverUrl();
    const QString query = QDir(QStringLiteral(BRINDLE_EXAMPLE_QUERIES)).filePath(QStringLiteral("orders_by_country.qry"));
    const QStringList common = {"run", "--model", BRINDLE_SAMPLE_FORM, "--query", query, "--format", "csv", "--db"};
    const QString sqlite = QString::fromStdString(toolrun::runTool(common + QStringList{kSQLite}).out);
    const Outcome server = toolrun::runTool(common + QStringList{url});
    ASSERT_EQ(server.exitCode, 0) << server.err;
    const QString rows = QString::fromStdString(server.out);
    EXPECT_EQ(rows.count(u'\n'), 5);
    // PostgreSQL folds the unquoted column aliases of the header.
    EXPECT_EQ(rows.section(u'\n', 1), sqlite.section(u'\n', 1));

    const QString refused = QUrl(url).scheme() + QStringLiteral("://brindle@127.0.0.1:1/brindle_sample");
    const Outcome failed = toolrun::runTool(common + QStringList{refused});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(QString::fromStdString(failed.err)
                    .startsWith("brindle: EVxDBInfoError(1): Cannot open the database " + refused + u':'))
        << failed.err;
}

INSTANTIATE_TEST_SUITE_P(Servers, ServerTool, ::testing::Values(Backend::Postgres, Backend::MariaDB), BackendName);

} // namespace

// The brindle tool on both databases: `model` prints what retrieval gives
// (as model text or XML), `run` on a postgresql:// URL prints the rows that
// SQLite gives, and a refused connection is the one-line error.

#include "databases.h"

#include "datamodel/db_structure.h"
#include "support/tool_process.h"

#include <QDir>

using namespace brindle;
using namespace brindle::testing;

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

// The run as texts.
Outcome brindle(const QStringList& args)
{
    const toolrun::Outcome run = toolrun::brindle(args);
    return {run.exitCode, QString::fromStdString(run.out), QString::fromStdString(run.err)};
}

const QString kSQLite = QStringLiteral("sqlite:" BRINDLE_SAMPLE_DB);

TEST(PostgresTool, ModelOfEitherDatabaseHasTheSampleShape)
{
    const QString url = PostgresUrl();
    ASSERT_FALSE(url.isEmpty());
    for (const QString& db : {kSQLite, url}) {
        SCOPED_TRACE(db.toStdString());
        const Outcome got = brindle({QStringLiteral("model"), QStringLiteral("--db"), db});
        ASSERT_EQ(got.exitCode, 0) << got.err.toStdString();
        EXPECT_FALSE(got.out.contains(QStringLiteral("Password")));
        TVxDBStructure model;
        TStringList text;
        text.SetText(got.out);
        model.LoadFromStrings(text);
        EXPECT_EQ(model.TableCount(), 8);
        EXPECT_EQ(model.FieldCount(), 50);
        EXPECT_EQ(model.LinkCount(), 9);

        const Outcome xml = brindle({QStringLiteral("model"), QStringLiteral("--db"), db, QStringLiteral("--xml")});
        ASSERT_EQ(xml.exitCode, 0) << xml.err.toStdString();
        EXPECT_TRUE(xml.out.contains(QStringLiteral("<DataModel")));
        EXPECT_EQ(xml.out.count(QStringLiteral("<Table ")), 8);
        const QString params = xml.out.section(QStringLiteral("<DBParams>"), 1).section(QStringLiteral("</DBParams>"), 0, 0);
        EXPECT_TRUE(params.contains(QStringLiteral("<Driver>")));
        EXPECT_FALSE(params.contains(QStringLiteral("Password")));
    }
}

TEST(PostgresTool, RunGivesTheSQLiteRows)
{
    const QString query = QDir(QStringLiteral(BRINDLE_EXAMPLE_QUERIES)).filePath(QStringLiteral("orders_by_country.qry"));
    const QStringList common = {QStringLiteral("run"), QStringLiteral("--model"), QStringLiteral(BRINDLE_SAMPLE_FORM),
                                QStringLiteral("--query"), query, QStringLiteral("--format"), QStringLiteral("csv"),
                                QStringLiteral("--db")};
    const Outcome sqlite = brindle(common + QStringList{kSQLite});
    const Outcome postgres = brindle(common + QStringList{PostgresUrl()});
    ASSERT_EQ(postgres.exitCode, 0) << postgres.err.toStdString();
    EXPECT_EQ(postgres.out.count(u'\n'), 5);
    // PostgreSQL folds the unquoted column aliases of the header.
    EXPECT_EQ(postgres.out.section(u'\n', 1), sqlite.out.section(u'\n', 1));

    const QString refused = QStringLiteral("postgresql://brindle@127.0.0.1:1/brindle_sample");
    const Outcome failed = brindle(common + QStringList{refused});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.startsWith(QStringLiteral("brindle: EVxDBInfoError(1): Cannot open the database ") + refused
                                      + u':'))
        << failed.err.toStdString();
}

} // namespace

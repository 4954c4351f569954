// The runner and the result model on a small SQLite database of the fixture
// model's tables: typed parameters, batches, cancelling, failures.

#include "query/query_fixtures.h"

#include <brindle/datamodel/sql_db_info.h>
#include <brindle/foundations/date_time.h>
#include <brindle/foundations/errors.h>
#include <brindle/query/bound_statement.h>
#include <brindle/query/result_model.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

namespace brindle {
namespace {

const QString kConnection = QStringLiteral("query-runner-test");
const QString kSlow = QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                                     "WHERE x < 1000000000) SELECT count(*) FROM c");

BoundStatement counting(int rows)
{
    return {QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %1) "
                           "SELECT x AS n FROM c")
                .arg(rows),
            {},
            {}};
}

QString dayNumber(int year, int month, int day)
{
    return BrDateTimeToStr(EncodeDate(year, month, day));
}

// Runs the event loop until done() holds; false after ten seconds.
bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    QTimer tick;
    tick.start(5);
    while (!done()) {
        if (clock.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

class QueryRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kConnection);
            db.setDatabaseName(dir.filePath(QStringLiteral("shop.sqlite")));
            ASSERT_TRUE(db.open());
            QSqlQuery sql(db);
            for (const char* statement :
                 {"CREATE TABLE Customers (ID INTEGER, Name VARCHAR(40), City VARCHAR(30))",
                  "CREATE TABLE Orders (ID INTEGER, CustID INTEGER, OrderDate DATE, Amount REAL, Paid BOOLEAN, "
                  "Status VARCHAR(10))",
                  "INSERT INTO Customers VALUES (1, 'Ada', 'Rome'), (2, 'Bob', 'Oslo'), (3, 'Cy O''Neil', 'Rome')",
                  "INSERT INTO Orders VALUES (10, 1, '2024-01-31', 12.5, 1, 'O'), (11, 1, '2024-02-01', 100, 0, 'S'),"
                  " (12, 2, '2023-12-31', 7.25, 1, 'C'), (13, 3, '2024-03-15', 250, 0, 'O')"})
                ASSERT_TRUE(sql.exec(QString::fromLatin1(statement))) << statement;
        }
        mq.query.QResult()->ResultFields().Add(QStringLiteral("@1"), {mq.m.orderID}, QStringLiteral("Order no."));
        mq.query.QResult()->ResultFields().GetRField(0)->SetSorting(stAscending);
        model.Runner().SetConnectionName(kConnection);
    }
    void TearDown() override { QSqlDatabase::removeDatabase(kConnection); }

    // The first column of every row, run to the end through the model.
    QStringList orderIDs()
    {
        mq.query.BuildQuery();
        model.Run(mq.query);
        EXPECT_TRUE(waitUntil([this] {
            if (model.canFetchMore({}))
                model.fetchMore({});
            return model.GetState() != QueryResultModel::State::Executing
                   && model.GetState() != QueryResultModel::State::Fetching;
        }));
        EXPECT_EQ(model.GetState(), QueryResultModel::State::Finished) << model.ErrorText().toStdString();
        QStringList ids;
        for (int row = 0; row < model.rowCount(); ++row)
            ids.append(model.index(row, 0).data().toString());
        return ids;
    }

    QTemporaryDir dir;
    fixtures::ModelQuery mq;
    QueryResultModel model;
};

TEST(ParamValue, ReadsTheStoredTextByType)
{
    const TSQLFormats formats;
    struct Case {
        TFieldType type;
        QString value;
        QString format;
        QVariant expected;
    } cases[] = {
        {ftInteger, " -42 ", "@v", qlonglong(-42)},
        {ftLargeint, "9007199254740993", "@v", qlonglong(9007199254740993)},
        {ftFloat, "2.5", "@v", 2.5},
        {ftBCD, "-.75", "@v", -0.75},
        {ftBoolean, "TRUE", "@v", true},
        {ftBoolean, "false", "@v", false},
        {ftDate, dayNumber(2024, 2, 29), "@v", QDate(2024, 2, 29)},
        {ftDateTime, BrDateTimeToStr(EncodeDate(2024, 3, 1) + EncodeTime(12, 30, 0, 0)), "@v",
         QDateTime(QDate(2024, 3, 1), QTime(12, 30))},
        {ftTime, BrDateTimeToStr(EncodeTime(23, 59, 59, 0)), "@v", QTime(23, 59, 59)},
        {ftDate, "2024-07-01", "@v", QDate(2024, 7, 1)},
        {ftDateTime, "2024-07-01 08:15:00", "@v", QDateTime(QDate(2024, 7, 1), QTime(8, 15))},
        {ftTime, "08:15", "@v", QTime(8, 15)},
        {ftString, "O'Neil", "@v", QStringLiteral("O'Neil")},
        {ftString, "Nei", "%@v%", QStringLiteral("%Nei%")},
        {ftInteger, "", "@v", qlonglong(0)},
        {ftBoolean, "", "@v", false},
        {ftDate, "", "@v", QDate(1899, 12, 30)},
    };
    for (const Case& c : cases) {
        TSQLParam param(nullptr, 1);
        param.SetParamType(c.type);
        param.SetValue(c.value);
        param.SetValueFormat(c.format);
        const QVariant value = ParamValue(param, formats);
        EXPECT_EQ(value.typeId(), c.expected.typeId()) << c.value.toStdString();
        EXPECT_EQ(value, c.expected) << c.value.toStdString();
    }
    for (const auto& [type, value] : {std::pair{ftInteger, "1.5"}, {ftInteger, "12a"}, {ftBCD, "1,5"},
                                      {ftBoolean, "yes"}, {ftDate, "2024-02-30"}, {ftDate, "soon"}}) {
        TSQLParam param(nullptr, 1);
        param.SetParamType(type);
        param.SetValue(value);
        EXPECT_NE(fixtures::errorOf<EConvertError>([&] { ParamValue(param, formats); }), "no error") << value;
    }
}

TEST_F(QueryRunnerTest, ADisabledConditionsParameterIsNotBound)
{
    TSimpleCond* on = mq.add(mq.m.status, "Equal");
    on->SetValueIsParam(1, true);
    on->GetParam(1)->SetValue("S");
    TSimpleCond* off = mq.add(mq.m.amount, "GreaterThan");
    off->SetValueIsParam(1, true);
    off->GetParam(1)->SetValue("1000");
    off->SetEnabled(false);
    EXPECT_EQ(orderIDs(), QStringList{"11"});
    const BoundStatement statement = BindStatement(mq.query);
    ASSERT_EQ(statement.Values.size(), 1);
    EXPECT_EQ(statement.Values[0].first, ":Param1");
}

TEST_F(QueryRunnerTest, HeadersAreTheCaptionsOrTheColumnNames)
{
    mq.query.QResult()->ResultFields().Add(QStringLiteral("@1"), {mq.m.orderDate}, QStringLiteral("Ordered on"));
    orderIDs();
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Order no.");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Ordered on");
    EXPECT_EQ(model.headerData(3, Qt::Vertical).toInt(), 4);

    model.Run(counting(3));
    ASSERT_TRUE(waitUntil([this] { return model.GetState() == QueryResultModel::State::Finished; }));
    EXPECT_EQ(model.columnCount(), 1);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "n");
}

TEST_F(QueryRunnerTest, RowsComeInBatchesAsTheViewAsks)
{
    model.SetBatchSize(100);
    model.Run(counting(250));
    for (const int rows : {100, 200, 250}) {
        ASSERT_TRUE(waitUntil([&] { return model.rowCount() == rows; })) << rows;
        // Nothing more arrives unasked.
        QCoreApplication::processEvents();
        EXPECT_EQ(model.rowCount(), rows);
        EXPECT_EQ(model.index(rows - 1, 0).data().toInt(), rows);
        model.fetchMore({});
        model.fetchMore({}); // a second ask while one is on its way adds nothing
    }
    ASSERT_TRUE(waitUntil([this] { return model.GetState() == QueryResultModel::State::Finished; }));
    EXPECT_EQ(model.rowCount(), 250);
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST_F(QueryRunnerTest, CancelStopsASlowStatementPromptly)
{
    QElapsedTimer clock;
    clock.start();
    model.Run({kSlow, {}, {}});
    QTimer::singleShot(100, &model, [this] { model.Cancel(); });
    ASSERT_TRUE(waitUntil([this] { return model.GetState() == QueryResultModel::State::Cancelled; }));
    // The statement alone runs for minutes; the bound leaves room for a loaded machine.
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(model.ErrorText(), "The statement was cancelled");
}

TEST_F(QueryRunnerTest, FailuresAreReportedNotThrown)
{
    QString message;
    QObject::connect(&model, &QueryResultModel::failed, [&](const QString& text) { message = text; });
    model.Run({QStringLiteral("SELECT Missing FROM Nowhere"), {}, {}});
    ASSERT_TRUE(waitUntil([this] { return model.GetState() == QueryResultModel::State::Failed; }));
    EXPECT_TRUE(message.startsWith("The statement failed: no such table: Nowhere")) << message.toStdString();

    // Never built: the query has no statement to bind.
    TVxQuery unbuilt;
    model.Run(unbuilt);
    EXPECT_EQ(model.GetState(), QueryResultModel::State::Failed);
    EXPECT_EQ(model.rowCount(), 0);

    model.Runner().SetConnectionName(QStringLiteral("no-such-connection"));
    model.Run(counting(1));
    ASSERT_TRUE(waitUntil([this] { return model.GetState() == QueryResultModel::State::Failed; }));
    EXPECT_TRUE(model.ErrorText().startsWith("Cannot open the database")) << model.ErrorText().toStdString();
}

TEST_F(QueryRunnerTest, RunWaitsForEveryRowOrRaises)
{
    QueryRunner runner;
    runner.SetConnectionName(kConnection);
    QStringList columns;
    QList<qsizetype> batches;
    runner.Run(counting(2500), 1000, [&](const QStringList& names) { columns = names; },
               [&](const QList<QVariantList>& rows) { batches.append(rows.size()); });
    EXPECT_EQ(columns, QStringList{"n"});
    EXPECT_EQ(batches, (QList<qsizetype>{1000, 1000, 500}));
    EXPECT_FALSE(runner.IsActive());

    const auto nothing = [](const auto&) {};
    EXPECT_EQ(fixtures::errorOf<EVxDBInfoError>(
                  [&] { runner.Run({QStringLiteral("SELEC 1"), {}, {}}, 10, nothing, nothing); })
                  .left(24),
              "2: The statement failed:");
    runner.SetTimeout(1);
    EXPECT_EQ(fixtures::errorOf<EVxDBInfoError>([&] { runner.Run({kSlow, {}, {}}, 10, nothing, nothing); }),
              "5: The statement took longer than 1 seconds and was stopped");
}

TEST_F(QueryRunnerTest, ARunnerGoingAwayStopsItsStatement)
{
    QElapsedTimer clock;
    clock.start();
    {
        QueryRunner runner;
        runner.SetConnectionName(kConnection);
        runner.Start({kSlow, {}, {}}, 10);
        QThread::msleep(50);
    }
    EXPECT_LT(clock.elapsed(), 5000);
}

} // namespace
} // namespace brindle

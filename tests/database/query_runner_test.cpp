// Parameters of every type bound by the runner on the sample, in SQLite and
// on the PostgreSQL and MariaDB servers: each stored query's rows must be
// those of a statement written by hand with the same values as literals.

#include "database/databases.h"

#include <brindle/datamodel/form_classes.h>
#include <brindle/foundations/date_time.h>
#include <brindle/query/query.h>
#include <brindle/query/query_runner.h>

#include <QElapsedTimer>
#include <QSqlError>

using namespace brindle;
using namespace brindle::testing;

namespace {

class RunnerOnSample : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        UseSample(info, GetParam());
        RegisterCoreFormClasses();
        const QList<QObject*> components = LoadFormFromFile(QStringLiteral(BRINDLE_SAMPLE_FORM), &owner);
        ASSERT_FALSE(components.isEmpty());
        model = qobject_cast<TVxDBStructure*>(components.first());
        ASSERT_NE(model, nullptr);
        runner.UseDatabaseInfo(info);
    }

    QStringList firstColumn(const BoundStatement& statement)
    {
        QStringList values;
        runner.Run(statement, 50, [](const QStringList&) {}, [&](const QList<QVariantList>& rows) {
            for (const QVariantList& row : rows)
                values.append(row.value(0).toString());
        });
        return values;
    }

    TVxSqlDBInfo info;
    QueryRunner runner;
    QObject owner;
    TVxDBStructure* model = nullptr;
};

QString day(int year, int month, int date, TDateTime time = 0)
{
    return BrDateTimeToStr(EncodeDate(year, month, date) + time);
}

TEST_P(RunnerOnSample, ParametersOfEveryTypeSelectTheRowsOfTheirLiterals)
{
    struct Case {
        const char* column;
        const char* field;
        const char* op;
        QString value1, value2;
        const char* expected;
    } cases[] = {
        {"Order number", "Order date", "Between", day(2024, 1, 1), day(2024, 3, 31),
         R"(SELECT OrderID FROM Orders WHERE "Order Date" BETWEEN '2024-01-01' AND '2024-03-31')"},
        {"Order number", "Order date", "GreaterOrEqual", "2024-07-01", {},
         R"(SELECT OrderID FROM Orders WHERE "Order Date" >= '2024-07-01')"},
        {"Order number", "Entered at", "LessThan", day(2023, 6, 1, EncodeTime(12, 0, 0, 0)), {},
         R"(SELECT OrderID FROM Orders WHERE EnteredAt < '2023-06-01 12:00:00')"},
        {"Product", "Units in stock", "LessThan", "20", {},
         "SELECT ProductName FROM Products WHERE UnitsInStock < 20"},
        {"Product", "List price", "GreaterThan", "12.5", {},
         R"(SELECT ProductName FROM Products WHERE "Unit Price" > 12.5)"},
        {"Product", "Discontinued", "Equal", "1", {}, "SELECT ProductName FROM Products WHERE Discontinued"},
        {"Product", "Product", "Contains", "Tea", {},
         "SELECT ProductName FROM Products WHERE ProductName LIKE '%Tea%'"},
    };
    QSqlQuery literal(info.Database());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.op);
        TVxQuery query;
        query.SetDbStruct(model);
        query.SetActive(true);
        TRFieldList& fields = query.QResult()->ResultFields();
        fields.Add(QStringLiteral("@1"), {model->FieldByName(flByDisplayName, c.column)}, c.column);
        auto* cond = static_cast<TSimpleCond*>(
            query.AddCondition(query.Filter(), model->FieldByName(flByDisplayName, c.field)));
        cond->SetOperator(model->OperatorByName(c.op));
        for (int index = 1; index <= cond->GetValueCount(); ++index) {
            cond->SetValueIsParam(index, true);
            cond->GetParam(index)->SetValue(index == 1 ? c.value1 : c.value2);
        }
        query.BuildQuery();
        QStringList got = firstColumn(BindStatement(query));

        ASSERT_TRUE(literal.exec(QString::fromLatin1(c.expected))) << literal.lastError().text().toStdString();
        QStringList expected;
        while (literal.next())
            expected.append(literal.value(0).toString());
        EXPECT_FALSE(expected.isEmpty());
        got.sort();
        expected.sort();
        EXPECT_EQ(got, expected);
    }
}

TEST_P(RunnerOnSample, CancelAndRefusalEndTheRun)
{
    const QString slow = GetParam() == Backend::SQLite
                             ? QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c "
                                              "WHERE x < 1000000000) SELECT count(*) FROM c")
                         : GetParam() == Backend::Postgres ? QStringLiteral("SELECT pg_sleep(30)")
                                                           : QStringLiteral("SELECT SLEEP(30)");
    runner.SetTimeout(1);
    QElapsedTimer clock;
    clock.start();
    const EVxDBInfoError late = InfoError([&] { firstColumn({slow, {}, {}}); });
    EXPECT_EQ(late.ErrorCode(), dieTimedOut);
    // Far below the statement's own 30 s, with room for a loaded machine.
    EXPECT_LT(clock.elapsed(), 10000);

    const EVxDBInfoError refused = InfoError([&] { firstColumn({QStringLiteral("SELECT * FROM Nowhere"), {}, {}}); });
    EXPECT_EQ(refused.ErrorCode(), dieStatement);
    EXPECT_TRUE(refused.Message().startsWith("The statement failed: ")) << refused.Message().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, RunnerOnSample,
                         ::testing::Values(Backend::SQLite, Backend::Postgres, Backend::MariaDB), BackendName);

} // namespace

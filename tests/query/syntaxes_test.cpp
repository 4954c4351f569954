#include "query/query_fixtures.h"

#include <gtest/gtest.h>

using namespace brindle;

// One query written in each of the five dialects: the join style, the outer
// marks and the date literals are what differ.
TEST(Syntaxes, OneQueryInEveryDialect)
{
    fixtures::ModelQuery q;
    q.m.model.SQLFormats()->SetDate("yyyy-mm-dd");
    q.m.model.Links(0)->SetLinkType(ltOuterLeft);
    q.query.SetSQLOptions({});
    q.query.QResult()->ResultFields().Add("@1", {q.m.custName}, "Customer");
    q.query.QResult()->ResultFields().Add("@1", {q.m.amount}, "Amount");
    q.query.QResult()->ResultFields()[1]->SetSorting(stDescending);
    q.add(q.m.orderDate, "GreaterThan", "42430"); // 2016-03-01
    q.add(q.m.custName, "Contains", "O'B");

    const QStringList commaJoin = {"FROM ", "     Orders o, ", "     Customers c", "WHERE"};
    const QStringList outerJoin = {"FROM ", "     Orders o LEFT OUTER JOIN  Customers c ON (o.CustID=c.ID)", "     ",
                                   "WHERE"};
    const auto sql = [](const QStringList& from, const QString& date) {
        return QStringList{"SELECT c.Name as Customer, o.Amount"} + from
               + QStringList{"(", "o.OrderDate >" + date + " AND", "c.Name like '%O''B%'", ")", "ORDER BY 2 DESC"};
    };
    const struct { TSQLSyntax syntax; QStringList sql; } cases[] = {
        {ssSQL1, sql(commaJoin + QStringList{"   (o.CustID=c.ID) AND"}, "'2016-03-01'")},
        {ssSQL2, sql(outerJoin, "'2016-03-01'")},
        {ssOracle, sql(commaJoin + QStringList{"   (o.CustID=c.ID (+) ) AND"},
                       "TO_DATE('01-03-2016 00:00:00', 'dd-mm-yyyy hh24:mi:ss')")},
        {ssAccess, sql(outerJoin, "'2016-03-01'")},
        {ssNexusDB, sql(outerJoin, "'DATE '2016-03-01''")},
    };
    for (const auto& c : cases) {
        q.query.SetSQLSyntax(c.syntax);
        q.query.BuildQuery();
        EXPECT_EQ(q.query.QResult()->GetSQL().Lines(), c.sql) << SQLSyntaxToStr(c.syntax).toStdString() << "\n"
                                                              << q.query.QResult()->GetSQL().Text().toStdString();
    }
    // The template's quotes stay around the dialect's own date literal while
    // dates are a quoted type; a model for that dialect leaves them unquoted.
    q.m.model.SQLFormats()->SetQuoteDate(false);
    q.query.BuildQuery();
    EXPECT_TRUE(q.query.QResult()->GetSQL().Lines().contains("o.OrderDate >DATE '2016-03-01' AND"));
}

#include "query_fixtures.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::fixtures::QueryModel;

// One query written in each of the five dialects: the join style, the outer
// marks and the date literals are what differ.
TEST(Syntaxes, OneQueryInEveryDialect)
{
    QueryModel m;
    m.model.SQLFormats()->SetDate("yyyy-mm-dd");
    m.model.Links(0)->SetLinkType(ltOuterLeft);
    TVxQuery query;
    query.SetDbStruct(&m.model);
    query.SetActive(true);
    query.SetSQLOptions({});
    query.QResult()->ResultFields().Add("@1", {m.custName}, "Customer");
    query.QResult()->ResultFields().Add("@1", {m.amount}, "Amount");
    query.QResult()->ResultFields()[1]->SetSorting(stDescending);
    fixtures::addCondition(query, query.Filter(), m.orderDate, m.op("GreaterThan"), "42430"); // 2016-03-01
    fixtures::addCondition(query, query.Filter(), m.custName, m.op("Contains"), "O'B");

    struct Case {
        TSQLSyntax syntax;
        QStringList sql;
    };
    const QStringList select = {"SELECT c.Name as Customer, o.Amount"};
    const Case cases[] = {
        {ssSQL1, select + QStringList{"FROM ", "     Orders o, ", "     Customers c", "WHERE", "   (o.CustID=c.ID) AND",
                                      "(", "o.OrderDate >'2016-03-01' AND", "c.Name like '%O''B%'", ")", "ORDER BY 2 DESC"}},
        {ssSQL2, select + QStringList{"FROM ", "     Orders o LEFT OUTER JOIN  Customers c ON (o.CustID=c.ID)", "     ",
                                      "WHERE", "(", "o.OrderDate >'2016-03-01' AND", "c.Name like '%O''B%'", ")",
                                      "ORDER BY 2 DESC"}},
        {ssOracle, select + QStringList{"FROM ", "     Orders o, ", "     Customers c", "WHERE", "   (o.CustID=c.ID (+) ) AND",
                                        "(", "o.OrderDate >TO_DATE('01-03-2016 00:00:00', 'dd-mm-yyyy hh24:mi:ss') AND",
                                        "c.Name like '%O''B%'", ")", "ORDER BY 2 DESC"}},
        {ssAccess, select + QStringList{"FROM ", "     Orders o LEFT OUTER JOIN  Customers c ON (o.CustID=c.ID)", "     ",
                                        "WHERE", "(", "o.OrderDate >'2016-03-01' AND", "c.Name like '%O''B%'", ")",
                                        "ORDER BY 2 DESC"}},
        {ssNexusDB, select + QStringList{"FROM ", "     Orders o LEFT OUTER JOIN  Customers c ON (o.CustID=c.ID)", "     ",
                                         "WHERE", "(", "o.OrderDate >'DATE '2016-03-01'' AND", "c.Name like '%O''B%'", ")",
                                         "ORDER BY 2 DESC"}},
    };
    for (const Case& c : cases) {
        query.SetSQLSyntax(c.syntax);
        query.BuildQuery();
        EXPECT_EQ(query.QResult()->GetSQL().Lines(), c.sql) << SQLSyntaxToStr(c.syntax).toStdString() << "\n"
                                                            << query.QResult()->GetSQL().Text().toStdString();
    }
    // The template's quotes stay around the dialect's own date literal while
    // dates are a quoted type; a model for that dialect leaves them unquoted.
    m.model.SQLFormats()->SetQuoteDate(false);
    query.SetSQLSyntax(ssNexusDB);
    query.BuildQuery();
    EXPECT_TRUE(query.QResult()->GetSQL().Lines().contains("o.OrderDate >DATE '2016-03-01' AND"));
}

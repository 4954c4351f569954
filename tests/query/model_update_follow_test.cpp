// A query over a model that takes new content in place: the rows stay, their
// words show the new names, and the host hears of it once.

#include "query/query_fixtures.h"

#include <gtest/gtest.h>

using namespace brindle;

TEST(QueryFollowsModelUpdate, RowsStayAndShowTheNewNames)
{
    fixtures::ModelQuery q;
    TSimpleCond* city = q.add(q.m.custCity, "Equal", "Leeds");
    auto* big = static_cast<TCustomCond*>(q.query.AddCustomCondition(q.query.Filter(), q.m.bigOrders));
    q.query.QResult()->ResultFields().Add("@1", {q.m.amount}, "Amount");
    int changes = 0;
    q.query.OnChange = [&](QObject*) { ++changes; };
    int resets = 0;
    QObject::connect(&q.query, &TVxQuery::treeReset, [&] { ++resets; });

    TStringList lines;
    q.m.model.SaveToStrings(lines);
    for (const auto& [from, to] : {std::pair{"DisplayName=City", "DisplayName=Town"},
                                   {"DisplayName=is equal to", "DisplayName=equals"},
                                   {"DF=amount above @", "DF=orders over @"}, {"Name=Customers", "Name=Clients"}})
        lines.SetString(lines.IndexOf(from), to);
    q.m.model.UpdateFromStrings(lines, q.m.model.TextEntities());

    ASSERT_EQ(q.query.Filter()->GetRowCount(), 2);
    EXPECT_EQ(q.query.Filter()->GetRow(0), city);
    EXPECT_EQ(city->Field(), q.m.custCity);
    EXPECT_EQ(city->Label1()->Caption(), "Town");
    EXPECT_EQ(city->Label2()->Caption(), "equals");
    EXPECT_EQ(big->Label1()->Caption(), "orders over ");
    EXPECT_EQ(q.query.QResult()->ResultFields().Count(), 1);
    q.query.BuildQuery();
    EXPECT_TRUE(q.query.QResult()->GetSQL().Text().contains("Clients c"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(resets, 1);
}

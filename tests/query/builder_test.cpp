// The statement builder end to end: queries composed through the query's
// API over a small model, built, and compared line by line.

#include "datamodel/model_fixtures.h"
#include "query/query_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

namespace brindle {
namespace {

using testing::AddLink;
using testing::AddTable;

// Customers -< Orders -< Items -< Products, and Notes linked to nothing.
class BuilderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        info.connected = false; // every column is text
        model.SetDatabaseInfo(&info);
        for (const char* name : {"Customers", "Orders", "Items", "Products", "Notes"})
            t[name] = AddTable(model, name);
        customerOrders = link("Customers", "ID", "Orders", "CustID");
        link("Orders", "ID", "Items", "OrderID");
        link("Items", "ProdID", "Products", "ID");
        for (const auto& [table, column] : {std::pair{"Customers", "Name"}, {"Customers", "City"},
                                            {"Orders", "Total"}, {"Items", "Qty"}, {"Notes", "Text"}})
            f[column] = model.Fields(model.AddField(kfkData, column, column, t[table]));
        query.SetDbStruct(&model);
        query.SetActive(true);
    }
    TDSLink* link(const char* table1, const char* column1, const char* table2, const char* column2)
    {
        TDSLink* added = AddLink(model, t[table1], t[table2]);
        added->AddColumnPair(column1, "=", column2);
        return added;
    }
    TResultField* column(TDSField* field, const QString& caption, TSortingType sorting = stNoSort, int order = 0)
    {
        TRFieldList& fields = query.QResult()->ResultFields();
        TResultField* added = fields.GetRField(fields.Add("@1", {field}, caption));
        added->SetSorting(sorting);
        added->SetSortOrder(order);
        return added;
    }
    TFilterCond* condition(TDSField* field, const char* op = "IsNull")
    {
        auto* cond = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), field));
        cond->SetOperator(model.OperatorByName(op));
        return cond;
    }
    QStringList sql() { query.BuildQuery(); return query.QResult()->GetSQL().Lines(); }
    QStringList tableOrder()
    {
        query.BuildQuery();
        QStringList order;
        for (const auto& entry : query.QResult()->ResultTables())
            order.append(entry->Table->TableName());
        return order;
    }
    QStringList paramNames() const
    {
        QStringList names;
        for (int i = 0; i < query.QResult()->GetParamCount(); ++i)
            names.append(query.QResult()->GetParam(i)->ParamName());
        return names;
    }

    testing::FakeDBInfo info;
    TVxDBStructure model;
    TVxQuery query;
    std::map<std::string, TDSTable*> t;
    TDSLink* customerOrders = nullptr;
    std::map<std::string, TDSField*> f;
};

QString panelError(const std::function<void()>& call)
{
    return fixtures::errorOf<EVxQueryPanelError>(call);
}

TEST_F(BuilderTest, SelectListTopLimitAndStar)
{
    query.SetMainTableName("Customers");
    EXPECT_EQ(sql(), QStringList({"SELECT DISTINCT *", "FROM ", "     Customers"}));

    column(f["Name"], "Customer");
    query.SetSQLOptions({});
    query.SetSQLTopClause("10");
    query.SetSQLLimitClause("5");
    EXPECT_EQ(sql(), QStringList({"SELECT  TOP 10 Customers.Name as Customer", "FROM ", "     Customers", "LIMIT 5"}));

    // Just sorting selects "*" and sorts by order names, not numbers.
    query.QResult()->ResultFields().GetRField(0)->SetSorting(stAscending);
    query.QResult()->ResultFields().SetJustSorting(true);
    const QStringList lines = sql();
    EXPECT_EQ(QStringList({lines[0], lines[3]}), QStringList({"SELECT  TOP 10 *", "ORDER BY Customer ASC"}));

    // A quoted alias that is not ASCII gives way to the column's position.
    query.SetSQLOptions({soASCIIRFields, soQuoteAliases});
    TResultField* city = column(f["City"], "Stadt ä");
    EXPECT_EQ(sql()[0].section(' ', -1) + " " + city->Alias(), "\"C2\" C2");
}

// A column's alias is what the query text says: the second of two like
// columns keeps its number once the first goes, and building keeps it.
TEST_F(BuilderTest, BuildingKeepsTheAliasesTheQueryTextHolds)
{
    column(f["Name"], "Customer");
    column(f["Name"], "Customer");
    query.QResult()->ResultFields().Delete(0);
    const auto text = [this] {
        TStringList lines;
        query.SaveToStrings(lines);
        return lines.Text();
    };
    const QString saved = text();
    EXPECT_EQ(sql()[0], "SELECT DISTINCT Customers.Name as Customer1");
    EXPECT_EQ(text(), saved);
}

// A query that names no main table takes the model's default, though
// tables without an alias have an empty one.
TEST_F(BuilderTest, NoMainTableNameTakesTheDefaultOne)
{
    model.SetDefaultMainTable(t["Orders"]);
    t["Customers"]->SetTableAlias("");
    query.RefreshMainTable();
    EXPECT_EQ(query.MainTable(), t["Orders"]);
}

TEST_F(BuilderTest, JoinLayouts)
{
    const QString co = "(Customers.ID=Orders.CustID)";
    const QString oi = "(Orders.ID=Items.OrderID)";
    struct Case { TSQLSyntax syntax; bool bracketJoins; bool threeTables; QStringList from; } cases[] = {
        {ssSQL2, false, false, {"FROM ", "     Customers INNER JOIN  Orders ON " + co, "     "}},
        {ssSQL2, false, true, {"FROM ", "     Customers INNER JOIN  Orders ON " + co, "     INNER JOIN  Items ON " + oi}},
        {ssAccess, true, false, {"FROM ", "     (Customers INNER JOIN  Orders", "         ON " + co + ")"}},
        {ssNexusDB, true, true, {"FROM ", "     (Customers INNER JOIN ", "         (Orders INNER JOIN  Items",
                                 "             ON " + oi + ")", "         ON " + co + ")"}},
        {ssSQL1, false, true, {"FROM ", "     Customers, ", "     Orders, ", "     Items", "WHERE", "   " + co + " AND",
                               "   " + oi}},
    };
    column(f["Name"], "Name");
    column(f["Total"], "Total");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from.join(u'|').toStdString());
        query.SetSQLSyntax(c.syntax);
        query.SetSQLOptions(c.bracketJoins ? TSQLOptions{soBracketJoins} : TSQLOptions{});
        TRFieldList& fields = query.QResult()->ResultFields();
        if (c.threeTables && fields.Count() == 2)
            column(f["Qty"], "Qty");
        if (!c.threeTables && fields.Count() == 3)
            fields.Delete(2);
        EXPECT_EQ(sql().mid(1), c.from);
    }
}

TEST_F(BuilderTest, CommaStyleJoinsPrecedeConditionsAndOracleMarksOuterSides)
{
    customerOrders->SetLinkType(ltOuterLeft);
    column(f["Name"], "Name");
    column(f["Total"], "Total");
    condition(f["City"]);
    query.SetSQLSyntax(ssOracle);
    query.SetSQLOptions({soBracketConditions});
    EXPECT_EQ(sql().mid(1), QStringList({"FROM ", "     Customers, ", "     Orders", "WHERE",
                                         "   ((Customers.ID=Orders.CustID (+) )) AND", "(",
                                         "(Customers.City is null)", ")"}));
    QString joins;
    query.QResult()->GetJoinConditions(joins);
    EXPECT_EQ(joins, "   ((Customers.ID=Orders.CustID (+) ))");
}

TEST_F(BuilderTest, OuterJoinWordFollowsTheLinkDirection)
{
    struct Case { TDSLinkType type; const char* main; bool outerKeyword; const char* word; } cases[] = {
        {ltOuterLeft, "Customers", false, "LEFT"},   {ltOuterLeft, "Orders", true, "RIGHT OUTER"},
        {ltOuterRight, "Orders", false, "LEFT"},     {ltOuterRight, "Customers", true, "RIGHT OUTER"},
        {ltOuterFull, "Customers", true, "FULL"},    {ltInner, "Orders", true, "INNER"},
    };
    column(f["Name"], "Name");
    column(f["Total"], "Total");
    for (const Case& c : cases) {
        customerOrders->SetLinkType(c.type);
        model.SQLFormats()->SetUseOuterKeyword(c.outerKeyword);
        const QString main = c.main;
        query.SetMainTableName(main);
        EXPECT_EQ(sql()[2], "     " + main + u' ' + c.word + " JOIN  " + (main == "Orders" ? "Customers" : "Orders")
                                + " ON (Customers.ID=Orders.CustID)");
    }
}

TEST_F(BuilderTest, PathsPreferNeededTablesAndIslandsFail)
{
    // Nothing to select from, or nothing built yet.
    EXPECT_EQ(panelError([&] { query.QResult()->GetFromClause(); }), "8: Query was not built properly");
    EXPECT_EQ(panelError([&] { query.BuildQuery(); }), "1: Not enough information for building query");
    EXPECT_EQ(query.State(), stIdle);
    query.SetActive(false);
    query.BuildQuery();
    EXPECT_EQ(panelError([&] { query.QResult()->GetSQL(); }), "8: Query was not built properly");
    query.SetActive(true);

    // A shortcut Customers - Products through a table nobody needs.
    TDSTable* shortcut = AddTable(model, "Shortcut");
    AddLink(model, t["Customers"], shortcut);
    AddLink(model, shortcut, t["Products"]);
    TDSField* title = model.Fields(model.AddField(kfkData, "Title", "Title", t["Products"]));
    column(f["Name"], "Name");
    column(title, "Title");
    column(f["Qty"], "Qty");
    EXPECT_EQ(tableOrder(), QStringList({"Customers", "Orders", "Items", "Products"}));

    // Every needed table is asked for a path, so an island fails the first join.
    column(f["Text"], "Text");
    EXPECT_EQ(panelError([&] { query.BuildQuery(); }), "0: No path between table \"Notes\" and \"Products\"");
    EXPECT_EQ(query.State(), stIdle);
}

TEST_F(BuilderTest, TablesSharingAnAliasDoNotLoop)
{
    // The namesake's path to the self-linked table starts at that very table.
    TDSTable* a = AddTable(model, "A", "Dup");
    TDSTable* b = AddTable(model, "B", "Dup");
    AddLink(model, a, a);
    AddLink(model, t["Orders"], a);
    column(f["Name"], "Name");
    column(model.Fields(model.AddField(kfkData, "X", "X", a)), "X");
    column(model.Fields(model.AddField(kfkData, "Y", "Y", b)), "Y");
    EXPECT_EQ(tableOrder(), QStringList({"Customers", "Orders", "A"}));
}

TEST_F(BuilderTest, TableFiltersCollectConditionsPerTable)
{
    for (const char* name : {"Name", "Total", "City"})
        condition(f[name]);
    query.BuildFilters();
    EXPECT_FALSE(query.TableFiltersMode());
    TVxTableFilterList& filters = query.TableFilters();
    ASSERT_EQ(filters.Count(), 2);
    EXPECT_EQ(filters.FindByTableName("customers")->Filter() + "|" + filters.FindByTable(t["Orders"])->Filter(),
              "Name is null AND City is null|Total is null");
    for (const auto& entry : query.QResult()->ResultTables())
        EXPECT_EQ(entry->Link, nullptr);
}

TEST_F(BuilderTest, AFailedBuildLeavesNoStatementAndABracketWrittenLaterJoinsTheLast)
{
    column(f["Name"], "Name");
    condition(f["Total"]);
    condition(f["Qty"]);
    const QStringList built = sql();
    ASSERT_EQ(built.mid(4), QStringList({"WHERE", "(", "Orders.Total is null AND", "Items.Qty is null", ")"}));

    // Written outside a build, a bracket adds to the statement it finds.
    query.WriteBracket(query.Filter(), false);
    EXPECT_EQ(query.QResult()->GetSQL().Lines(), built + built.mid(5));

    // A host refusing the second condition stops the build half way.
    int written = 0;
    query.OnBuildSQL = [&](TFilterCond*, QString&) {
        if (++written == 2)
            throw Exception(QStringLiteral("refused"));
    };
    EXPECT_EQ(fixtures::errorOf<Exception>([&] { query.BuildQuery(); }), "refused");
    EXPECT_EQ(panelError([&] { query.QResult()->GetSQL(); }), "8: Query was not built properly");
    written = 0;
    EXPECT_EQ(fixtures::errorOf<Exception>([&] { query.BuildFilters(); }), "refused");
    EXPECT_EQ(query.TableFilters().Count(), 0);
    EXPECT_EQ(query.State(), stIdle);
    query.OnBuildSQL = nullptr;
}

TEST_F(BuilderTest, ParametersAreRenumberedAfterDeletion)
{
    int changes = 0;
    query.OnParamListChange = [&](QObject*) { ++changes; };
    query.QResult()->SetParentParamCount(2);
    TFilterCond* conds[] = {condition(f["Name"], "Equal"), condition(f["City"], "Equal"), condition(f["Total"], "Equal")};
    for (TFilterCond* cond : conds)
        cond->SetValueIsParam(1, true);
    EXPECT_EQ(paramNames(), QStringList({"Param3", "Param4", "Param5"}));
    query.QResult()->SetParentParamCount(0);
    query.QResult()->DeleteParameter(conds[0]->GetParam(1));
    EXPECT_EQ(conds[0]->GetParam(1), nullptr);
    EXPECT_EQ(paramNames(), QStringList({"Param1", "Param2"}));
    EXPECT_EQ(query.QResult()->FindParameter("pARAM2"), conds[2]->GetParam(1));
    EXPECT_EQ(changes, 4);

    query.Filter()->DeleteRow(1);
    EXPECT_EQ(paramNames(), QStringList({"Param1"}));
    query.QResult()->ClearParams();
    EXPECT_EQ(conds[2]->GetParam(1), nullptr);
}

} // namespace
} // namespace brindle

#include "query/query_fixtures.h"
#include <brindle/sqlimport/sql_parser.h>

#include <brindle/foundations/date_time.h>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

using namespace brindle;
using namespace brindle::fixtures;

namespace {

struct Import : ::testing::Test, ModelQuery {
    Import() : ModelQuery(false) {}

    void parse(const QString& sql) { query.ParseSQL(TStringList(sql.split(u'\n'))); }
    TSimpleCond* cond(int i) { return static_cast<TSimpleCond*>(query.Filter()->GetRow(i)); }
};

TEST_F(Import, ConditionsBindToFieldsOperatorsAndValues)
{
    struct Case { const char* where; TDSField* field; const char* op; const char* value1; const char* value2; };
    const Case cases[] = {
        {"Name = 'Smith'", m.custName, "Equal", "Smith", ""},
        {"c.Name != 'Smith'", m.custName, "NotEqual", "Smith", ""},
        {"NOT (c.Name = 'Smith')", m.custName, "NotEqual", "Smith", ""},
        {"c.Name LIKE '%mit%'", m.custName, "Contains", "mit", ""},
        {"NOT (c.Name LIKE '%mit%')", m.custName, "NotContains", "mit", ""},
        {"c.Name LIKE 'Sm%'", m.custName, "StartsWith", "Sm", ""},
        {"o.ID IN (1, 2, 3)", m.orderID, "InList", "1, 2, 3", ""},
        {"NOT (o.Status IN ('O','S'))", m.status, "NotInList", "\"O\",\"S\"", ""},
        {"c.Name IN ('it''s', 'say \"hi\"')", m.custName, "InList", "\"it's\", \"say \"\"hi\"\"\"", ""},
        {"o.Amount BETWEEN 10 AND 20", m.amount, "Between", "10", "20"},
        {"o.Amount >= 10.5", m.amount, "GreaterOrEqual", "10.5", ""},
        {"c.City IS NULL", m.custCity, "IsNull", "", ""},
        // A join written among the conditions keeps its other side as the
        // value: the statement built from it refuses it as no number.
        {"o.ID = c.ID", m.orderID, "Equal", "c.ID", ""},
        // Neither template matches a LIKE of another shape: it reads as Contains.
        {"c.Name LIKE '_a_'", m.custName, "Contains", "'_a_'", ""},
    };
    for (const Case& c : cases) {
        parse(QStringLiteral("SELECT c.Name FROM Customers c WHERE ") + c.where);
        ASSERT_EQ(query.Filter()->GetRowCount(), 1) << c.where;
        EXPECT_EQ(std::tuple(cond(0)->Field(), cond(0)->Operator()->Name(), cond(0)->GetValue(1), cond(0)->GetValue(2)),
                  std::tuple(c.field, QString(c.op), QString(c.value1), QString(c.value2)))
            << c.where;
    }
}

TEST_F(Import, UnknownNamesListItemsAndDates)
{
    parse("SELECT c.Name FROM Customers c WHERE c.Nickname = 'x' AND c.Name IN 'y'");
    ASSERT_EQ(query.Filter()->GetRowCount(), 2);
    EXPECT_EQ(cond(0)->Field(), m.model.NullField());
    EXPECT_EQ(cond(1)->Operator(), m.model.NullOperator());
    parse("SELECT c.Name FROM Customers c WHERE c.Name IN ('it''s', 'say \"hi\"', 'a,b')");
    EXPECT_EQ(query.ExtractValue(cond(0), 1), "'it''s','say \"hi\"','a,b'");

    parse("SELECT o.ID FROM Orders o WHERE o.OrderDate = '1970-01-31' AND o.OrderDate = '01/31/1970'"
          " AND o.OrderDate = 'yesterday'");
    const QString day = BrDateTimeToStr(EncodeDate(1970, 1, 31));
    EXPECT_EQ(cond(0)->GetValue(1) + "|" + cond(1)->GetValue(1), day + "|" + day);
    EXPECT_EQ(cond(2)->GetValue(1), BrDateTimeToStr(FromQDate(QDate::currentDate())));
}

TEST_F(Import, BracketsParametersColumnsAndAFailedParse)
{
    parse("SELECT c.Name, o.Amount FROM Orders o INNER JOIN Customers c ON c.ID = o.CustID\n"
          "WHERE c.City = :pCity OR NOT (o.Amount > 100 OR O.AMOUNT  >  @1) OR o.Amount > 7\n"
          "ORDER BY 2 DESC");
    TFilterBracket* root = query.Filter();
    EXPECT_EQ(root->LinkType(), fltAny);
    ASSERT_EQ(root->GetRowCount(), 3);
    auto* nested = static_cast<TFilterBracket*>(root->GetRow(1));
    ASSERT_TRUE(nested->IsBracket());
    // The predefined condition's text is found ignoring case and spacing.
    EXPECT_TRUE(cond(0)->GetValueIsParam(1) && nested->LinkType() == fltNone
                && nested->GetRow(1)->RowType() == frtCustomCondition);
    const TRFieldList& fields = query.QResult()->ResultFields();
    ASSERT_EQ(fields.Count(), 2);
    EXPECT_TRUE(fields.GetItem(1)->Sorting() == stDescending && fields.GetItem(1)->SortOrder() == 1);

    query.SetActive(true);
    parse("SELECT c.Name FROM Customers c WHERE c.Name = 'a'");
    EXPECT_EQ(query.Filter()->GetRowCount(), 1);
    EXPECT_THROW(parse("SELECT c.Name FROM Customers c WHERE (c.Name = 'a'"), ESQLParserError);
    EXPECT_EQ(query.Filter()->GetRowCount(), 0);
    EXPECT_TRUE(query.State() == stIdle && query.Active());

    TVxQuery noModel;
    EXPECT_THROW(noModel.ParseSQL(TStringList(QStringList{"SELECT a FROM T"})), EVxQueryPanelError);
}

// A fault inside a sub-query is placed in the whole statement: on the
// sub-query's first line past the text before it, on later lines as is.
TEST_F(Import, SubQueryFaultsArePlacedInTheStatement)
{
    m.model.Operators(m.model.AddOperator("InQuery", "is in", "@f in (@1)", "", BrStringTypes))->SetValueKind(vkSubQuery);
    // The place as "line:column token | message".
    const auto placeOf = [](const std::function<void()>& import) {
        try {
            import();
        } catch (const ESQLParserError& e) {
            return QStringLiteral("%1:%2 %3 | %4").arg(e.Line()).arg(e.Column()).arg(e.Token(), e.Message());
        }
        return QStringLiteral("imported");
    };
    EXPECT_EQ(placeOf([&] { parse("SELECT c.Name FROM Customers c\nWHERE c.Name IN (SELECT , c.Name FROM Customers c)"); }),
              "2:25 , | Wrong SQL statement\r\nLine:2");
    EXPECT_EQ(placeOf([&] {
                  parse("SELECT c.Name FROM Customers c\nWHERE c.Name IN (SELECT c.Name\n"
                        "  FROM Customers c WHERE c.City = = 'Rome')");
              }),
              "3:35 = | Wrong SQL statement\r\nLine:3");
    // Imported on its own, the sub-query is its own frame.
    TStringList dest;
    EXPECT_EQ(placeOf([&] { query.ProcessSubQuery("SELECT c.Name\n  FROM Customers c,, Orders o", dest); }),
              "2:20 , | Wrong SQL statement\r\nLine:2");
}

TEST_F(Import, SubQueriesChosenByTheHostAreImported)
{
    TDSOperator* inQuery = m.model.Operators(m.model.AddOperator("InQuery", "is in", "@f in (@1)", "", BrStringTypes));
    inQuery->SetValueKind(vkSubQuery);
    m.custName->SetEditType(etCustom);
    query.SetSubQueryHint(sqhText);
    QString chosen;
    query.OnCustomValue = [&](TFilterCond*, int, QString& value) { value = chosen; };
    TSimpleCond* row = add(m.custName, inQuery);

    chosen = "SELECT c.Name FROM Customers c\nWHERE c.City = 'Rome'";
    QString value;
    ASSERT_TRUE(row->RunSubQueryEditor(value));
    EXPECT_EQ(row->GetValue(1), "SELECT c.Name FROM Customers c  WHERE c.City = 'Rome'");
    EXPECT_TRUE(row->SubQuery().IndexOf("[Row1.]") >= 0 && row->ValueWord(1)->Hint().contains("Rome"));

    // SQL that cannot be imported is still the value, and nothing is raised.
    chosen = "SELECT c.Name FROM Customers c WHERE (c.City = 'Rome'";
    ASSERT_TRUE(row->RunSubQueryEditor(value));
    EXPECT_TRUE(row->GetValue(1) == chosen && row->SubQuery().Count() == 0);
}

} // namespace

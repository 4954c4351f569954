#include "query_fixtures.h"

#include <gtest/gtest.h>

using namespace brindle;
using brindle::fixtures::QueryModel;

namespace {

QStringList ids(const TVxQuery& query)
{
    QStringList out;
    std::function<void(const TFilterBracket*)> walk = [&](const TFilterBracket* b) {
        for (int i = 0; i < b->GetRowCount(); ++i) {
            const TFilterRow* row = b->GetRow(i);
            out << row->RowID() + '@' + QString::number(row->RowNum());
            if (row->IsBracket())
                walk(static_cast<const TFilterBracket*>(row));
        }
    };
    walk(query.Filter());
    return out;
}

QString where(TVxQuery& query)
{
    query.BuildQuery();
    QStringList lines = query.QResult()->GetSQL().Lines();
    const int at = lines.indexOf("WHERE");
    return at < 0 ? QString() : lines.mid(at + 1).join('|');
}

} // namespace

class ConditionTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        query.SetDbStruct(&m.model);
        query.SetActive(true);
    }
    QueryModel m;
    TVxQuery query;
};

TEST_F(ConditionTree, IdentifiersLinesAndLookups)
{
    for (int i = 0; i < 3; ++i)
        query.AddCondition(query.Filter(), m.custName);
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    EXPECT_EQ(ids(query), QStringList({"1.@1", "2.@2", "3.@3", "4.@4", "4.1.@5"}));
    TFilterRow* inner = bracket->GetRow(0);
    EXPECT_EQ(query.Filter()->RowByID("4.1."), inner);
    EXPECT_EQ(query.GetRowByNum(5), inner);
    EXPECT_EQ(query.GetRowByNum(4), bracket);
    EXPECT_EQ(query.GetRowByNum(6), nullptr);
    EXPECT_EQ(query.Filter()->RowByID("9."), nullptr);
    EXPECT_THROW(query.Filter()->RowByID("x."), EConvertError);
    EXPECT_THROW(query.Filter()->RowByID("4"), EConvertError);
    EXPECT_EQ(query.GetLastRow(), inner);
    EXPECT_EQ(inner->GetRowLevel(), 2);

    // Inserting by line number puts the row before the row on that line.
    TFilterCond* second = query.AddConditionNum(query.Filter(), 2, m.orderID);
    EXPECT_EQ(query.Filter()->GetRow(1), second);
    EXPECT_EQ(ids(query), QStringList({"1.@1", "2.@2", "3.@3", "4.@4", "5.@5", "5.1.@6"}));
}

TEST_F(ConditionTree, NonEmptyBracketsDeleteUpward)
{
    TFilterBracket* outer = query.AddBracket(query.Filter());
    ASSERT_EQ(outer->GetRowCount(), 1); // a new bracket holds one condition at once
    TFilterBracket* inner = query.AddBracket(outer);
    ASSERT_EQ(outer->GetRowCount(), 2);
    outer->DeleteRow(0);
    ASSERT_EQ(outer->GetRowCount(), 1);
    EXPECT_EQ(outer->GetRow(0), inner);
    inner->DeleteRow(0); // empties inner, which empties outer, which goes too
    EXPECT_EQ(query.Filter()->GetRowCount(), 0);
    EXPECT_EQ(query.CurrentRow(), nullptr);

    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    TFilterBracket* empty = query.AddBracket(query.Filter());
    EXPECT_EQ(empty->GetRowCount(), 0);
}

TEST_F(ConditionTree, MovingRows)
{
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    TFilterCond* a = query.AddCondition(query.Filter(), m.custName);
    TFilterCond* b = query.AddCondition(query.Filter(), m.custCity);
    TFilterCond* c = query.AddCondition(query.Filter(), m.orderID);

    query.SetCurrentRow(a);
    query.MoveCurRowRight(); // the first row is wrapped into a new bracket at its place
    ASSERT_TRUE(query.Filter()->GetRow(0)->IsBracket());
    auto* wrap = static_cast<TFilterBracket*>(query.Filter()->GetRow(0));
    EXPECT_EQ(wrap->GetRow(0), a);
    EXPECT_EQ(a->RowID(), "1.1.");

    query.SetCurrentRow(b);
    query.MoveCurRowRight(); // a row after a bracket joins that bracket
    EXPECT_EQ(wrap->GetRowCount(), 2);
    EXPECT_EQ(wrap->GetRow(1), b);
    EXPECT_EQ(query.Filter()->GetRow(1), c);

    query.SetCurrentRow(b);
    query.MoveCurRowUp();
    EXPECT_EQ(wrap->GetRow(0), b);
    EXPECT_EQ(b->RowID(), "1.1.");

    query.SetCurrentRow(b);
    query.MoveCurRowLeft();
    query.SetCurrentRow(a);
    query.MoveCurRowLeft(); // the emptied bracket goes, whatever the options say
    EXPECT_EQ(query.Filter()->GetRowCount(), 3);
    EXPECT_EQ(query.Filter()->GetRow(0), a);
    EXPECT_EQ(query.Filter()->GetRow(1), b);
    EXPECT_EQ(query.Filter()->GetRow(2), c);
    EXPECT_EQ(ids(query), QStringList({"1.@1", "2.@2", "3.@3"}));
}

TEST_F(ConditionTree, EnabledStatePropagates)
{
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    TFilterCond* first = static_cast<TFilterCond*>(bracket->GetRow(0));
    TFilterCond* second = query.AddCondition(bracket, m.custCity);
    QList<int> changes;
    query.OnConditionChange = [&](TFilterCond*, int what) { changes << what; };

    first->SetEnabled(false);
    EXPECT_TRUE(bracket->GetEnabled());
    second->SetEnabled(false); // the last enabled row disables its bracket
    EXPECT_FALSE(bracket->GetEnabled());
    EXPECT_EQ(changes, QList<int>({0, 0}));

    first->SetEnabled(true); // one row enables the bracket but not its sibling
    EXPECT_TRUE(bracket->GetEnabled());
    EXPECT_FALSE(second->GetEnabled());

    bracket->SetEnabled(false);
    EXPECT_FALSE(first->GetEnabled());
    bracket->SetEnabled(true);
    EXPECT_TRUE(second->GetEnabled());
}

TEST_F(ConditionTree, WritingBrackets)
{
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    TFilterBracket* none = query.AddBracket(query.Filter());
    none->SetLinkType(fltNone);
    fixtures::addCondition(query, none, m.orderID, m.op("Equal"), "1");
    fixtures::addCondition(query, none, m.orderID, m.op("Equal"), "2");
    EXPECT_EQ(where(query), "(|NOT (|o.ID = 1 OR|o.ID = 2|)|)");

    none->SetLinkType(fltNotAll);
    EXPECT_EQ(where(query), "(|NOT (|o.ID = 1 AND|o.ID = 2|)|)");

    // A disabled bracket and an enabled bracket without enabled rows write nothing.
    none->SetEnabled(false);
    EXPECT_EQ(where(query), "");
    TFilterBracket* empty = query.AddBracket(query.Filter());
    fixtures::addCondition(query, query.Filter(), m.orderID, m.op("LessThan"), "9");
    EXPECT_EQ(empty->GetRowCount(), 0);
    EXPECT_EQ(where(query), "(|o.ID < 9|)");
}

TEST_F(ConditionTree, HavingRowsGoToHaving)
{
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    query.QResult()->ResultFields().Add("@1", {m.custName}, "Customer");
    query.QResult()->ResultFields().Add("@1", {m.total}, "Total");
    fixtures::addCondition(query, query.Filter(), m.total, m.op("GreaterThan"), "10");
    TFilterBracket* nested = query.AddBracket(query.Filter());
    fixtures::addCondition(query, nested, m.total, m.op("LessThan"), "90");
    fixtures::addCondition(query, nested, m.total, m.op("Equal"), "50");
    fixtures::addCondition(query, query.Filter(), m.custCity, m.op("Equal"), "Oslo");
    query.BuildQuery();
    const QStringList sql = query.QResult()->GetSQL().Lines();
    EXPECT_TRUE(sql.contains("HAVING ( sum(o.Amount) >10 AND( sum(o.Amount) < 90 OR sum(o.Amount) = 50 ) )"))
        << sql.join('\n').toStdString();
    EXPECT_TRUE(sql.contains("c.City = 'Oslo'")) << sql.join('\n').toStdString();
    EXPECT_EQ(nested->GetBracketKind(), 2);
}

TEST_F(ConditionTree, ReadableText)
{
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    fixtures::addCondition(query, query.Filter(), m.custCity, m.op("Equal"), "Oslo");
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    fixtures::addCondition(query, bracket, m.amount, m.op("Between"), "1", "5");
    TFilterCond* off = fixtures::addCondition(query, query.Filter(), m.orderID, m.op("Equal"), "3");
    off->SetEnabled(false);
    EXPECT_EQ(query.GetQueryText().Lines(),
              QStringList({"Choose records where all of the following apply",
                           "   City is equal to Oslo",
                           "   any of the following apply",
                           "     Amount is between 1 and 5"}));
}

TEST_F(ConditionTree, EditingAConditionKeepsItsValuesInStep)
{
    auto* cond = fixtures::addCondition(query, query.Filter(), m.custName, m.op("InList"), "1,2,3");
    QList<int> changes;
    query.OnConditionChange = [&](TFilterCond*, int what) { changes << what; };

    cond->SetOperator(m.op("Equal")); // leaving a list keeps its first item
    EXPECT_EQ(cond->GetValue(1), "1");
    cond->SetOperator(m.op("Between"));
    cond->SetValue(2, "9");
    ASSERT_NE(cond->Label5(), nullptr);
    EXPECT_EQ(cond->Label5()->Caption(), "and");
    cond->SetOperator(m.op("IsNull")); // no values: both go with their words
    EXPECT_EQ(cond->GetValue(1), "");
    EXPECT_EQ(cond->GetValue(2), "");
    EXPECT_EQ(cond->Label3(), nullptr);
    EXPECT_EQ(cond->Label5(), nullptr);
    EXPECT_EQ(changes, QList<int>({3, 2, 2, 4, 2}));

    cond->SetOperator(m.op("Equal"));
    cond->SetValue(1, "Smith");
    cond->SetField(m.custCity); // a new field resets the values and the operator
    EXPECT_EQ(cond->GetValue(1), "");
    EXPECT_EQ(cond->Operator(), m.custCity->Operators(0));
    EXPECT_EQ(cond->Label1()->Caption(), "City");
    EXPECT_EQ(cond->Label2()->Items().Count(), m.custCity->OperatCount());
}

TEST_F(ConditionTree, ValueWordsFollowTheFieldAndOperator)
{
    struct Case {
        TDSField* QueryModel::*field;
        const char* op;
        TWordEditor editor;
    };
    const Case cases[] = {
        {&QueryModel::orderID, "Equal", weEdit},        {&QueryModel::orderDate, "Equal", weDateTime},
        {&QueryModel::paid, "Equal", wePopup},          {&QueryModel::status, "Equal", wePopup},
        {&QueryModel::status, "InList", weCheckList},   {&QueryModel::custName, "Contains", weEdit},
    };
    for (const Case& c : cases) {
        auto* cond = fixtures::addCondition(query, query.Filter(), m.*(c.field), m.op(c.op));
        ASSERT_NE(cond->Label3(), nullptr) << c.op;
        EXPECT_EQ(cond->Label3()->Editor(), c.editor) << c.op;
    }
    auto* status = fixtures::addCondition(query, query.Filter(), m.status, m.op("Equal"), "S");
    EXPECT_EQ(status->GetValueCaption(1), "Shipped");
    auto* integer = fixtures::addCondition(query, query.Filter(), m.orderID, m.op("Equal"));
    EXPECT_EQ(integer->Label3()->ValueType, vtInteger);
    auto* flag = fixtures::addCondition(query, query.Filter(), m.paid, m.op("Equal"), "true");
    EXPECT_EQ(flag->GetValueCaption(1), "True");

    // A host may put a word of its own in place of the one made.
    query.OnElementCreate = [](TFilterCond*, int, std::unique_ptr<TQueryWord>& element) {
        element = std::make_unique<TQueryWord>(weCustom);
    };
    auto* custom = fixtures::addCondition(query, query.Filter(), m.orderID, m.op("Between"));
    EXPECT_EQ(custom->Label3()->Editor(), weCustom);
    EXPECT_EQ(custom->Label4()->Editor(), weCustom);
}

TEST_F(ConditionTree, ParametersTakeValuesOverAndGiveThemBack)
{
    auto* cond = fixtures::addCondition(query, query.Filter(), m.amount, m.op("Between"), "1", "5");
    cond->SetValueIsParam(1, true);
    cond->SetValueIsParam(2, true);
    ASSERT_EQ(query.QResult()->GetParamCount(), 2);
    EXPECT_EQ(cond->GetParam(1)->DisplayName(), "Amount Parameter 1");
    EXPECT_EQ(cond->GetParam(2)->DisplayName(), "Amount Parameter 2");
    EXPECT_TRUE(cond->Label3()->Fixed);
    EXPECT_EQ(cond->Label3()->Caption(), "Amount Parameter 1");
    cond->SetValue(1, "7"); // a parameter's value is not the condition's
    EXPECT_EQ(cond->GetValue(1), "1");

    cond->GetParam(1)->SetValue("3");
    cond->SetValueIsParam(1, false);
    EXPECT_EQ(cond->GetValue(1), "3");
    EXPECT_FALSE(cond->Label3()->Fixed);
    EXPECT_EQ(query.QResult()->GetParamCount(), 1);
    EXPECT_EQ(query.QResult()->GetParam(0)->ParamName(), "Param1");

    query.Filter()->DeleteRow(query.Filter()->IndexOf(cond)); // parameters go with their condition
    EXPECT_EQ(query.QResult()->GetParamCount(), 0);
}

TEST_F(ConditionTree, CustomConditionsAndDependentLists)
{
    TFilterCond* custom = query.AddCustomCondition(query.Filter(), m.bigOrders);
    custom->SetValue(1, "100");
    EXPECT_EQ(custom->Label1()->Caption(), "amount above ");
    EXPECT_EQ(where(query), "(|o.Amount > 100|)");

    // The Equal operator's value is published for SQL-driven lists.
    auto* city = fixtures::addCondition(query, query.Filter(), m.custCity, m.op("Equal"), "Oslo");
    EXPECT_EQ(query.SQLParams().Values("City"), "'Oslo'");
    city->SetOperator(m.op("NotEqual"));
    city->SetValue(1, "Bergen");
    EXPECT_EQ(query.SQLParams().Values("City"), "");

    // A value of an unquoted type goes in as a number or quoted, never as SQL.
    auto* amount = fixtures::addCondition(query, query.Filter(), m.amount, m.op("Equal"), "12.5");
    EXPECT_EQ(query.SQLParams().Values(m.amount->DisplayName()), "12.5");
    amount->SetValue(1, "0 OR 1=1; DROP TABLE Customers");
    EXPECT_EQ(query.SQLParams().Values(m.amount->DisplayName()), "'0 OR 1=1; DROP TABLE Customers'");
    for (const char* number : {"-3", "+1.5e-3", "7E+10", "0.25"}) {
        amount->SetValue(1, number);
        EXPECT_EQ(query.SQLParams().Values(m.amount->DisplayName()), number);
    }
    for (const char* other : {"1.", ".5", "1e", "1e+", "--1", "1 ", "0x10", "1.5.2"}) {
        amount->SetValue(1, other);
        EXPECT_EQ(query.SQLParams().Values(m.amount->DisplayName()), QStringLiteral("'%1'").arg(other));
    }
}

TEST_F(ConditionTree, CurrentRowMovesOnWhenItGoes)
{
    query.SetAppearanceOptions(query.AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    TFilterCond* a = query.AddCondition(query.Filter(), m.custName);
    TFilterCond* b = query.AddCondition(query.Filter(), m.custCity);
    TFilterCond* c = query.AddCondition(query.Filter(), m.orderID);
    query.SetCurrentRow(b);
    query.Filter()->DeleteRow(1);
    EXPECT_EQ(query.CurrentRow(), c); // the next line
    query.Filter()->DeleteRow(1);
    EXPECT_EQ(query.CurrentRow(), a); // no next line: the previous one
    query.Filter()->DeleteRow(0);
    EXPECT_EQ(query.CurrentRow(), nullptr);
}

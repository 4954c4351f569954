#include "query/query_fixtures.h"
#include <brindle/query/words.h>

#include <gtest/gtest.h>

#include <tuple>

using namespace brindle;

namespace {

// Each row's identifier and line number, in line order.
QStringList ids(const TFilterBracket* bracket)
{
    QStringList out;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        const TFilterRow* row = bracket->GetRow(i);
        out << row->RowID() + '@' + QString::number(row->RowNum());
        if (row->IsBracket())
            out << ids(static_cast<const TFilterBracket*>(row));
    }
    return out;
}

// The tree as the conditions' field names, a bracket's rows in "( )".
QString tree(const TFilterBracket* bracket)
{
    QStringList out;
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        const TFilterRow* row = bracket->GetRow(i);
        out << (row->IsBracket() ? "(" + tree(static_cast<const TFilterBracket*>(row)) + ")"
                                 : static_cast<const TSimpleCond*>(row)->Field()->DisplayName());
    }
    return out.join(' ');
}

} // namespace

class ConditionTree : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    // The WHERE clause's lines joined by "|", empty when there is none.
    QString where()
    {
        query.BuildQuery();
        const QStringList lines = query.QResult()->GetSQL().Lines();
        const int at = lines.indexOf("WHERE");
        return at < 0 ? QString() : lines.mid(at + 1).join('|');
    }
    // Three conditions on Customer, City and Order.
    void threeRows()
    {
        for (TDSField* field : {m.custName, m.custCity, m.orderID})
            rows << query.AddCondition(query.Filter(), field);
    }
    QList<TFilterCond*> rows;
};

TEST_F(ConditionTree, IdentifiersLinesAndLookups)
{
    for (int i = 0; i < 3; ++i)
        query.AddCondition(query.Filter(), m.custName);
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    EXPECT_EQ(ids(query.Filter()), QStringList({"1.@1", "2.@2", "3.@3", "4.@4", "4.1.@5"}));
    TFilterRow* inner = bracket->GetRow(0);
    EXPECT_TRUE(query.Filter()->RowByID("4.1.") == inner && query.GetRowByNum(5) == inner && query.GetLastRow() == inner
                && inner->GetRowLevel() == 2 && query.GetRowByNum(4) == bracket && !query.GetRowByNum(6)
                && !query.Filter()->RowByID("9."));
    for (const char* bad : {"x.", "4"})
        EXPECT_THROW(query.Filter()->RowByID(bad), EConvertError) << bad;

    // Inserting by line number puts the row before the row on that line.
    EXPECT_EQ(query.Filter()->GetRow(1), query.AddConditionNum(query.Filter(), 2, m.orderID));
    EXPECT_EQ(ids(query.Filter()), QStringList({"1.@1", "2.@2", "3.@3", "4.@4", "5.@5", "5.1.@6"}));
}

TEST_F(ConditionTree, NonEmptyBracketsDeleteUpward)
{
    TFilterBracket* outer = query.AddBracket(query.Filter());
    ASSERT_EQ(outer->GetRowCount(), 1); // a new bracket holds one condition at once
    TFilterBracket* inner = query.AddBracket(outer);
    outer->DeleteRow(0);
    ASSERT_TRUE(outer->GetRowCount() == 1 && outer->GetRow(0) == inner);
    inner->DeleteRow(0); // empties inner, which empties outer, which goes too
    EXPECT_EQ(query.Filter()->GetRowCount(), 0);

    allowEmptyBrackets();
    EXPECT_EQ(query.AddBracket(query.Filter())->GetRowCount(), 0);
}

TEST_F(ConditionTree, MovingAndDeletingRows)
{
    allowEmptyBrackets();
    threeRows();
    const auto move = [&](int row, bool (TVxQuery::*how)(TFilterRow*)) {
        EXPECT_TRUE((query.*how)(rows[row]));
        return tree(query.Filter());
    };
    // The first row is wrapped into a new bracket at its place; a row after
    // a bracket joins that bracket.
    EXPECT_EQ(move(0, &TVxQuery::MoveRowRight), "(Customer) City Order");
    EXPECT_EQ(rows[0]->RowID(), "1.1.");
    EXPECT_EQ(move(1, &TVxQuery::MoveRowRight), "(Customer City) Order");
    EXPECT_EQ(move(1, &TVxQuery::MoveRowUp), "(City Customer) Order");
    EXPECT_EQ(rows[1]->RowID(), "1.1.");
    move(1, &TVxQuery::MoveRowLeft);
    // The emptied bracket goes, whatever the options say.
    EXPECT_EQ(move(0, &TVxQuery::MoveRowLeft), "Customer City Order");
    EXPECT_EQ(ids(query.Filter()), QStringList({"1.@1", "2.@2", "3.@3"}));
    // Rows that cannot go further stay, and nothing changes.
    const QString before = tree(query.Filter());
    EXPECT_FALSE(query.MoveRowUp(rows[0]));
    EXPECT_FALSE(query.MoveRowDown(rows[2]));
    EXPECT_FALSE(query.MoveRowLeft(rows[1]));
    EXPECT_FALSE(query.MoveRowRight(query.Filter()));
    EXPECT_EQ(tree(query.Filter()), before);
}

TEST_F(ConditionTree, EnabledStatePropagates)
{
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    TFilterCond* first = static_cast<TFilterCond*>(bracket->GetRow(0));
    TFilterCond* second = query.AddCondition(bracket, m.custCity);
    QList<ConditionChange> changes;
    query.OnConditionChange = [&](TFilterCond*, ConditionChange what) { changes << what; };

    first->SetEnabled(false);
    EXPECT_TRUE(bracket->GetEnabled());
    second->SetEnabled(false); // the last enabled row disables its bracket
    EXPECT_TRUE(!bracket->GetEnabled() && changes == QList<ConditionChange>({ccEnabled, ccEnabled}));
    first->SetEnabled(true); // one row enables the bracket but not its sibling
    EXPECT_TRUE(bracket->GetEnabled() && !second->GetEnabled());
    bracket->SetEnabled(false); // a bracket takes all its rows along
    EXPECT_FALSE(first->GetEnabled());
    bracket->SetEnabled(true);
    EXPECT_TRUE(first->GetEnabled() && second->GetEnabled());
}

TEST_F(ConditionTree, EditingAConditionKeepsItsValuesInStep)
{
    TSimpleCond* cond = add(m.custName, "InList", "1,2,3");
    QList<ConditionChange> changes;
    query.OnConditionChange = [&](TFilterCond*, ConditionChange what) { changes << what; };

    cond->SetOperator(m.op("Equal")); // leaving a list keeps its first item
    EXPECT_EQ(cond->GetValue(1), "1");
    cond->SetOperator(m.op("Between"));
    cond->SetValue(2, "9");
    EXPECT_TRUE(cond->Label5() && cond->Label5()->Caption() == "and");
    cond->SetOperator(m.op("IsNull")); // no values: both go with their words
    EXPECT_TRUE(cond->GetValue(1).isEmpty() && cond->GetValue(2).isEmpty() && !cond->Label3() && !cond->Label5());
    EXPECT_EQ(changes, QList<ConditionChange>({ccValue1, ccOperator, ccOperator, ccValue2, ccOperator}));

    cond->SetOperator(m.op("Equal"));
    cond->SetValue(1, "Smith");
    cond->SetField(m.custCity); // a new field resets the values and the operator
    EXPECT_TRUE(cond->GetValue(1).isEmpty() && cond->Operator() == m.custCity->Operators(0)
                && cond->Label1()->Caption() == "City" && cond->Label2()->Items().Count() == m.custCity->OperatCount());

    // Each value word opens the editor of its field and operator, and shows
    // the captions of list and Boolean values; a host may put a word of its
    // own in place of the one made.
    for (auto [field, op, editor] : {std::tuple{m.orderID, "Equal", weEdit}, {m.orderDate, "Equal", weDateTime},
                                     {m.paid, "Equal", wePopup}, {m.status, "InList", weCheckList}})
        EXPECT_EQ(add(field, op)->Label3()->Editor(), editor) << op;
    EXPECT_EQ(add(m.status, "Equal", "S")->GetValueCaption(1) + add(m.paid, "Equal", "true")->GetValueCaption(1),
              "ShippedTrue");
    query.OnElementCreate = [](TFilterCond*, int, std::unique_ptr<TQueryWord>& element) {
        element = std::make_unique<TQueryWord>(weCustom);
    };
    TSimpleCond* custom = add(m.orderID, "Between");
    EXPECT_TRUE(custom->Label3()->Editor() == weCustom && custom->Label4()->Editor() == weCustom);
}

TEST_F(ConditionTree, ParametersTakeValuesOverAndGiveThemBack)
{
    // One parameter of a condition takes the field's name; two are
    // numbered, whichever came first.
    TSimpleCond* cond = nullptr;
    for (int first : {2, 1}) {
        cond = add(m.amount, "Between", "1", "5");
        cond->SetValueIsParam(first, true);
        EXPECT_EQ(cond->GetParam(first)->DisplayName(), "Amount Parameter");
        cond->SetValueIsParam(3 - first, true);
        for (const QString i : {"1", "2"})
            EXPECT_EQ(cond->GetParam(i.toInt())->DisplayName() + "|" + cond->ValueWord(i.toInt())->Caption(),
                      "Amount Parameter " + i + "|Amount Parameter " + i);
        if (first == 2)
            query.Filter()->DeleteRow(0); // parameters go with their condition
    }
    ASSERT_EQ(query.QResult()->GetParamCount(), 2);
    EXPECT_TRUE(cond->Label3()->Fixed());
    cond->SetValue(1, "7"); // a parameter's value is not the condition's
    EXPECT_EQ(cond->GetValue(1), "1");

    cond->GetParam(1)->SetValue("3");
    cond->SetValueIsParam(1, false);
    EXPECT_EQ(cond->GetValue(1), "3");
    EXPECT_FALSE(cond->Label3()->Fixed());
    ASSERT_EQ(query.QResult()->GetParamCount(), 1);
    EXPECT_EQ(query.QResult()->GetParam(0)->ParamName(), "Param1"); // renumbered
}

TEST_F(ConditionTree, CustomConditionsAndDependentLists)
{
    TFilterCond* custom = query.AddCustomCondition(query.Filter(), m.bigOrders);
    custom->SetValue(1, "100");
    EXPECT_EQ(custom->Label1()->Caption(), "amount above ");
    EXPECT_EQ(where(), "(|o.Amount > 100|)");

    // The Equal operator's value is published for SQL-driven lists.
    TSimpleCond* city = add(m.custCity, "Equal", "Oslo");
    EXPECT_EQ(query.SQLParams().Values("City"), "'Oslo'");
    city->SetOperator(m.op("NotEqual"));
    city->SetValue(1, "Bergen");
    EXPECT_EQ(query.SQLParams().Values("City"), "");

    // A value of an unquoted type goes in as a number or quoted, never as SQL.
    TSimpleCond* amount = add(m.amount, "Equal", "12.5");
    const auto published = [&](const QString& value) {
        amount->SetValue(1, value);
        return query.SQLParams().Values(m.amount->DisplayName());
    };
    EXPECT_EQ(published("0 OR 1=1; DROP TABLE Customers"), "'0 OR 1=1; DROP TABLE Customers'");
    for (const char* number : {"12.5", "-3", "+1.5e-3", "7E+10", "0.25"})
        EXPECT_EQ(published(number), number);
    for (const char* other : {"1.", ".5", "1e", "1e+", "--1", "1 ", "0x10", "1.5.2", "1'"})
        EXPECT_EQ(published(other), QStringLiteral("'%1'").arg(QString(other).replace("'", "''")));
}

// --- the words of a row on their own

// The root row is made with the query, before a host sets anything up:
// activation gives it the titles and link types set by then.
TEST(QueryActivation, TheRootRowShowsTheSettingsMadeBeforeActivation)
{
    fixtures::ModelQuery mq(false);
    TVxQuery& query = mq.query;
    query.SetLinkTypes({fltAll, fltAny});
    query.SetTitle("ttlFilter", "Show rows where @ of these hold");
    query.SetActive(true);
    const TFilterBracket* root = query.Filter();
    EXPECT_EQ(root->Label2()->Items().Lines(), QStringList({"all", "any"}));
    EXPECT_EQ(query.GetQueryText().Text().trimmed(), "Show rows where all of these hold");

    // A root title without "@" has no place for the link type: activation
    // keeps the words, and making the root anew refuses the title.
    query.SetActive(false);
    query.SetTitle("ttlFilter", "Every record");
    query.SetActive(true);
    EXPECT_EQ(query.GetQueryText().Text().trimmed(), "Show rows where all of these hold");
    EXPECT_EQ(fixtures::errorOf<EVxQueryPanelError>([&] { query.RecreateRootBracket(); }), "4: Invalid filter title");
}

TEST(QueryWord, ItemsGroupsIndexesAndSharedItems)
{
    TQueryWord word(wePopup);
    word.AddItem("Group", "a", "Alpha");
    word.AddItems("", TStringList{"b", "O", "b"}, TStringList{"Beta", "Open", "Beta 2"});
    word.AddItem("GROUP", "c", "Gamma");
    ASSERT_EQ(word.Groups().Count(), 2);
    EXPECT_TRUE(word.Groups()[0]->Indexes == QList<int>({0, 4}) && word.Groups().FindByName("group") == word.Groups()[0]);
    EXPECT_THROW(word.AddItems("", TStringList{"x"}, TStringList{"X", "Y"}), EListError);
    EXPECT_EQ(word.Values().Count(), 5) << "a short value list adds nothing";

    int calls = 0;
    QObject::connect(word.Notifier(), &TWordNotifier::changed, [&] { ++calls; });
    for (int bad : {5, -2})
        EXPECT_EQ(fixtures::errorOf<EDDLabelError>([&] { word.SetItemIndex(bad); }), "Index out of bounds") << bad;
    EXPECT_EQ(calls, 0);
    word.SetItemIndex(3);
    word.SetItemIndex(3);
    EXPECT_TRUE(word.Caption() == "Beta 2" && calls == 1) << "the chosen item, not the first equal value";
    word.SetItemIndex(-1);
    EXPECT_EQ(word.Value() + word.Caption(), "");

    // The first exact match; an unknown value clears the word.
    const std::tuple<const char*, int, const char*> values[] = {
        {"O", 2, "O|Open"}, {"b", 1, "b|Beta"}, {"o", -1, "|"}, {"zz", -1, "|"}};
    for (const auto& [value, index, shown] : values) {
        word.SetValue(value);
        EXPECT_EQ(word.ItemIndex(), index) << value;
        EXPECT_EQ(word.Value() + "|" + word.Caption(), shown) << value;
    }
    word.SetValue("c");
    word.ClearAll(); // value and caption stay; no values, no default group
    word.EnsureDefaultGroup();
    EXPECT_TRUE(word.Groups().IsEmpty() && word.Items().IsEmpty() && word.ItemIndex() == -1 && word.Caption() == "Gamma");

    // Words share a block of items and its value index until one adds to it.
    auto shared = std::make_shared<WordItems>();
    shared->Items = TStringList{"One", "Two"};
    shared->Values = TStringList{"1", "2"};
    shared->Groups = {{"Numbers", {0, 1}}};
    shared->ValueIndex = {{QStringLiteral("1"), 0}, {QStringLiteral("2"), 1}};
    TQueryWord own(weListBox);
    TQueryWord other(weListBox);
    own.LoadItems(shared);
    other.LoadItems(shared);
    own.SetValue("2");
    EXPECT_EQ(own.Caption(), "Two");
    own.AddItem("Numbers", "3", "Three"); // the word takes its own copy, without the index
    own.SetValue("3");
    EXPECT_TRUE(own.IndexOfValue("3") == 2 && own.Caption() == "Three" && own.Groups().Count() == 1
                && own.Groups()[0]->Indexes == QList<int>({0, 1, 2}));
    // The shared block and the other word are untouched.
    EXPECT_TRUE(shared->Values.Count() == 2 && other.IndexOfValue("3") == -1
                && other.Groups()[0]->Indexes == QList<int>({0, 1}));
    own.ClearAll();
    EXPECT_EQ(own.IndexOfValue("1"), -1);
}

TEST(QueryWord, ItemsMadeWhenAskedKeepTheChoiceMadeBefore)
{
    auto block = std::make_shared<WordItems>();
    block->Items = TStringList{"One", "Two"};
    block->Values = TStringList{"1", "2"};
    block->Groups = {{"Numbers", {0, 1}}};
    block->IndexValues();
    int made = 0;
    const auto source = [&] {
        ++made;
        return block;
    };
    // A value in the items, one they lack (added to its group), and a
    // choice overtaken by a new value before the items are made.
    TQueryWord listed(wePopup), lacking(wePopup), overtaken(wePopup);
    for (TQueryWord* word : {&listed, &lacking, &overtaken})
        word->LoadItemsWhenAsked(source);
    listed.ChooseValue("Numbers", "2", "Two", "Number two");
    lacking.ChooseValue("Numbers", "3", "Three", "Number three");
    overtaken.ChooseValue("Other", "4", "Four", "Number four");
    EXPECT_TRUE(made == 0 && listed.Value() == "2" && lacking.Caption() == "Number three");
    overtaken.SetValue("1");
    EXPECT_TRUE(overtaken.ItemIndex() == 0 && overtaken.Caption() == "One" && overtaken.Values().Count() == 3);
    EXPECT_TRUE(listed.ItemIndex() == 1 && listed.Caption() == "Number two");
    EXPECT_TRUE(lacking.ItemIndex() == 2 && lacking.Groups()[0]->Indexes == QList<int>({0, 1, 2}));
    EXPECT_TRUE(made == 3 && block->Values.Count() == 2);
}

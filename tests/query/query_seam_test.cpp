#include "datamodel/model_fixtures.h"
#include "query/query_fixtures.h"
#include "query/query_mirror.h"

#include <gtest/gtest.h>

using namespace brindle;

class QuerySeam : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    QString sql()
    {
        query.BuildQuery();
        return query.QResult()->GetSQL().Text().simplified();
    }
};

// Every path that changes the tree tells the views exactly: a mirror kept
// from the signals alone matches the tree after each step.
TEST_F(QuerySeam, SignalsKeepAMirrorOfTheTree)
{
    fixtures::QueryMirror mirror(query);
    TFilterRow* moving = nullptr;
    const std::pair<const char*, std::function<void()>> steps[] = {
        {"add", [&] { add(m.custName, "Equal", "Ann"); add(m.amount, "Greater", "5"); }},
        {"bracket", [&] { add(m.custCity, "Equal", "Rome", {}, query.AddBracket(query.Filter())); }},
        {"up", [&] { query.MoveRowUp(moving = query.Filter()->GetRow(1)); }},
        {"down", [&] { query.MoveRowDown(moving); query.MoveRowDown(moving); }},
        {"right", [&] { query.MoveRowRight(moving = query.Filter()->GetRow(0)); }},
        {"left", [&] { query.MoveRowLeft(moving); }},
        {"delete emptying a bracket", [&] {
             TFilterBracket* b = query.AddBracket(query.Filter());
             b->DeleteRow(0);
         }},
        {"clear rows", [&] { static_cast<TFilterBracket*>(query.Filter()->GetRow(1))->ClearRows(); }},
        {"load", [&] {
             TStringList text;
             query.SaveToStrings(text);
             query.LoadFromStrings(text);
         }},
        {"import", [&] { query.ParseSQL(fixtures::textLines("SELECT * FROM Orders o WHERE o.Amount > 3")); }},
        {"clear", [&] { query.ClearAll(); }},
        {"new model", [&] { query.SetDbStruct(nullptr); query.SetDbStruct(&m.model); query.SetActive(true); }},
    };
    for (const auto& [name, step] : steps) {
        step();
        EXPECT_EQ(mirror.Text(), fixtures::QueryMirror::TreeText(query.Filter())) << name;
    }
    EXPECT_EQ(mirror.Resets, 5) << "load, import, clear and the two model changes";
}

TEST_F(QuerySeam, WordsAndResultFieldsNotifyEveryChange)
{
    fixtures::QueryMirror mirror(query);
    TSimpleCond* cond = add(m.amount, "Equal", "5");
    QStringList replaced;
    QObject::connect(&query, &TVxQuery::rowWordsReplaced, [&](TFilterRow* row) { replaced << row->RowID(); });
    cond->SetOperator(m.op("Between"));
    EXPECT_EQ(replaced, QStringList({"1.", "1."})) << "value words remade, then the separator made";
    mirror.Words.clear();
    cond->SetValueIsParam(1, true);
    cond->SetEnabled(false);
    cond->ValueWord(2)->SetHint("h");
    cond->ValueWord(2)->SetVisible(false);
    for (const char* word : {"1.:value1 fixed", "1.:field disabled", "1.:value2 disabled hint h",
                             "1.:value2 disabled hidden hint h"})
        EXPECT_TRUE(mirror.Words.contains(word)) << word << " in " << mirror.Words.join('|').toStdString();

    TRFieldList& fields = query.QResult()->ResultFields();
    fields.Add("@1", {m.custName}, "Name");
    fields.Add("@1", {m.amount}, "Amount");
    fields.Move(0, 1);
    fields.GetRField(0)->SetCaption("Sum");
    fields.Delete(1);
    EXPECT_EQ(mirror.Fields, QStringList({"+0", "+1", "0>1", "~0", "-1"}));
}

// A row's words come in sentence order with their roles, and one call does
// what an accepted drop-down does; the statement shows it.
TEST_F(QuerySeam, RowWordsAndAcceptingAValue)
{
    query.SetLogOpStyle(losAfterCond);
    TSimpleCond* cond = add(m.amount, "Between", "5", "6");
    TFilterBracket* inner = query.AddBracket(query.Filter());
    TSimpleCond* last = add(m.custCity, "Equal", "Rome", {}, inner);
    TFilterCond* custom = query.AddCustomCondition(query.Filter(), m.bigOrders);
    query.Filter()->UpdateLogOpLabel();
    auto roles = [&](const TFilterRow* row) {
        QList<int> out;
        for (const TRowWord& w : query.RowWords(row))
            out << w.Role;
        return out;
    };
    EXPECT_EQ(roles(query.Filter()), QList<int>({wrText, wrLinkType, wrTextAfter}));
    EXPECT_EQ(roles(cond), QList<int>({wrField, wrOperator, wrValue1, wrValueSeparator, wrValue2, wrLogicalOperator}));
    EXPECT_EQ(roles(custom), QList<int>({wrText, wrValue1})) << "the last row has no logical operator";
    cond->SetOperator(m.op("Equal"));
    cond->SetValueIsParam(1, true);
    const struct {
        TFilterRow* row;
        TQueryWord* word;
        QString value;
        bool accepted;
        const char* sqlHas;
    } cases[] = {
        {cond, cond->Label1(), m.custName->IDText(), true, "c.Name ="},
        {cond, cond->Label2(), "GreaterThan", true, "c.Name >"},
        {cond, cond->Label3(), "Bob", true, "c.Name >'Bob'"},
        {query.Filter(), query.Filter()->Label2(), query.LinkTypeWord(fltNone), true, "NOT ("},
        {query.Filter(), query.Filter()->Label1(), "x", false, "NOT ("},
        {last, last->Label9(), "1", true, " OR "},
        {cond, cond->Label1(), "99999", false, "c.Name >"},
        {cond, cond->Label2(), "NoSuchOperator", false, "c.Name >"},
        {cond, last->Label1(), m.amount->IDText(), false, "c.Name >"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(query.AcceptWordValue(c.row, c.word, c.value), c.accepted) << c.value;
        EXPECT_TRUE(sql().contains(c.sqlHas)) << c.sqlHas << " in " << sql();
    }
    EXPECT_EQ(query.QResult()->GetParamCount(), 0) << "the chosen value is no longer a parameter";
    EXPECT_EQ(query.Filter()->LinkType(), fltAny) << "the last row's word stands for its parent's parent";
}

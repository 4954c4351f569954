// The query's history: each complete change one step, undo and redo giving
// back each text exactly, the depth, and a model that changes or goes.

#include "query/query_fixtures.h"

#include <brindle/query/query_history.h>

#include <functional>
#include <memory>

using namespace brindle;
using fixtures::textLines;

namespace {

// How often a signal came.
template <typename Sender, typename Signal>
std::shared_ptr<int> counter(Sender* sender, Signal signal)
{
    auto count = std::make_shared<int>(0);
    QObject::connect(sender, signal, [count] { ++*count; });
    return count;
}

QString textOf(TVxQuery& query)
{
    TStringList lines;
    query.SaveToStrings(lines);
    return lines.Text();
}

QString textOf(const TVxCustomDBStructure& model)
{
    TStringList lines;
    model.SaveToStrings(lines);
    return lines.Text();
}

class QueryHistory : public ::testing::Test, protected fixtures::ModelQuery {
protected:
    TQueryHistory& history = TQueryHistory::Of(query);
};

} // namespace

TEST_F(QueryHistory, EveryKindOfChangeIsOneStepThatUndoesAndRedoesExactly)
{
    const auto changed = counter(&query, &TVxQuery::changed);
    TRFieldList& columns = query.QResult()->ResultFields();
    TStringList saved;
    struct Change {
        const char* name;
        std::function<void()> run;
    };
    const std::vector<Change> changes = {
        {"add row", [&] { query.AddCondition(query.Filter(), m.amount); }},
        {"accept operator", [&] {
             auto* row = static_cast<TSimpleCond*>(query.Filter()->GetRow(0));
             query.AcceptWordValue(row, wrOperator, row->Field()->Operators(2)->Name());
         }},
        {"accept value", [&] { query.AcceptWordValue(query.Filter()->GetRow(0), wrValue1, "7"); }},
        {"add second row", [&] { query.AddCondition(query.Filter(), m.custName); }},
        {"move up", [&] { query.MoveRowUp(query.Filter()->GetRow(1)); }},
        {"bracket", [&] { query.AddBracket(query.Filter()); }},
        {"disable", [&] { query.Filter()->GetRow(0)->SetEnabled(false); }},
        {"delete", [&] { query.Filter()->DeleteRow(1); }},
        {"column", [&] { columns.Add("@1", {m.custName}, "Name"); }},
        {"sorting", [&] { columns.AcceptWordValue(0, wrSorting, QString::number(stDescending)); }},
        {"options", [&] { query.SetSQLOptions(query.SQLOptions() - TSQLOptions{soSelectDistinct}); }},
        {"import", [&] { query.ParseSQL(textLines("SELECT o.ID FROM Orders o WHERE o.Amount > 3")); }},
        {"load", [&] { query.LoadFromStrings(saved); }},
    };
    query.SetSaveSQLOptions(true);
    history.Clear();
    QStringList texts = {textOf(query)};
    for (const auto& [name, run] : changes) {
        if (QString(name) == "load") {
            // Back to the text of two steps before, as one change.
            saved = textLines(texts[texts.size() - 2]);
        }
        *changed = 0;
        run();
        EXPECT_EQ(*changed, 1) << name;
        texts << textOf(query);
        EXPECT_NE(texts.back(), texts[texts.size() - 2]) << name << " changed nothing";
        EXPECT_EQ(history.UndoCount(), texts.size() - 1) << name;
    }
    for (qsizetype i = texts.size() - 2; i >= 0; --i) {
        ASSERT_TRUE(history.Undo());
        EXPECT_EQ(textOf(query), texts[i]) << "undoing " << changes[i].name;
    }
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.Undo());
    for (qsizetype i = 1; i < texts.size(); ++i) {
        ASSERT_TRUE(history.Redo());
        EXPECT_EQ(textOf(query), texts[i]) << "redoing " << changes[i - 1].name;
    }
    EXPECT_FALSE(history.Redo());
}

TEST_F(QueryHistory, TakingTheTextLeavesTheModifiedFlag)
{
    query.SetModified(false);
    query.AddCondition(query.Filter(), m.amount);
    EXPECT_TRUE(query.Modified());
    EXPECT_EQ(history.UndoCount(), 1);
}

TEST_F(QueryHistory, DepthDropsOldestAndANewChangeDropsRedo)
{
    const auto canUndo = counter(&history, &TQueryHistory::canUndoChanged);
    const auto canRedo = counter(&history, &TQueryHistory::canRedoChanged);
    history.SetDepth(3);
    const QString start = textOf(query);
    for (int i = 0; i < 5; ++i)
        query.AddCondition(query.Filter(), m.amount);
    EXPECT_EQ(history.UndoCount(), 3);
    while (history.Undo()) {}
    EXPECT_EQ(query.Filter()->GetRowCount(), 2) << "the two oldest steps are gone";
    EXPECT_NE(textOf(query), start);
    EXPECT_EQ(history.RedoCount(), 3);

    history.Redo();
    query.AddCondition(query.Filter(), m.custName);
    EXPECT_EQ(history.RedoCount(), 0);
    EXPECT_EQ(history.UndoCount(), 2);

    history.SetDepth(1);
    EXPECT_EQ(history.UndoCount(), 1);
    history.SetDepth(0);
    query.AddCondition(query.Filter(), m.custName);
    EXPECT_FALSE(history.CanUndo()) << "depth 0 records nothing";
    history.SetDepth(5);
    query.AddCondition(query.Filter(), m.custName);
    EXPECT_EQ(history.UndoCount(), 1);
    // Each flip once: first step, all undone, redone, emptied by depth 0, on again.
    EXPECT_EQ(*canUndo, 5);
    EXPECT_EQ(*canRedo, 2);
}

TEST_F(QueryHistory, OneHistoryPerQueryAndClearForgets)
{
    EXPECT_EQ(&TQueryHistory::Of(query), &history);
    query.AddCondition(query.Filter(), m.amount);
    history.Undo();
    history.Clear();
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(QueryHistory, AModelEditIsOneStepThatRestoresModelThenQuery)
{
    history.SetTrackModel(true);
    query.AddCondition(query.Filter(), m.custCity);
    query.AddCondition(query.Filter(), m.amount);
    const QString queryBefore = textOf(query);
    const QString modelBefore = textOf(m.model);

    // The field goes, and the row using it with it: one step for both.
    m.model.DelField(m.model.IndexOfField(m.custCity));
    EXPECT_EQ(query.Filter()->GetRowCount(), 1);
    EXPECT_EQ(history.UndoCount(), 3);
    const QString queryAfter = textOf(query);
    const QString modelAfter = textOf(m.model);

    ASSERT_TRUE(history.Undo());
    EXPECT_EQ(textOf(m.model), modelBefore);
    EXPECT_EQ(textOf(query), queryBefore);
    ASSERT_TRUE(history.Redo());
    EXPECT_EQ(textOf(m.model), modelAfter);
    EXPECT_EQ(textOf(query), queryAfter);

    // A model edit that takes nothing from the query.
    m.model.AddField(kfkVirtual, "count(*)", "Orders counted", nullptr);
    EXPECT_EQ(history.UndoCount(), 4);
    history.Undo();
    EXPECT_EQ(textOf(m.model), modelAfter);
}

TEST_F(QueryHistory, AModelThatGoesOrIsReplacedEndsTheSteps)
{
    for (bool track : {false, true}) {
        auto model = std::make_unique<fixtures::QueryModel>();
        TVxQuery own;
        own.SetDbStruct(&model->model);
        own.SetActive(true);
        TQueryHistory& steps = TQueryHistory::Of(own);
        steps.SetTrackModel(track);
        own.AddCondition(own.Filter(), model->amount);
        ASSERT_TRUE(steps.CanUndo());
        const auto state = counter(&steps, &TQueryHistory::stateChanged);
        model.reset();
        EXPECT_FALSE(steps.CanUndo()) << track;
        EXPECT_FALSE(steps.Undo()) << track;
        EXPECT_GE(*state, 1) << track;
    }
    query.AddCondition(query.Filter(), m.amount);
    fixtures::QueryModel other;
    const auto state = counter(&history, &TQueryHistory::stateChanged);
    query.SetDbStruct(&other.model);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(*state, 1);
    EXPECT_FALSE(history.Undo());
}

// The result fields panel driven as a user drives it, its list compared
// through the statement with the same columns built through the core.

#include "panels/panel_fixtures.h"

#include <brindle/designer/result_fields_editor.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/panels/titles_editor.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

using namespace brindle;

namespace {

using ::fixtures::onMenuTag;
using ::fixtures::onPopup;

class ResultFieldsPanel : public ::fixtures::FieldsPanelWindow {
protected:
    // The statement of a query over the model with these result fields.
    std::string sql(const TRFieldList& fields)
    {
        TVxQuery query;
        query.SetDbStruct(&m.model);
        query.QResult()->ResultFields().Assign(fields);
        query.BuildQuery();
        return query.QResult()->GetSQL().Text().toStdString();
    }
};

TEST_F(ResultFieldsPanel, ColumnsMadeOnThePanelGiveTheStatementTheCoreGives)
{
    EXPECT_EQ(brindle::fixtures::errorOf<ERFPanelError>([&] { panel->Activate(); }), "DBStructure is not specified");
    panel->SetDBStruct(&m.model);
    int changes = 0;
    panel->OnChange = [&](QObject*) { ++changes; };
    panel->Activate();
    EXPECT_EQ(panel->AddRowLabel()->pos(), QPoint(5, 5));
    EXPECT_EQ(panel->AddRowLabel()->Caption(), "< Click to add new field >");

    // Two columns through the add line; the second becomes the city,
    // renamed with its field, sorted descending.
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    ASSERT_EQ(panel->RowCount(), 2);
    TResultFieldRow* second = panel->Row(1);
    EXPECT_EQ(second->FieldLabel()->Caption(), m.custName->DisplayName());
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(second->FieldLabel(), Qt::LeftButton);
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(second->SortLabel(), Qt::LeftButton);
    EXPECT_EQ(second->FieldLabel()->Caption(), "City");
    EXPECT_EQ(second->SortLabel()->Caption(), "Descending");
    EXPECT_EQ(changes, 4);

    // A formula reads upper-cased around its field.
    TRFieldList& list = panel->ResultFields();
    list.Add("sum(@1) / 2", {m.amount}, "Half");
    TResultFieldRow* formula = panel->Row(2);
    ASSERT_TRUE(formula->TextLabel1() && formula->TextLabel2());
    EXPECT_EQ(formula->TextLabel1()->Caption(), "SUM(");
    EXPECT_EQ(formula->TextLabel2()->Caption(), ") / 2");
    const int height = panel->RowHeight();
    EXPECT_EQ(formula->Button()->pos(), QPoint(5, 2 * (3 + height) + 5));
    EXPECT_EQ(formula->TextLabel1()->x(), 5 + 5 + formula->Button()->width());
    EXPECT_EQ(formula->FieldLabel()->x(), formula->TextLabel1()->geometry().right() + 1 + 5);
    EXPECT_EQ(panel->AddRowLabel()->y(), formula->Button()->y() + height + 3 + 2);

    TRFieldList reference(&m.model);
    reference.SetJustSorting(false);
    reference.Add("@1", {m.custName}, m.custName->DisplayName());
    reference.Add("@1", {m.custCity}, "City");
    reference.GetRField(1)->SetSorting(stDescending);
    reference.Add("sum(@1) / 2", {m.amount}, "Half");
    EXPECT_EQ(sql(list), sql(reference));
    // Through the editor and back, the columns stay what they were.
    TdlgRFieldsEditor editor;
    editor.SetDBStructure(&m.model);
    editor.Load(list);
    TRFieldList back(&m.model);
    editor.Save(back);
    panel->SetResultFields(back);
    EXPECT_EQ(panel->RowCount(), 3);
    EXPECT_EQ(sql(list), sql(reference));

    // Sorted columns moved past each other swap their sort positions.
    list.GetRField(2)->SetSorting(stAscending);
    EXPECT_EQ(list.GetRField(2)->SortOrder(), 2);
    bool upEnabled = true;
    bool downEnabled = false;
    onPopup({Qt::Key_Escape}, [&](QWidget* menu) {
        for (QAction* action : menu->actions()) {
            upEnabled = action->data().toInt() == 3 ? action->isEnabled() : upEnabled;
            downEnabled = action->data().toInt() == 4 ? action->isEnabled() : downEnabled;
        }
    });
    QTest::mouseClick(panel->Row(2)->Button(), Qt::LeftButton);
    EXPECT_TRUE(upEnabled);
    EXPECT_FALSE(downEnabled);
    onMenuTag(3);
    QTest::mouseClick(panel->Row(2)->Button(), Qt::LeftButton);
    EXPECT_EQ(list.GetRField(1)->Caption(), "Half");
    EXPECT_EQ(list.GetRField(1)->SortOrder(), 1);
    EXPECT_EQ(list.GetRField(2)->SortOrder(), 2);
    EXPECT_EQ(panel->Row(1)->Button()->Caption(), "2");
    onMenuTag(2);
    QTest::mouseClick(panel->Row(0)->Button(), Qt::LeftButton);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(panel->RowCount(), 2);
    EXPECT_EQ(panel->Row(0)->Button()->pos().y(), 5);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(ResultFieldsPanel, BadModelsListsAndHandlersLeaveTheListWhole)
{
    // An empty model adds nothing.
    TVxDBStructure empty;
    panel->SetDBStruct(&empty);
    panel->Activate();
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    EXPECT_EQ(errors, QStringList{"Structure is empty"});
    EXPECT_EQ(panel->ResultFields().Count(), 0);

    // Texts without a field mark, a mark for a field it lacks and a very
    // long caption show as texts; a field the model drops takes its column.
    panel->SetDBStruct(&m.model);
    panel->Activate();
    TRFieldList given(&m.model);
    given.Add("count(*)", {}, "Rows");
    given.Add("@9", {m.custCity}, QString(10000, u'c'));
    given.Add("@1", {m.status}, "Status");
    panel->SetResultFields(given);
    ASSERT_EQ(panel->RowCount(), 3);
    EXPECT_EQ(panel->Row(0)->TextLabel1()->Caption(), "COUNT(*)");
    EXPECT_EQ(panel->Row(0)->FieldLabel(), nullptr);
    EXPECT_EQ(panel->Row(1)->TextLabel1()->Caption(), "@9");
    m.model.DelField(m.model.IndexOfField(m.status));
    EXPECT_EQ(panel->RowCount(), 2);
    EXPECT_EQ(panel->ResultFields().Count(), 2);

    // A throwing host hears each change once and the list keeps it.
    errors.clear();
    panel->OnChange = [](QObject*) { throw Exception("host failed"); };
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    EXPECT_EQ(errors, QStringList{"host failed"});
    EXPECT_EQ(panel->ResultFields().Count(), 3);
    EXPECT_EQ(panel->RowCount(), 3);

    // The panel forgets a model that is freed.
    {
        TVxDBStructure brief;
        panel->SetDBStruct(&brief);
    }
    EXPECT_EQ(panel->DBStruct(), nullptr);
    EXPECT_EQ(panel->RowCount(), 0);
}

TEST_F(ResultFieldsPanel, TheTitlesEditorChangesAndResetsTexts)
{
    panel->SetDBStruct(&m.model);
    panel->Activate();
    for (bool accept : {false, true}) {
        QTimer::singleShot(0, [accept] {
            auto* dialog = qobject_cast<TdlgTitlesEditor*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            QTableWidget* table = dialog->Table();
            ASSERT_EQ(table->rowCount(), 7);
            EXPECT_EQ(table->item(6, 1)->text(), "Click to add new field");
            table->item(6, 2)->setText("Add a column");
            table->item(0, 2)->setText("Drop it");
            EXPECT_FALSE(dialog->ResetButton()->isEnabled()) << "nothing chosen to reset";
            // One click on the first title's text: only that title goes back.
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0, 2)).center());
            QTest::mouseClick(dialog->ResetButton(), Qt::LeftButton);
            EXPECT_EQ(table->item(0, 2)->text(), table->item(0, 1)->text());
            accept ? dialog->accept() : dialog->reject();
        });
        EXPECT_EQ(panel->EditTitles(), accept);
    }
    EXPECT_EQ(panel->AddRowLabel()->Caption(), "< Add a column >");
    EXPECT_EQ(panel->GetTitle("ttlDelField"), "Delete current field");
}



// Bound to a query, the panel edits the query's own columns: the query
// hears of each edit, and the panel goes back to a list of its own when
// the query goes.
TEST_F(ResultFieldsPanel, BoundToAQueryThePanelEditsItsColumns)
{
    auto query = std::make_unique<TVxQuery>();
    query->SetDbStruct(&m.model);
    query->QResult()->ResultFields().Add("@1", {m.custName}, "Name");
    panel->BindQuery(query.get());
    EXPECT_EQ(panel->DBStruct(), &m.model);
    panel->Activate();
    ASSERT_EQ(panel->RowCount(), 1);
    int changed = 0;
    QObject::connect(query.get(), &TVxQuery::changed, panel, [&] { ++changed; });
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    EXPECT_EQ(query->QResult()->ResultFields().Count(), 2);
    EXPECT_EQ(panel->RowCount(), 2);
    EXPECT_GE(changed, 1);
    query->QResult()->ResultFields().Delete(0);
    EXPECT_EQ(panel->RowCount(), 1) << "an edit through the query shows on the panel";

    query.reset();
    EXPECT_EQ(panel->BoundQuery(), nullptr);
    EXPECT_EQ(panel->RowCount(), 0);
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    EXPECT_EQ(panel->ResultFields().Count(), 1) << "the panel's own list again";
}

// A long list: only rows near the viewport have controls, scrolling gives
// the far ones theirs, and a choice there reaches the column in the list.
TEST_F(ResultFieldsPanel, FarRowsGetControlsWhenScrolledNear)
{
    panel->SetDBStruct(&m.model);
    TRFieldList given(&m.model);
    for (int i = 0; i < 300; ++i)
        given.Add("@1", {m.custName}, QStringLiteral("Name%1").arg(i));
    panel->SetResultFields(given);
    panel->Activate();
    ASSERT_EQ(panel->RowCount(), 300);
    EXPECT_TRUE(panel->Row(0)->Button() && panel->Row(0)->SortLabel());
    EXPECT_EQ(panel->Row(299)->Button(), nullptr);
    EXPECT_EQ(panel->Row(299)->SortLabel(), nullptr);
    const int step = panel->RowHeight() + 3;
    EXPECT_GE(panel->Surface()->minimumHeight(), 300 * step);
    EXPECT_EQ(panel->AddRowLabel()->y(), 299 * step + 5 + panel->RowHeight() + 3 + 2);

    panel->verticalScrollBar()->setValue(panel->verticalScrollBar()->maximum());
    TResultFieldRow* last = panel->Row(299);
    ASSERT_TRUE(last->SortLabel());
    EXPECT_EQ(panel->Row(0)->Button(), nullptr);
    EXPECT_EQ(last->Button()->pos(), QPoint(5, 299 * step + 5));
    EXPECT_EQ(last->Button()->Caption(), "300");
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(last->SortLabel(), Qt::LeftButton);
    EXPECT_EQ(panel->ResultFields().GetRField(299)->Sorting(), stAscending);
    EXPECT_EQ(last->SortLabel()->Caption(), "Ascending");
    // Changed in the list, the column shows the change in its word.
    panel->ResultFields().AcceptWordValue(299, wrField, m.custCity->IDText());
    EXPECT_EQ(last->FieldLabel()->Caption(), "City");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

} // namespace

// The host empties the list while a column's word has its menu open: the
// row goes at once, its word only once the menu has closed.
TEST_F(ResultFieldsPanel, AListEmptiedUnderAnOpenWordMenuLeavesTheChoiceUnapplied)
{
    panel->SetDBStruct(&m.model);
    panel->Activate();
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    ASSERT_EQ(panel->RowCount(), 1);
    for (auto word : {&TResultFieldRow::FieldLabel, &TResultFieldRow::SortLabel}) {
        if (panel->RowCount() == 0)
            QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
        TDropDownLabel* label = (panel->Row(0)->*word)();
        onPopup({Qt::Key_Down, Qt::Key_Return}, [this](QWidget*) { panel->ClearAll(); });
        QTest::mouseClick(label, Qt::LeftButton);
        EXPECT_EQ(panel->RowCount(), 0);
        EXPECT_EQ(panel->ResultFields().Count(), 0);
    }
}

namespace {

// Columns made, chosen, moved and deleted with the keyboard alone.
TEST_F(ResultFieldsPanel, TheKeyboardAloneEditsTheColumns)
{
    panel->SetDBStruct(&m.model);
    panel->Activate();
    TRFieldList start(&m.model);
    start.Add("@1", {m.amount}, "Amount");
    panel->SetResultFields(start);
    auto* edit = new QLineEdit(&window);
    edit->show();
    edit->setFocus();
    ASSERT_EQ(panel->CurrentRow(), nullptr);

    // Tab shows the current row and its selected word at once.
    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_TRUE(panel->hasFocus());
    ASSERT_EQ(panel->CurrentRow(), panel->Row(0));
    EXPECT_EQ(panel->SelectedLabel(), panel->Row(0)->FieldLabel());

    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(panel, key, modifiers);
    };
    press(Qt::Key_Insert);
    ASSERT_EQ(panel->RowCount(), 2);
    ASSERT_EQ(panel->CurrentRow(), panel->Row(1));
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    press(Qt::Key_Return);
    press(Qt::Key_Right);
    EXPECT_EQ(panel->SelectedLabel(), panel->Row(1)->SortLabel());
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    press(Qt::Key_Space);
    TRFieldList& list = panel->ResultFields();
    EXPECT_EQ(list.GetRField(1)->Caption(), "City");
    EXPECT_EQ(list.GetRField(1)->Sorting(), stDescending);

    // The row moves up and stays current; Down then Delete removes the other.
    press(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(list.GetRField(0)->Caption(), "City");
    EXPECT_EQ(panel->CurrentRow(), panel->Row(0));
    press(Qt::Key_Down, Qt::ControlModifier);
    press(Qt::Key_Up, Qt::ControlModifier);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(panel->CurrentRow(), panel->Row(1));
    press(Qt::Key_Delete);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(panel->CurrentRow(), panel->Row(0));
    press(Qt::Key_Up);
    EXPECT_EQ(panel->CurrentRow(), panel->Row(0));

    TRFieldList reference(&m.model);
    reference.Add("@1", {m.custCity}, "City");
    reference.GetRField(0)->SetSorting(stDescending);
    EXPECT_EQ(sql(list), sql(reference));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

} // namespace

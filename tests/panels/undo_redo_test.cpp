// Undo and redo from the keyboard: both panels over one query share its
// history, and an open word editor keeps Ctrl+Z for its own typing.

#include "panels/panel_fixtures.h"

#include <brindle/panels/result_fields_panel.h>
#include <brindle/query/query_history.h>

#include <QLineEdit>
#include <QSignalSpy>

using namespace brindle;
using ::fixtures::onPopup;

namespace {

class UndoRedo : public ::fixtures::PanelWindow {
protected:
    void SetUp() override
    {
        PanelWindow::SetUp();
        panel->SetActive(true);
    }
    QString text()
    {
        TStringList lines;
        panel->Query().SaveToStrings(lines);
        return lines.Text();
    }
    void key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        target->setFocus();
        QTest::keyClick(target, key, modifiers);
    }
};

} // namespace

TEST_F(UndoRedo, KeysUndoAndRedoWhatTheMouseDid)
{
    QSignalSpy state(panel, &TSentenceRows::undoStateChanged);
    const QString empty = text();
    onPopup({Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    ASSERT_EQ(panel->Query().Filter()->GetRowCount(), 1);
    const QString added = text();
    TFilterRow* row = panel->Query().Filter()->GetRow(0);
    const TDSField* firstField = static_cast<TSimpleCond*>(row)->Field();

    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(panel->GetRowControl(row, 1), Qt::LeftButton);
    ASSERT_NE(static_cast<TSimpleCond*>(panel->Query().Filter()->GetRow(0))->Field(), firstField);
    const QString picked = text();
    EXPECT_TRUE(panel->CanUndo());
    EXPECT_FALSE(panel->CanRedo());

    struct Press {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const QString& expected;
    };
    const Press presses[] = {
        {Qt::Key_Z, Qt::ControlModifier, added},
        {Qt::Key_Z, Qt::ControlModifier, empty},
        {Qt::Key_Z, Qt::ControlModifier, empty},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, added},
        {Qt::Key_Y, Qt::ControlModifier, picked},
        {Qt::Key_Y, Qt::ControlModifier, picked},
    };
    for (const Press& press : presses) {
        key(panel, press.key, press.modifiers);
        EXPECT_EQ(text(), press.expected);
    }
    EXPECT_FALSE(panel->CanRedo());
    EXPECT_GE(state.count(), 4);
    panel->Query().BuildQuery();
    EXPECT_TRUE(panel->Query().QResult()->GetSQL().Text().contains("WHERE"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(UndoRedo, AnOpenEditorUndoesItsOwnTyping)
{
    TSimpleCond* cond = brindle::fixtures::addCondition(panel->Query(), panel->Query().Filter(), m.amount, m.op("Equal"), "5");
    const QString before = text();
    QTest::mouseClick(panel->GetRowControl(cond, 3), Qt::LeftButton);
    auto* edit = qobject_cast<QLineEdit*>(panel->GetRowControl(cond, 3)->EditControl());
    ASSERT_TRUE(edit);
    edit->selectAll();
    QTest::keyClicks(edit, "42");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), "5") << "the editor's own undo, though a number word takes digits only";
    EXPECT_EQ(text(), before) << "the query is as it was";
    edit->selectAll();
    QTest::keyClicks(edit, "59");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(cond->GetValue(1), "59");
    key(panel, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(text(), before);
}

TEST_F(UndoRedo, BothPanelsOverOneQueryShareItsHistory)
{
    auto* columns = new TVxResultFieldsPanel(&window);
    columns->BindQuery(&panel->Query());
    columns->Activate();
    columns->show();
    EXPECT_EQ(columns->History(), panel->History());
    columns->SetUndoDepth(2);
    EXPECT_EQ(panel->UndoDepth(), 2);

    const QString start = text();
    QTest::mouseClick(columns->AddRowLabel(), Qt::LeftButton);
    ASSERT_EQ(panel->Query().QResult()->ResultFields().Count(), 1);
    EXPECT_EQ(panel->History()->UndoCount(), 1) << "adding a column is one change";
    EXPECT_TRUE(panel->CanUndo());
    key(panel, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(panel->Query().QResult()->ResultFields().Count(), 0);
    EXPECT_EQ(columns->RowCount(), 0);
    EXPECT_EQ(text(), start);
    key(columns, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(columns->RowCount(), 1);

    columns->BindQuery(nullptr);
    EXPECT_FALSE(columns->CanUndo()) << "the panel's own list has no history";
    EXPECT_FALSE(columns->Undo());
}

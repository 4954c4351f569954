// The query panel over the query fixture model: activation, the layout
// arithmetic, and choices made on the panel agreeing with the same tree
// built through the query's own calls.

#include "panels/panel_fixtures.h"

#include <brindle/designer/result_fields_editor.h>

#include <brindle/foundations/errors.h>
#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/fields_tree.h>
#include <brindle/panels/titles_editor.h>

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QTreeView>

using namespace brindle;

namespace {

using ::fixtures::onMenuTag;
using ::fixtures::onPopup;

using Panel = ::fixtures::PanelWindow;

TEST_F(Panel, ActivationNeedsAModelAndShowsTheRootSentence)
{
    TVxQueryPanel lone(&window);
    EXPECT_EQ(brindle::fixtures::errorOf<EVxQueryPanelError>([&] { lone.SetActive(true); }),
              "3: DBStruct is not specified");
    EXPECT_FALSE(lone.Active());

    // Counted where the panel can still reach it after a failed assertion
    // below, when the fixture's model goes and deactivates the panel.
    auto changes = std::make_shared<int>(0);
    panel->OnActive = [changes](QObject*) { ++*changes; };
    panel->SetActive(true);
    EXPECT_EQ(*changes, 1);
    TFilterBracket* root = panel->Query().Filter();
    TFilterBtn* button = panel->RowButton(root);
    ASSERT_TRUE(button);
    // An empty square at the header corner, then the sentence.
    EXPECT_EQ(button->pos(), QPoint(5, 5));
    EXPECT_EQ(button->width(), button->height());
    EXPECT_EQ(button->height(), panel->GetRowHeight());
    EXPECT_EQ(panel->GetRowControl(root, 1)->Caption(), "Choose records where");
    EXPECT_EQ(panel->GetRowControl(root, 2)->Caption(), "all");
    EXPECT_EQ(panel->GetRowControl(root, 1)->x(), 5 + button->width() + 5);
    EXPECT_EQ(panel->GetRowControl(root, 2)->x(), panel->GetRowControl(root, 1)->geometry().right() + 1 + 5);
    EXPECT_EQ(panel->AddRowLabel()->Caption(), "< Click here to add new condition >");
    panel->SetActive(false);
    EXPECT_EQ(*changes, 2);
    EXPECT_EQ(panel->RowButton(root), nullptr);
}

// What a host sets up before activating shows on the root row.
TEST_F(Panel, SettingsMadeBeforeActivationShowOnTheRootRow)
{
    panel->Appearance().SetLinkTypes({fltAll, fltAny});
    panel->Query().SetTitle("ttlFilter", "Show rows where @ of these hold");
    panel->SetActive(true);
    TFilterBracket* root = panel->Query().Filter();
    EXPECT_EQ(panel->GetRowControl(root, 1)->Caption(), "Show rows where");
    auto* linkType = qobject_cast<TDropDownPopup*>(panel->GetRowControl(root, 2));
    ASSERT_TRUE(linkType);
    QStringList offered;
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, [&](QWidget*) {
        for (int i = 0; i < linkType->Menu()->Items().Count(); ++i)
            offered << linkType->Menu()->Items().Items(i)->Caption;
    });
    QTest::mouseClick(linkType, Qt::LeftButton);
    EXPECT_EQ(offered, QStringList({"all", "any"}));
    EXPECT_EQ(root->LinkType(), fltAny);
    EXPECT_EQ(panel->Query().GetQueryText().Text().trimmed(), "Show rows where any of these hold");
}

TEST_F(Panel, RowsIndentByLevelAndFollowTheirSlots)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    TFilterCond* first = query.AddCondition(query.Filter(), m.custCity);
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    // A new bracket comes with a condition of its own.
    auto* inner = static_cast<TFilterCond*>(bracket->GetRow(0));
    TFilterBtn* rootButton = panel->RowButton(query.Filter());
    const int step = panel->RowButton(first)->height() + 3 + panel->RowSpace();
    EXPECT_EQ(panel->RowButton(first)->pos(), QPoint(5 + 20, 5 + step));
    EXPECT_EQ(panel->RowButton(first)->Caption(), "1");
    EXPECT_EQ(panel->RowButton(inner)->pos(), QPoint(5 + 40, 5 + 3 * step));
    EXPECT_EQ(panel->RowButton(inner)->Caption(), "2.1");
    EXPECT_TRUE(panel->RowCheckBox(first)->isVisible());
    EXPECT_EQ(panel->RowCheckBox(first)->x(), 5);
    EXPECT_EQ(panel->RowCheckBox(query.Filter()), nullptr);
    // A bracket's empty text before its word takes no gap.
    EXPECT_EQ(panel->GetRowControl(bracket, 2)->x(), panel->RowButton(bracket)->geometry().right() + 1 + 5);
    // The add-row line stands under the last row, at its button's left.
    EXPECT_EQ(panel->AddRowLabel()->x(), panel->RowButton(inner)->x());
    EXPECT_EQ(panel->AddRowLabel()->y(), panel->GetRowRect(inner).bottom() + 1 + panel->RowSpace() + 2);
    Q_UNUSED(rootButton);

    // Removing a row moves the rest up once it is gone.
    query.Filter()->DeleteRow(first->GetIndex());
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->RowButton(bracket)->pos(), QPoint(5 + 20, 5 + step));
    EXPECT_EQ(panel->RowButton(first), nullptr);
}

// Rows the model takes away renumber the rows after them on screen.
TEST_F(Panel, RowsLeftByAModelRemovalShowTheirNewNumbers)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    query.AddCondition(query.Filter(), m.custCity);
    TFilterBracket* bracket = query.AddBracket(query.Filter());
    auto* inner = static_cast<TFilterCond*>(bracket->GetRow(0));
    QCoreApplication::processEvents();
    ASSERT_EQ(panel->RowButton(inner)->Caption(), "2.1");
    m.model.DelField(m.model.IndexOfField(m.custCity));
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->RowButton(bracket)->Caption(), "1");
    EXPECT_EQ(panel->RowButton(inner)->Caption(), "1.1");
}

// The host remakes the rows while a word's menu is open: the entry the
// user then picks belonged to a word that is gone, and nothing is chosen.
TEST_F(Panel, AChoiceInTheMenuOfAWordTheHostRemadeIsDropped)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    query.AddCondition(query.Filter(), m.custCity);
    QCoreApplication::processEvents();
    const auto remakes = {std::function<void()>([&] { query.ClearAll(); }), std::function<void()>([&] {
                              TQPAppearanceOptions options = panel->Appearance().Options();
                              options.Include(aoShowGroupRows);
                              panel->Appearance().SetOptions(options);
                          })};
    for (const std::function<void()>& remake : remakes) {
        onPopup({Qt::Key_Down, Qt::Key_Return}, [&](QWidget*) { remake(); });
        QTest::mouseClick(panel->GetRowControl(query.Filter(), 2), Qt::LeftButton);
        QCoreApplication::processEvents();
        EXPECT_EQ(query.Filter()->LinkType(), fltAll);
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(Panel, OnlyRowsNearTheViewportHaveControls)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    for (int i = 0; i < 300; ++i)
        query.AddCondition(query.Filter(), m.custCity);
    TFilterRow* first = query.Filter()->GetRow(0);
    TFilterRow* last = query.Filter()->GetLastRow();
    EXPECT_TRUE(panel->RowButton(first));
    EXPECT_EQ(panel->RowButton(last), nullptr);
    // The surface is as tall as all the rows with the add-row line under them.
    EXPECT_EQ(panel->Surface()->minimumHeight(), panel->AddRowLabel()->geometry().bottom() + panel->HeaderTop());

    // Walking down to the last row scrolls it into view and gives it its words.
    panel->SetCurrentRowNum(299);
    panel->setFocus();
    QTest::keyClick(panel, Qt::Key_Down);
    ASSERT_EQ(panel->CurrentRow(), last);
    ASSERT_TRUE(panel->GetRowControl(last, 3));
    const QRect shown(panel->Surface()->mapTo(panel->viewport(), panel->GetRowControl(last, 3)->pos()),
                      panel->GetRowControl(last, 3)->size());
    EXPECT_TRUE(panel->viewport()->rect().contains(shown));
    EXPECT_EQ(panel->RowButton(first), nullptr);
    EXPECT_EQ(panel->RowButton(last)->pos().y(), panel->GetRowRect(last).top() + 2);

    // A value typed on the far row is the query's.
    QTest::mouseClick(panel->GetRowControl(last, 3), Qt::LeftButton);
    auto* edit = qobject_cast<QLineEdit*>(panel->GetRowControl(last, 3)->EditControl());
    ASSERT_TRUE(edit);
    QTest::keyClicks(edit, "Bonn");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(static_cast<TFilterCond*>(last)->GetValue(1), "Bonn");

    // Back at the top, the rows there have their controls again.
    panel->verticalScrollBar()->setValue(0);
    EXPECT_TRUE(panel->RowButton(first));
    EXPECT_TRUE(panel->GetRowControl(last, 3));
}

TEST_F(Panel, HiddenButtonsHiddenRootAndRightToLeft)
{
    TVxQuery& query = panel->Query();
    panel->Appearance().SetOptions(panel->Appearance().Options() + TQPAppearanceOptions{aoHideRowButtons, aoHideRootRow});
    panel->SetActive(true);
    // Nothing but the add-row line, just under the header.
    EXPECT_EQ(panel->AddRowLabel()->y(), panel->HeaderTop() + 2);
    TFilterCond* cond = query.AddCondition(query.Filter(), m.custCity);
    EXPECT_FALSE(panel->RowButton(cond)->isVisible());
    EXPECT_FALSE(panel->GetRowControl(query.Filter(), 1)->isVisible());
    // With the root hidden the first child takes the first slot.
    EXPECT_EQ(panel->GetRowControl(cond, 1)->pos(), QPoint(5 + 20 + 5, 5));
    // The add-row line keeps to the row's place though its button is hidden.
    EXPECT_EQ(panel->AddRowLabel()->pos(), QPoint(5 + 20, panel->GetRowRect(cond).bottom() + 1 + panel->RowSpace() + 2));

    panel->setLayoutDirection(Qt::RightToLeft);
    const int client = panel->viewport()->width();
    TDropDownLabel* field = panel->GetRowControl(cond, 1);
    EXPECT_EQ(field->x() + field->width(), client - (5 + 20) - 5 - 5);
    EXPECT_EQ(panel->RowCheckBox(cond)->x() + panel->RowCheckBox(cond)->width(), client - 5 - 5);
}

TEST_F(Panel, TheEnableCheckBoxAndRefreshKeepTheQuery)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    TFilterCond* cond = query.AddCondition(query.Filter(), m.custCity);
    cond->SetValue(1, QStringLiteral("Cork"));
    QTest::mouseClick(panel->RowCheckBox(cond), Qt::LeftButton);
    EXPECT_FALSE(cond->GetEnabled());
    EXPECT_FALSE(panel->GetRowControl(cond, 1)->isEnabled());

    // Rebuilding goes through the query's text: the same statement, and
    // from the first rebuild on (which merges the titles) the same text.
    const auto before = outcome(query);
    panel->RefreshPanel();
    const auto once = outcome(query);
    EXPECT_EQ(once.first, before.first);
    panel->RefreshPanel();
    EXPECT_EQ(outcome(query), once);
    // A new appearance rebuilds the rows from the same query.
    panel->Appearance().SetLogOpStyle(losAfterCond);
    EXPECT_EQ(panel->Appearance().Style(), psAndOr);
    EXPECT_EQ(query.Filter()->GetRowCount(), 1);
    // After the conditions, every one but the panel's last says how it joins the next.
    TFilterRow* first = query.Filter()->GetRow(0);
    TFilterCond* last = query.AddCondition(query.Filter(), m.custName);
    ASSERT_TRUE(panel->GetRowControl(first, 9));
    EXPECT_TRUE(panel->GetRowControl(first, 9)->isVisible());
    EXPECT_EQ(panel->GetRowControl(first, 9)->Caption(), "and");
    EXPECT_TRUE(!panel->GetRowControl(last, 9) || !panel->GetRowControl(last, 9)->isVisible());
}


// Input a host or a model may hand the panel: each leaves a panel that
// still shows the query and a query whose statement still builds.
TEST_F(Panel, HostileInputLeavesAWorkingPanel)
{
    TVxQuery& query = panel->Query();
    panel->SetActive(true);
    query.AddCondition(query.Filter(), m.custCity);
    const auto before = outcome(query);
    // Titles without "@" have no place for the link type word: the root's
    // is refused when the root is made anew and the tree stays as it was, a
    // bracket's when a bracket is added.
    query.SetTitle("ttlFilter", "Every record");
    query.SetTitle("ttlBracket", "Group");
    EXPECT_EQ(brindle::fixtures::errorOf<EVxQueryPanelError>([&] { panel->RefreshPanel(); }),
              "4: Invalid filter title");
    EXPECT_TRUE(panel->Active());
    EXPECT_TRUE(panel->RowButton(query.Filter()->GetRow(0)));
    EXPECT_EQ(outcome(query).first, before.first);
    onMenuTag(12); // a new bracket
    QTest::mouseClick(panel->RowButton(query.Filter()), Qt::LeftButton);
    EXPECT_EQ(errors, QStringList{"Invalid string format"});
    EXPECT_EQ(outcome(query).first, before.first);
    query.SetTitles(DefaultTitles());
    errors.clear();
    query.Filter()->DeleteRow(0);
    QCoreApplication::processEvents();

    // A value of 100,000 characters stays inside its literal; its editor
    // keeps what the field's size allows.
    TFilterCond* cond = query.AddCondition(query.Filter(), m.custName);
    const QString huge = u'\'' + QString(100000, u'x');
    const auto literal = [](const QString& text) { return ("'''" + text.mid(1) + "'").toStdString(); };
    cond->SetValue(1, huge);
    EXPECT_NE(outcome(query).first.find(literal(huge)), std::string::npos);
    TDropDownLabel* value = panel->GetRowControl(cond, 3);
    QTest::mouseClick(value, Qt::LeftButton);
    ASSERT_TRUE(value->EditControl());
    QTest::keyClick(value->EditControl(), Qt::Key_Return);
    EXPECT_EQ(cond->GetValue(1), huge.left(40));
    EXPECT_NE(outcome(query).first.find(literal(huge.left(40))), std::string::npos);

    // A field the model drops takes its rows with it.
    TFilterCond* city = query.AddCondition(query.Filter(), m.custCity);
    m.model.DelField(m.model.IndexOfField(m.custCity));
    QCoreApplication::processEvents();
    EXPECT_EQ(query.Filter()->GetRowCount(), 1);
    EXPECT_EQ(panel->RowButton(city), nullptr);
    EXPECT_NO_THROW(outcome(query));

    // Without a field that has operators the main menu stays shut and the
    // add-row line adds nothing.
    for (int i = 0; i < m.model.FieldCount(); ++i)
        m.model.Fields(i)->ClearOperators();
    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoFieldsMenuOnAdd});
    QTest::mouseClick(panel->RowButton(query.Filter()), Qt::LeftButton);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    EXPECT_NO_THROW(outcome(query));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}


// A condition made with the keyboard alone, and what a screen reader hears
// of it: the row by its sentence, each word by its caption and role.
TEST_F(Panel, KeyboardAloneBuildsARowThatReadsAsItsSentence)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    panel->setFocus();
    QTest::keyClick(panel, Qt::Key_Insert);
    ASSERT_EQ(query.Filter()->GetRowCount(), 1);
    auto* cond = static_cast<TSimpleCond*>(query.Filter()->GetRow(0));
    ASSERT_EQ(panel->CurrentRow(), cond);
    const auto press = [&](Qt::Key key) { QTest::keyClick(panel, key); };
    while (panel->CurrentControlIndex() < 2)
        press(Qt::Key_Right);
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    press(Qt::Key_Return);
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    auto* edit = qobject_cast<QLineEdit*>(panel->GetRowControl(cond, 3)->EditControl());
    ASSERT_TRUE(edit);
    QTest::keyClicks(edit, "Paris");
    QTest::keyClick(edit, Qt::Key_Return);

    auto* expected = static_cast<TSimpleCond*>(reference.AddCondition(reference.Filter(), nullptr));
    expected->SetOperator(expected->Field()->Operators(1));
    expected->SetValue(1, "Paris");
    EXPECT_EQ(outcome(query), outcome(reference));

    const QString sentence = query.RowText(cond).trimmed();
    EXPECT_TRUE(sentence.contains("Paris")) << sentence.toStdString();
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(panel->RowButton(cond));
    EXPECT_EQ(row->role(), QAccessible::Button);
    EXPECT_EQ(row->text(QAccessible::Name), sentence);
    struct Word { int index; QAccessible::Role role; QString name; };
    for (const Word& w : {Word{1, QAccessible::ComboBox, cond->Field()->DisplayName()},
                          Word{2, QAccessible::ComboBox, cond->Operator()->DisplayName()},
                          Word{3, QAccessible::EditableText, "Paris"}}) {
        QAccessibleInterface* word = QAccessible::queryAccessibleInterface(panel->GetRowControl(cond, w.index));
        EXPECT_EQ(word->role(), w.role) << w.index;
        EXPECT_EQ(word->text(QAccessible::Name), w.name) << w.index;
        EXPECT_EQ(word->text(QAccessible::Description), sentence) << w.index;
    }
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(panel->GetRowControl(query.Filter(), 1));
    EXPECT_EQ(text->role(), QAccessible::StaticText);
    EXPECT_TRUE(text->actionInterface()->actionNames().isEmpty());
    // Pressing a word opens it as a click would.
    QAccessibleInterface* link = QAccessible::queryAccessibleInterface(panel->GetRowControl(query.Filter(), 2));
    bool opened = false;
    onPopup({Qt::Key_Escape}, [&](QWidget*) { opened = true; });
    link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(opened);
}


// A value word's label follows its field's type and editor and its
// operator's value kind; the host may hand the panel another word.
TEST_F(Panel, ValueLabelsByFieldOperatorAndHost)
{
    TDSOperator* inQuery = m.model.Operators(m.model.AddOperator("InQuery", "is in", "@f in (@1)", "", BrStringTypes));
    inQuery->SetValueKind(vkSubQuery);
    m.custName->AddOperator(inQuery);
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    struct Case { TDSField* field; const char* op; const char* label; };
    const auto check = [&](const Case& c) {
        TFilterCond* cond = brindle::fixtures::addCondition(query, query.Filter(), c.field, m.op(c.op));
        EXPECT_STREQ(panel->GetRowControl(cond, 3)->metaObject()->className(), c.label)
            << c.field->DisplayName().toStdString() << ' ' << c.op;
    };
    for (const Case& c : {Case{m.custName, "Equal", "brindle::TDropDownEdit"},
                          Case{m.amount, "Equal", "brindle::TDropDownEdit"},
                          Case{m.orderDate, "Equal", "brindle::TDropDownDateTimeEdit"},
                          Case{m.paid, "Equal", "brindle::TDropDownPopup"},
                          Case{m.status, "Equal", "brindle::TDropDownPopup"},
                          Case{m.status, "InList", "brindle::TDropDownCheckListBox"},
                          Case{m.custName, "InQuery", "brindle::TDropDownLabel"}})
        check(c);
    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoPopupValue});
    check({m.paid, "Equal", "brindle::TDropDownListBox"});

    query.OnElementCreate = [&](TFilterCond* cond, int, std::unique_ptr<TQueryWord>& element) {
        if (static_cast<TSimpleCond*>(cond)->Field() == m.orderDate)
            element = std::make_unique<TQueryWord>(weEdit);
    };
    check({m.orderDate, "Equal", "brindle::TDropDownEdit"});
}


// The result fields editor opened from the panel: what OK saves, Cancel
// keeps and the modeless dialog hands back on closing.
TEST_F(Panel, TheResultFieldsEditorEditsTheQuerysColumns)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    query.QResult()->ResultFields().Add("@1", {m.custCity}, "City");
    const auto addSum = [&](TdlgRFieldsEditor& dialog) {
        const FieldsTreeModel* fields = dialog.FieldsModel();
        for (const QModelIndex& node : fields->match(fields->index(0, 0), Qt::DisplayRole, "Amount", -1, Qt::MatchRecursive))
            dialog.FieldsTree()->setCurrentIndex(node);
        onMenuTag(rfaSum);
        QTest::mouseClick(dialog.AddButton(), Qt::LeftButton);
    };
    for (bool accept : {false, true}) {
        QTimer::singleShot(0, [&, accept] {
            auto* dialog = qobject_cast<TdlgRFieldsEditor*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            EXPECT_TRUE(dialog->Options().Contains(rfdShowSorting));
            addSum(*dialog);
            QTest::mouseClick(accept ? dialog->OkButton() : dialog->CancelButton(), Qt::LeftButton);
        });
        EXPECT_EQ(panel->EditQResult(), accept);
        EXPECT_EQ(query.QResult()->ResultFields().Count(), accept ? 2 : 1);
    }
    TRFieldList& expected = reference.QResult()->ResultFields();
    expected.Add("@1", {m.custCity}, "City");
    expected.Add("SUM(@1)", {m.amount}, "Amount Sum");
    EXPECT_EQ(outcome(query), outcome(reference));

    // Left open, the dialog saves on OK and tells the host it closed.
    int closed = 0;
    panel->OnResultFieldsDlgClose = [&](QObject*) { ++closed; };
    TdlgRFieldsEditor* dialog = panel->ShowResultFieldsDlgAsync(1, {});
    ASSERT_TRUE(dialog && dialog->isVisible());
    addSum(*dialog);
    EXPECT_EQ(query.QResult()->ResultFields().Count(), 2);
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(closed, 1);
    ASSERT_EQ(query.QResult()->ResultFields().Count(), 1);
    EXPECT_EQ(query.QResult()->ResultFields().GetRField(0)->Formula(), "SUM(@1)");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}


// Texts edited in the titles editor show at once and keep the query.
TEST_F(Panel, EditedTitlesShowOnThePanel)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    query.AddCondition(query.Filter(), m.custCity);
    const auto before = outcome(query).first;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TdlgTitlesEditor*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        QTableWidget* table = dialog->Table();
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == "ttlAll")
                table->item(row, 2)->setText("every one");
        dialog->accept();
    });
    EXPECT_TRUE(panel->EditTitles());
    EXPECT_EQ(panel->GetRowControl(query.Filter(), 2)->Caption(), "every one");
    EXPECT_EQ(outcome(query).first, before);
}

} // namespace

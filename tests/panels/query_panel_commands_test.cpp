// The query panel's commands driven as a user drives them (row menus, the
// keyboard, clicks on words, boxes and the background), each ending in the
// statement and text the query's own calls give.

#include "panels/panel_fixtures.h"

#include <brindle/panels/query_panel.h>

#include <QKeySequence>
#include <QMenu>
#include <QTimer>

using namespace brindle;
using brindle::fixtures::addCondition;

namespace {

using ::fixtures::onMenuTag;
using ::fixtures::onPopup;

class Commands : public ::fixtures::PanelWindow {
protected:
    void SetUp() override
    {
        ::fixtures::PanelWindow::SetUp();
        panel->Query().SetActive(true);
        root = query().Filter();
    }
    TVxQuery& query() { return panel->Query(); }
    // Chooses the entry of each tag in turn (the last one inside the
    // submenus of the others) from the menu about to open; none closes it.
    static void onMenu(QList<int> tags, std::function<void(QMenu*)> look = {})
    {
        QTimer::singleShot(0, [tags, look] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (look)
                look(menu);
            for (int i = 0; i < tags.size(); ++i) {
                for (QAction* action : menu->actions())
                    if (action->data().toInt() == tags[i])
                        menu->setActiveAction(action);
                QTest::keyClick(menu, i + 1 < tags.size() ? Qt::Key_Right : Qt::Key_Return);
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            }
            if (tags.isEmpty())
                QTest::keyClick(menu, Qt::Key_Escape);
        });
    }
    static QList<int> shownTags(QMenu* menu)
    {
        QList<int> tags;
        for (QAction* action : menu->actions())
            if (action->isVisible())
                tags.append(action->data().toInt());
        return tags;
    }
    void click(QWidget* widget, QList<int> tags, Qt::MouseButton button = Qt::LeftButton)
    {
        onMenu(tags);
        QTest::mouseClick(widget, button);
    }
    // Changes the appearance of the inactive panel: the query is not
    // rebuilt from its text.
    void reshape(const std::function<void(TQPAppearance&)>& change)
    {
        panel->SetActive(false);
        change(panel->Appearance());
        panel->SetActive(true);
    }
    // The offscreen platform keeps a closed menu the active window: the
    // panel is what its own window will focus.
    bool focused() const { return window.focusWidget() == panel; }

    TFilterBracket* root = nullptr;
};

TEST_F(Commands, MenusOfferTheirEntriesByRowKind)
{
    TFilterCond* cond = query().AddCondition(root, m.custCity);
    TFilterBracket* bracket = query().AddBracket(root);
    TFilterCond* custom = query().AddCustomCondition(root, m.bigOrders);
    const QList<int> rowTags = {1, 2, 31, 5, 33, 20, 34, 21};
    const std::vector<std::pair<TFilterRow*, QList<int>>> cases = {
        {root, {11, 12, 5}}, {cond, rowTags}, {bracket, {1, 2, 31, 3, 4, 32, 5, 33, 20, 34, 21}}, {custom, rowTags}};
    for (const auto& [row, tags] : cases) {
        QList<int> shown;
        onMenu({}, [&](QMenu* menu) { shown = shownTags(menu); });
        QTest::mouseClick(panel->RowButton(row), Qt::LeftButton);
        EXPECT_EQ(shown, tags) << row->RowID().toStdString();
    }
    const QList<QAction*> entries = panel->RowPopup()->actions();
    EXPECT_EQ(entries[0]->text(), "Add new &condition (after current)");
    EXPECT_EQ(entries[4]->text(), "Open new &bracket (inside current)");
    EXPECT_EQ(entries[6]->menu()->actions()[0]->text(), "&1. amount above ");

    // The model's conditions are read again at the next opening.
    m.model.Conditions().Delete(0);
    QList<int> shown;
    onMenu({}, [&](QMenu* menu) { shown = shownTags(menu); });
    QTest::mouseClick(panel->RowButton(root), Qt::LeftButton);
    EXPECT_EQ(shown, QList<int>({11, 12}));
    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoAllowParams});
    EXPECT_EQ(shownTags(panel->ValuePopup()), QList<int>{1});
}

TEST_F(Commands, MenuCommandsBuildWhatTheQueryCallsBuild)
{
    ASSERT_FALSE(focused());
    const auto button = [&](TFilterRow* row) { return panel->RowButton(row); };
    click(button(root), {11});
    TFilterRow* a = root->GetRow(0);
    click(button(root), {12});
    auto* b = static_cast<TFilterBracket*>(root->GetRow(1));
    click(button(b), {3});
    click(button(b), {4});
    click(button(a), {21});
    click(button(b->GetRow(0)), {2});
    click(button(b->GetRow(1)), {20});
    click(button(root), {5, 0});
    click(button(a), {5, 0});
    EXPECT_TRUE(focused());

    TFilterBracket* r = reference.Filter();
    TFilterRow* ra = reference.AddCondition(r, nullptr);
    TFilterBracket* rb = reference.AddBracket(r);
    reference.AddCondition(rb, nullptr);
    reference.AddBracket(rb);
    ra->SetEnabled(false);
    reference.AddBracket(rb);
    rb->DeleteRow(1);
    for (int i = 0; i < 2; ++i)
        reference.AddCustomCondition(r, m.bigOrders);
    EXPECT_EQ(outcome(query()), outcome(reference));
    EXPECT_EQ(button(b->GetRow(1))->Caption(), "2.2");
}

TEST_F(Commands, TheKeyboardMap)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* from; // row identifier without its point, the root's empty
        int index;
        const char* current;
        int currentIndex;
        QString shape;
        QList<int> menu = {}; // chosen in the menu the key opens
    };
    const QString tree = "Customer City (Amount Status)";
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const QList<Case> cases = {
        {Qt::Key_Down, none, "1", 2, "2", 1, tree},
        {Qt::Key_Down, none, "3.2", 1, "3.2", 1, tree},
        {Qt::Key_Down, shift, "1", 2, "1", 2, tree},
        {Qt::Key_Up, none, "2", 3, "1", 1, tree},
        {Qt::Key_Up, none, "", 2, "", 2, tree},
        {Qt::Key_Right, none, "2", 3, "2", 5, tree}, // the text between the values is skipped
        {Qt::Key_Right, none, "2", 5, "2", 5, tree},
        {Qt::Key_Left, none, "2", 5, "2", 3, tree},
        {Qt::Key_Left, Qt::AltModifier, "1", 2, "1", 2, tree},
        {Qt::Key_Down, ctrl, "1", 1, "2", 1, "City Customer (Amount Status)"},
        {Qt::Key_Down, ctrl | shift, "1", 1, "2", 1, "City Customer (Amount Status)"},
        {Qt::Key_Up, ctrl, "3.2", 1, "3.1", 1, "Customer City (Status Amount)"},
        {Qt::Key_Left, ctrl, "3.1", 1, "4", 1, "Customer City (Status) Amount"},
        {Qt::Key_Right, ctrl, "2", 1, "2.1", 1, "Customer (City) (Amount Status)"},
        {Qt::Key_Insert, none, "1", 1, "2", 0, "Customer Customer City (Amount Status)"},
        {Qt::Key_Insert, shift, "3.1", 1, "3.2", 0, "Customer City (Amount Customer Status)"},
        {Qt::Key_Insert, Qt::AltModifier, "1", 1, "4", 0, "Customer City (Amount Status) Customer", {1}},
        {Qt::Key_Insert, Qt::AltModifier, "", 2, "4.1", 0, "Customer City (Amount Status) (Customer)", {12}},
        {Qt::Key_Delete, ctrl, "2", 1, "2", 0, "Customer (Amount Status)"},
        {Qt::Key_Delete, none, "2", 1, "2", 1, tree},
        {Qt::Key_Delete, ctrl, "", 2, "", 2, tree},
    };
    const std::function<QString(const TFilterBracket*)> shape = [&](const TFilterBracket* bracket) {
        QStringList parts;
        for (int i = 0; i < bracket->GetRowCount(); ++i) {
            const TFilterRow* row = bracket->GetRow(i);
            parts.append(row->IsBracket() ? "(" + shape(static_cast<const TFilterBracket*>(row)) + ")"
                                          : static_cast<const TSimpleCond*>(row)->Field()->DisplayName());
        }
        return parts.join(' ');
    };
    const auto id = [](const char* text) { return *text ? QString(text) + '.' : QString(); };
    for (const Case& c : cases) {
        query().ClearAll();
        addCondition(query(), root, m.custName, m.op("Equal"));
        addCondition(query(), root, m.custCity, m.op("Between"));
        auto* bracket = query().AddBracket(root);
        static_cast<TSimpleCond*>(bracket->GetRow(0))->SetField(m.amount);
        query().AddCondition(bracket, m.status);
        TFilterRow* from = *c.from ? root->RowByID(id(c.from)) : root;
        panel->SetCurrentRow(from);
        panel->SetCurrentControlIndex(c.index);
        if (!c.menu.isEmpty())
            onMenu(c.menu);
        QTest::keyClick(panel, c.key, c.modifiers);
        const std::string name =
            QKeySequence(QKeyCombination(c.modifiers, c.key)).toString().toStdString() + " from " + c.from;
        EXPECT_EQ(shape(root), c.shape) << name;
        EXPECT_EQ(panel->CurrentRow()->RowID(), id(c.current)) << name;
        EXPECT_EQ(panel->CurrentControlIndex(), c.currentIndex) << name;
        // Every row's button shows the number the row has now.
        QApplication::processEvents();
        const std::function<void(const TFilterBracket*)> numbers = [&](const TFilterBracket* bracket) {
            for (int i = 0; i < bracket->GetRowCount(); ++i) {
                const TFilterRow* row = bracket->GetRow(i);
                if (const TFilterBtn* button = panel->RowButton(row))
                    EXPECT_EQ(button->Caption(), row->RowID().chopped(1)) << name;
                if (row->IsBracket())
                    numbers(static_cast<const TFilterBracket*>(row));
            }
        };
        numbers(root);
    }

    // Without aoAllowKeyboard the keys are the scroll area's.
    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoAllowKeyboard});
    TFilterRow* before = panel->CurrentRow();
    QTest::keyClick(panel, Qt::Key_Down);
    EXPECT_EQ(panel->CurrentRow(), before);
}

TEST_F(Commands, ValueWordsBecomeParametersAndBack)
{
    TFilterCond* cond = addCondition(query(), root, m.custCity, m.op("Equal"), "Cork");
    QList<int> changes;
    query().OnConditionChange = [&](TFilterCond*, ConditionChange what) { changes << what; };
    QStringList doubleClicks;
    panel->OnValueDblClick = [&](TFilterCond*, int index, QString& value) {
        doubleClicks << QString::number(index) + value;
        value = value.toUpper();
    };
    QStringList checked;
    const auto look = [&](QMenu* menu) {
        for (QAction* action : menu->actions())
            if (action->isChecked())
                checked << action->text();
    };
    TDropDownLabel* value = panel->GetRowControl(cond, 3);
    QTest::mouseClick(value, Qt::LeftButton, Qt::ControlModifier);
    // A parameter opens no editor: the word itself hears the double click.
    QTest::mouseDClick(value, Qt::LeftButton);
    onMenu({1}, look);
    QTest::mouseClick(value, Qt::RightButton);
    // Inside the open editor the handler's text goes back into it.
    QTest::mouseClick(value, Qt::LeftButton);
    QTest::keyClicks(value->EditControl(), "Cork");
    QTest::mouseDClick(value->EditControl(), Qt::LeftButton);
    EXPECT_EQ(value->EditControl()->property("text"), "CORK");
    QTest::keyClick(value->EditControl(), Qt::Key_Escape);
    onMenu({2}, look);
    QTest::mouseClick(value, Qt::RightButton);
    EXPECT_EQ(checked, QStringList({"Parameter", "Constant value"}));
    EXPECT_EQ(changes, QList<int>({ccValue1, ccValue1, ccValue1}));
    EXPECT_EQ(doubleClicks, QStringList({"1Cork", "1Cork"}));
    TFilterCond* same = addCondition(reference, reference.Filter(), m.custCity, m.op("Equal"), "Cork");
    for (bool isParam : {true, false, true})
        same->SetValueIsParam(1, isParam);
    EXPECT_EQ(outcome(query()), outcome(reference));
}

TEST_F(Commands, CustomValuesChangeOnlyWhenTheHandlerChangesThem)
{
    m.custName->SetEditType(etCustom);
    TFilterCond* cond = addCondition(query(), root, m.custName, m.op("Equal"), "Smith");
    int changes = 0;
    query().OnConditionChange = [&](TFilterCond*, ConditionChange) { ++changes; };
    QStringList answers = {"Smith", "Jones"};
    for (bool handled : {false, true, true}) {
        if (handled)
            query().OnCustomValue = [&](TFilterCond*, int, QString& text) { text = answers.takeFirst(); };
        QTest::mouseClick(panel->GetRowControl(cond, 3), Qt::LeftButton);
    }
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(panel->GetRowControl(cond, 3)->Caption(), "Jones");
    addCondition(reference, reference.Filter(), m.custName, m.op("Equal"), "Jones");
    EXPECT_EQ(outcome(query()), outcome(reference));
}

TEST_F(Commands, WordsOpenOneAtATimeAndTheBackgroundAccepts)
{
    TFilterCond* a = addCondition(query(), root, m.custCity, m.op("Equal"));
    TFilterCond* b = addCondition(query(), root, m.custName, m.op("Equal"));
    QTest::mouseClick(panel->GetRowControl(a, 3), Qt::LeftButton);
    QTest::keyClicks(panel->GetRowControl(a, 3)->EditControl(), "Galway");
    bool framed = true;
    onPopup({Qt::Key_Escape}, [&](QWidget*) { framed = panel->ShowFrame(); });
    QTest::mouseClick(panel->GetRowControl(b, 2), Qt::LeftButton);
    EXPECT_FALSE(framed);
    EXPECT_TRUE(panel->ShowFrame());
    EXPECT_EQ(panel->CurrentRow(), b);
    EXPECT_EQ(panel->CurrentControlIndex(), 2);

    // The keyboard opens the selected word; a click on the background takes its input.
    QTest::keyClick(panel, Qt::Key_Right);
    QTest::keyClick(panel, Qt::Key_Return);
    TDropDownLabel* value = panel->GetRowControl(b, 3);
    ASSERT_TRUE(value->EditMode());
    QTest::keyClicks(value->EditControl(), "Smith");
    QTest::mouseClick(panel->Surface(), Qt::LeftButton, {}, panel->Surface()->rect().bottomRight() - QPoint(5, 5));
    EXPECT_FALSE(value->EditMode());
    EXPECT_TRUE(focused());
    addCondition(reference, reference.Filter(), m.custCity, m.op("Equal"), "Galway");
    addCondition(reference, reference.Filter(), m.custName, m.op("Equal"), "Smith");
    EXPECT_EQ(outcome(query()), outcome(reference));
}

TEST_F(Commands, LinkWordsAndTheAddRowLine)
{
    reshape([](TQPAppearance& a) {
        a.SetLogOpStyle(losAfterCond);
        a.SetOptions(a.Options() - TQPAppearanceOptions{aoFieldsMenuOnAdd});
    });
    click(panel->AddRowLabel(), {12}, Qt::RightButton);
    QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
    EXPECT_TRUE(focused());
    query().ManualAddCond(root, m.custCity, m.op("Equal"), "Cork");
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(panel->GetRowControl(root, 2), Qt::LeftButton);
    EXPECT_EQ(root->LinkType(), fltNotAll);
    EXPECT_EQ(panel->GetRowControl(root, 3)->x(), panel->GetRowControl(root, 2)->geometry().right() + 1 + panel->ElemSpace());
    // The bracket's last condition speaks for the bracket around it.
    TDropDownLabel* logOp = panel->GetRowControl(static_cast<TFilterBracket*>(root->GetRow(0))->GetRow(1), 9);
    ASSERT_TRUE(logOp && logOp->isVisible());
    onPopup({Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});
    QTest::mouseClick(logOp, Qt::LeftButton);
    EXPECT_EQ(panel->GetRowControl(query().AddSimpleCond(root, m.amount, m.op("Between"), "1", "5"), 5)->Caption(), "5");

    reference.SetLogOpStyle(losAfterCond);
    reference.AddCondition(reference.AddBracket(reference.Filter()), nullptr);
    addCondition(reference, reference.Filter(), m.custCity, m.op("Equal"), "Cork");
    reference.Filter()->SetLinkType(fltAny);
    addCondition(reference, reference.Filter(), m.amount, m.op("Between"), "1", "5");
    EXPECT_EQ(outcome(query()), outcome(reference));
    TVxQuery lone;
    EXPECT_EQ(brindle::fixtures::errorOf<EVxQueryPanelError>(
                  [&] { lone.ManualAddCond(lone.Filter(), m.custCity, m.op("Equal"), "a"); }),
              "3: DBStruct is not specified");
}

// The current row and the buttons' look are the panel's: a row the query
// adds becomes current, a current row that goes hands over to the row now
// in its line, else the one above, and the query keeps no button options.
TEST_F(Commands, TheCurrentRowFollowsTheTreeFromThePanel)
{
    TFilterCond* rows[3];
    for (TFilterCond*& row : rows)
        row = query().AddCondition(root, m.custName);
    EXPECT_EQ(panel->CurrentRow(), rows[2]);
    panel->SetCurrentRow(rows[1]);
    root->DeleteRow(1);
    EXPECT_EQ(panel->CurrentRow(), rows[2]);
    root->DeleteRow(1);
    EXPECT_EQ(panel->CurrentRow(), rows[0]);
    root->DeleteRow(0);
    EXPECT_EQ(panel->CurrentRow(), nullptr);
    TFilterBracket* bracket = query().AddBracket(root);
    EXPECT_EQ(panel->CurrentRow(), bracket->GetRow(0));
    EXPECT_EQ(panel->GetCurrentBracket(), bracket);
    // The keyboard moves it out of its bracket, which goes, and it stays current.
    panel->setFocus();
    QTest::keyClick(panel, Qt::Key_Left, Qt::ControlModifier);
    ASSERT_EQ(root->GetRowCount(), 1);
    EXPECT_EQ(panel->CurrentRow(), root->GetRow(0));
    EXPECT_EQ(panel->GetCurrentRowNum(), 1);
    // A reload starts again at the root; clearing keeps a current root.
    TStringList text;
    query().SaveToStrings(text);
    query().LoadFromStrings(text);
    EXPECT_EQ(panel->CurrentRow(), query().Filter());
    query().ClearAll();
    EXPECT_EQ(panel->CurrentRow(), query().Filter());
    query().LoadFromStrings(text);

    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoFlatButtons}
                                   + TQPAppearanceOptions{aoHideRowButtons});
    EXPECT_TRUE(panel->Appearance().Options().Contains(aoHideRowButtons));
    EXPECT_FALSE(panel->Appearance().Options().Contains(aoFlatButtons));
    EXPECT_EQ(query().AppearanceOptions(), query().AppearanceOptions() * TreeAppearanceOptions());
    TFilterRow* row = query().Filter()->GetRow(0);
    ASSERT_TRUE(panel->RowButton(row));
    EXPECT_FALSE(panel->RowButton(row)->isVisible());
    EXPECT_FALSE(panel->RowButton(query().Filter())->Flat());
}

TEST_F(Commands, BoxesFollowTheTreeAndAnEmptiedRootIsEnabledAgain)
{
    TFilterBracket* bracket = query().AddBracket(root);
    TFilterRow* outer = query().AddCondition(root, m.custName);
    QTest::mouseClick(panel->RowCheckBox(bracket), Qt::LeftButton);
    EXPECT_FALSE(panel->RowCheckBox(bracket->GetRow(0))->isChecked());
    // With every row off the root is off; without rows it is on again.
    QTest::mouseClick(panel->RowCheckBox(outer), Qt::LeftButton);
    EXPECT_FALSE(root->GetEnabled());
    panel->SetCurrentRow(outer);
    QTest::keyClick(panel, Qt::Key_Delete, Qt::ControlModifier);
    click(panel->RowButton(bracket), {20});
    EXPECT_EQ(root->GetRowCount(), 0);
    EXPECT_TRUE(root->GetEnabled());
}

// A host handler that throws ends in the error handler, the query as the
// same calls leave it, and the panel working on.
TEST_F(Commands, FailingHandlersLeaveAWorkingPanel)
{
    reshape([](TQPAppearance& a) { a.SetOptions(a.Options() - TQPAppearanceOptions{aoFieldsMenuOnAdd}); });
    m.custName->SetEditType(etCustom);
    const auto fail = [] { throw Exception("host failed"); };
    const auto failOnChange = [&](TVxQuery& q) { q.OnConditionChange = [&](TFilterCond*, ConditionChange) { fail(); }; };
    const auto cond = [](TVxQuery& q, int index) { return static_cast<TFilterCond*>(q.Filter()->GetRow(index)); };
    const auto value = [&](int index) { return panel->GetRowControl(cond(query(), index), 3); };
    struct Case {
        const char* name;
        std::function<void(TVxQuery&)> arrange;
        std::function<void()> act;
        std::function<void(TVxQuery&)> same;
    };
    const QList<Case> cases = {
        {"adding", failOnChange, [&] { QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton); },
         [&](TVxQuery& q) { q.AddCondition(q.Filter(), nullptr); }},
        {"parameter", failOnChange, [&] { QTest::mouseClick(value(0), Qt::LeftButton, Qt::ControlModifier); },
         [&](TVxQuery& q) { cond(q, 0)->SetValueIsParam(1, true); }},
        {"deleting", [&](TVxQuery& q) { q.OnChange = [&](QObject*) { fail(); }; },
         [&] { click(panel->RowButton(cond(query(), 0)), {20}); }, [&](TVxQuery& q) { q.Filter()->DeleteRow(0); }},
        {"custom value", [&](TVxQuery& q) { q.OnCustomValue = [&](TFilterCond*, int, QString&) { fail(); }; },
         [&] { QTest::mouseClick(value(1), Qt::LeftButton); }, [](TVxQuery&) {}},
        {"caption", [&](TVxQuery& q) { q.OnSetValue = [&](TFilterCond*, int, const QString&, QString&) { fail(); }; },
         [&] {
             QTest::mouseClick(value(0), Qt::LeftButton);
             QTest::keyClicks(value(0)->EditControl(), "Cork");
             QTest::keyClick(value(0)->EditControl(), Qt::Key_Return);
         },
         [&](TVxQuery& q) { cond(q, 0)->SetValue(1, "Cork"); }},
    };
    const auto quiet = [&] {
        for (TVxQuery* q : {&query(), &reference}) {
            q->OnConditionChange = nullptr;
            q->OnChange = nullptr;
            q->OnCustomValue = nullptr;
            q->OnSetValue = nullptr;
        }
    };
    for (const Case& c : cases) {
        quiet();
        for (TVxQuery* q : {&query(), &reference}) {
            q->ClearAll();
            addCondition(*q, q->Filter(), m.custCity, m.op("Equal"));
            addCondition(*q, q->Filter(), m.custName, m.op("Equal"));
            c.arrange(*q);
        }
        errors.clear();
        c.act();
        try {
            c.same(reference);
        } catch (const Exception&) {
        }
        EXPECT_EQ(errors, QStringList{"host failed"}) << c.name;
        EXPECT_FALSE(query().InsideEventHandler()) << c.name;
        EXPECT_EQ(outcome(query()), outcome(reference)) << c.name;
        for (int i = 0; i < root->GetRowCount(); ++i)
            EXPECT_FALSE(panel->GetRowControl(root->GetRow(i), 3)->Dropped()) << c.name;
        // The line still answers.
        quiet();
        QTest::mouseClick(panel->AddRowLabel(), Qt::LeftButton);
        reference.AddCondition(reference.Filter(), nullptr);
        EXPECT_EQ(outcome(query()), outcome(reference)) << c.name;
    }
}

} // namespace

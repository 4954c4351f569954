// The query panel's commands driven as a user drives them (row menus, the
// keyboard, clicks on words, boxes and the background), each ending in the
// statement and text the query's own calls give.

#include "panels/label_fixtures.h"
#include "query/query_fixtures.h"

#include <brindle/panels/drop_down_edits.h>
#include <brindle/panels/query_panel.h>

#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>

using namespace brindle;
using brindle::fixtures::addCondition;

namespace {

class Commands : public ::fixtures::LabelWindow {
protected:
    void SetUp() override
    {
        ::fixtures::LabelWindow::SetUp();
        panel = new TVxQueryPanel(&window);
        panel->resize(400, 300);
        panel->show();
        for (TVxQuery* q : {&panel->Query(), &reference}) {
            q->SetDbStruct(&m.model);
            q->SetActive(true);
        }
        root = query().Filter();
    }
    TVxQuery& query() { return panel->Query(); }
    static std::pair<QString, QString> outcome(TVxQuery& q)
    {
        q.BuildQuery();
        TStringList text;
        q.SaveToStrings(text);
        return {q.QResult()->GetSQL().Text(), text.Text()};
    }
    // Chooses the entry of each tag in turn (the last one inside the
    // submenus of the others) from the menu about to open; none closes it.
    static void onMenu(QList<int> tags, std::function<void(QMenu*)> look = {})
    {
        QTimer::singleShot(0, [tags, look] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_TRUE(menu);
            if (look)
                look(menu);
            if (tags.isEmpty())
                QTest::keyClick(menu, Qt::Key_Escape);
            for (int i = 0; i < tags.size(); ++i) {
                const QList<QAction*> actions = menu->actions();
                const auto found = std::find_if(actions.begin(), actions.end(),
                                                [&](QAction* a) { return a->data().toInt() == tags[i]; });
                ASSERT_NE(found, actions.end());
                menu->setActiveAction(*found);
                QTest::keyClick(menu, i + 1 < tags.size() ? Qt::Key_Right : Qt::Key_Return);
                menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            }
        });
    }
    // The offscreen platform keeps a closed menu the active window: the
    // panel is what its own window will focus.
    bool focused() const { return window.focusWidget() == panel; }
    static QList<int> shownTags(QMenu* menu)
    {
        QList<int> tags;
        for (QAction* action : menu->actions())
            if (action->isVisible())
                tags.append(action->data().toInt());
        return tags;
    }
    void clickButton(TFilterRow* row, QList<int> tags)
    {
        onMenu(tags);
        QTest::mouseClick(panel->RowButton(row), Qt::LeftButton);
    }
    // The tree as the fields' names, brackets in parentheses.
    static QString shape(const TFilterBracket* bracket)
    {
        QStringList parts;
        for (int i = 0; i < bracket->GetRowCount(); ++i) {
            const TFilterRow* row = bracket->GetRow(i);
            parts.append(row->IsBracket() ? "(" + shape(static_cast<const TFilterBracket*>(row)) + ")"
                                          : static_cast<const TSimpleCond*>(row)->Field()->DisplayName());
        }
        return parts.join(' ');
    }

    brindle::fixtures::QueryModel m;
    TVxQuery reference;
    TVxQueryPanel* panel = nullptr;
    TFilterBracket* root = nullptr;
};

TEST_F(Commands, MenusOfferTheirEntriesByRowKind)
{
    TFilterCond* cond = query().AddCondition(root, m.custCity);
    TFilterBracket* bracket = query().AddBracket(root);
    TFilterCond* custom = query().AddCustomCondition(root, m.bigOrders);
    const QList<int> rowTags = {1, 2, 31, 5, 33, 20, 34, 21};
    const QList<int> bracketTags = {1, 2, 31, 3, 4, 32, 5, 33, 20, 34, 21};
    const std::vector<std::pair<TFilterRow*, QList<int>>> cases = {
        {root, {11, 12, 5}}, {cond, rowTags}, {bracket, bracketTags}, {custom, rowTags}};
    for (const auto& [row, tags] : cases) {
        QList<int> shown;
        onMenu({}, [&](QMenu* menu) { shown = shownTags(menu); });
        QTest::mouseClick(panel->RowButton(row), Qt::LeftButton);
        EXPECT_EQ(shown, tags) << row->RowID().toStdString();
        EXPECT_EQ(query().CurrentRow(), row);
    }
    QStringList captions;
    for (QAction* action : panel->RowPopup()->actions())
        captions.append(action->text());
    EXPECT_EQ(captions, QStringList({"Add new &condition (after current)", "Open new &bracket (after current)", "",
                                     "Add new &condition (inside current)", "Open new &bracket (inside current)", "",
                                     "Add custom condition", "", "&Delete row", "", "&Enable/Disable row"}));
    EXPECT_EQ(panel->MainPopup()->actions()[2]->menu()->actions()[0]->text(), "&1. amount above ");

    // Edited titles and a model without predefined conditions show at the next opening.
    query().SetTitle("ttlAddCond", "Add a &rule");
    m.model.Conditions().Delete(0);
    QStringList main;
    onMenu({}, [&](QMenu* menu) {
        for (QAction* action : menu->actions())
            if (action->isVisible())
                main.append(action->text());
    });
    QTest::mouseClick(panel->RowButton(root), Qt::LeftButton);
    EXPECT_EQ(main, QStringList({"Add a &rule", "Open new &bracket"}));
    // Without parameters the value menu offers the constant alone.
    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoAllowParams});
    EXPECT_EQ(shownTags(panel->ValuePopup()), QList<int>{1});
}

TEST_F(Commands, MenuCommandsBuildWhatTheQueryCallsBuild)
{
    ASSERT_FALSE(focused());
    clickButton(root, {11});
    TFilterRow* a = root->GetRow(0);
    clickButton(root, {12});
    auto* b = static_cast<TFilterBracket*>(root->GetRow(1));
    clickButton(b, {3});
    clickButton(b, {4});
    clickButton(a, {21});
    clickButton(b->GetRow(0), {2});
    clickButton(b->GetRow(1), {20});
    clickButton(root, {5, 0});
    clickButton(a, {5, 0});
    EXPECT_TRUE(focused());
    EXPECT_TRUE(errors.isEmpty());

    TFilterBracket* r = reference.Filter();
    TFilterRow* ra = reference.AddCondition(r, nullptr);
    TFilterBracket* rb = reference.AddBracket(r);
    reference.AddCondition(rb, nullptr);
    reference.AddBracket(rb);
    ra->SetEnabled(false);
    reference.AddBracket(rb);
    rb->DeleteRow(1);
    reference.EnumerateBracket(r);
    reference.AddCustomCondition(r, m.bigOrders);
    reference.AddCustomCondition(r, m.bigOrders);
    EXPECT_EQ(outcome(query()), outcome(reference));
    EXPECT_EQ(panel->RowButton(b->GetRow(1))->Caption(), "2.2");
}

TEST_F(Commands, TheKeyboardMap)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* from; // row identifier, the root's empty
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
        {Qt::Key_Down, none, "", 2, "1", 1, tree},
        {Qt::Key_Down, none, "3.2", 1, "3.2", 1, tree},
        {Qt::Key_Down, shift, "1", 2, "1", 2, tree},
        {Qt::Key_Up, none, "2", 3, "1", 1, tree},
        {Qt::Key_Up, none, "", 2, "", 2, tree},
        {Qt::Key_Right, none, "2", 3, "2", 4, tree},
        {Qt::Key_Right, none, "2", 4, "2", 4, tree}, // the text between the values is skipped
        {Qt::Key_Left, none, "2", 4, "2", 3, tree},
        {Qt::Key_Left, none, "1", 1, "1", 1, tree},
        {Qt::Key_Left, Qt::AltModifier, "1", 2, "1", 2, tree},
        {Qt::Key_Down, ctrl, "1", 1, "2", 1, "City Customer (Amount Status)"},
        {Qt::Key_Down, ctrl | shift, "1", 1, "2", 1, "City Customer (Amount Status)"},
        {Qt::Key_Up, ctrl, "3.2", 1, "3.1", 1, "Customer City (Status Amount)"},
        {Qt::Key_Left, ctrl, "3.1", 1, "4", 1, "Customer City (Status) Amount"},
        {Qt::Key_Right, ctrl, "2", 1, "2.1", 1, "Customer (City) (Amount Status)"},
        {Qt::Key_Insert, none, "1", 1, "2", 0, "Customer Customer City (Amount Status)"},
        {Qt::Key_Insert, shift, "3.1", 1, "3.2", 0, "Customer City (Amount Customer Status)"},
        {Qt::Key_Insert, none, "", 2, "1", 0, "Customer Customer City (Amount Status)"},
        {Qt::Key_Insert, Qt::AltModifier, "1", 1, "4", 0, "Customer City (Amount Status) Customer", {1}},
        {Qt::Key_Insert, Qt::AltModifier, "", 2, "4.1", 0, "Customer City (Amount Status) (Customer)", {12}},
        {Qt::Key_Delete, ctrl, "2", 1, "2", 0, "Customer (Amount Status)"},
        {Qt::Key_Delete, none, "2", 1, "2", 1, tree},
        {Qt::Key_Delete, ctrl, "", 2, "", 2, tree},
    };
    for (const Case& c : cases) {
        query().ClearAll();
        addCondition(query(), root, m.custName, m.op("Equal"));
        addCondition(query(), root, m.custCity, m.op("Between"));
        TFilterBracket* bracket = query().AddBracket(root);
        static_cast<TSimpleCond*>(bracket->GetRow(0))->SetField(m.amount);
        query().AddCondition(bracket, m.status);
        TFilterRow* from = *c.from ? root->RowByID(QString(c.from) + '.') : root;
        panel->SetCurrentRow(from);
        from->SetCurrentControlIndex(c.index);
        if (!c.menu.isEmpty())
            onMenu(c.menu);
        QTest::keyClick(panel, c.key, c.modifiers);
        const std::string name = QTest::toString(c.key) + std::string(" from ") + c.from;
        EXPECT_EQ(shape(root), c.shape) << name;
        EXPECT_EQ(query().CurrentRow()->RowID(), *c.current ? QString(c.current) + '.' : QString()) << name;
        EXPECT_EQ(query().CurrentRow()->CurrentControlIndex(), c.currentIndex) << name;
    }
    EXPECT_TRUE(errors.isEmpty());

    // Far rows scroll into view.
    for (int i = 0; i < 30; ++i)
        query().AddCondition(root, m.custCity);
    panel->SetCurrentRowNum(34);
    QTest::keyClick(panel, Qt::Key_Down);
    TDropDownLabel* selected = panel->RowLabel(query().CurrentRow(), 1);
    EXPECT_EQ(query().CurrentRow(), root->GetLastRow());
    EXPECT_GT(panel->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(panel->viewport()->rect().contains(selected->geometry().translated(panel->Surface()->pos())));

    // Without aoAllowKeyboard the keys are the scroll area's.
    panel->Appearance().SetOptions(panel->Appearance().Options() - TQPAppearanceOptions{aoAllowKeyboard});
    TFilterRow* before = query().CurrentRow();
    QTest::keyClick(panel, Qt::Key_Down);
    EXPECT_EQ(query().CurrentRow(), before);
}

} // namespace

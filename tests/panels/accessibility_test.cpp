// What assistive technology reads of an open word menu and of a composed
// query's words, and that pressing an entry does what a click does.

#include "panels/panel_fixtures.h"

#include <brindle/panels/drop_down_list.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/panels/round_button.h>

#include <QAccessible>
#include <QLineEdit>

using namespace brindle;

namespace {

using ::fixtures::onPopup;
using Accessible = ::fixtures::PanelWindow;

TEST_F(Accessible, AnOpenWordMenuListsItsEntriesAndPressingOneChoosesIt)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    auto* cond = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), nullptr));
    auto* fieldWord = qobject_cast<TDropDownPopup*>(panel->GetRowControl(cond, 1));
    ASSERT_TRUE(fieldWord);
    const QString before = cond->Field()->DisplayName();

    QString chosen;
    onPopup({}, [&](QWidget* popup) {
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(popup);
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->role(), QAccessible::PopupMenu);
        const TVxMenuItem& level = fieldWord->Menu()->Items();
        ASSERT_EQ(menu->childCount(), level.Count());
        const QRect screen(popup->mapToGlobal(QPoint(0, 0)), popup->size());
        QRect previous;
        for (int i = 0; i < menu->childCount(); ++i) {
            QAccessibleInterface* entry = menu->child(i);
            ASSERT_TRUE(entry && entry->isValid()) << i;
            EXPECT_EQ(entry->parent(), menu);
            EXPECT_EQ(menu->indexOfChild(entry), i);
            EXPECT_EQ(entry->role(), QAccessible::MenuItem) << i;
            EXPECT_EQ(entry->text(QAccessible::Name), level.Items(i)->ShownCaption().trimmed()) << i;
            EXPECT_EQ(entry->state().hasPopup, level.Items(i)->Count() > 0) << i;
            // Entries lie inside the window, one under another or beside.
            const QRect rect = entry->rect();
            EXPECT_TRUE(screen.contains(rect)) << i;
            EXPECT_FALSE(rect.intersects(previous)) << i;
            EXPECT_EQ(menu->childAt(rect.center().x(), rect.center().y()), entry) << i;
            previous = rect;
        }
        // The current entry moves with the keys.
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        EXPECT_EQ(menu->focusChild(), menu->child(1));
        EXPECT_TRUE(menu->child(1)->state().focused);
        EXPECT_TRUE(menu->child(1)->state().selected);
        EXPECT_FALSE(menu->child(0)->state().selected);

        // A press on an entry that shows where a click would land chooses it.
        const int target = menu->childCount() - 1;
        chosen = menu->child(target)->text(QAccessible::Name);
        QAccessibleActionInterface* actions = menu->child(target)->actionInterface();
        ASSERT_TRUE(actions);
        EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
    });
    QTest::mouseClick(fieldWord, Qt::LeftButton);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    ASSERT_NE(chosen, before);
    EXPECT_EQ(cond->Field()->DisplayName(), chosen);

    auto* expected = static_cast<TSimpleCond*>(reference.AddCondition(reference.Filter(), nullptr));
    expected->SetField(cond->Field());
    EXPECT_EQ(outcome(query), outcome(reference));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// A click at the centre of an entry's accessible rect chooses that entry:
// the rect is where the entry is painted.
TEST_F(Accessible, AnEntrysRectIsWhereAClickChoosesIt)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    auto* cond = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), nullptr));
    QString named;
    onPopup({}, [&](QWidget* popup) {
        QAccessibleInterface* entry = QAccessible::queryAccessibleInterface(popup)->child(2);
        named = entry->text(QAccessible::Name);
        const QPoint at = popup->mapFromGlobal(entry->rect().center());
        QTest::mouseMove(popup, at);
        QTest::mouseClick(popup, Qt::LeftButton, {}, at);
    });
    QTest::mouseClick(panel->GetRowControl(cond, 1), Qt::LeftButton);
    EXPECT_EQ(cond->Field()->DisplayName(), named);
}

// Every word, button and add line of both panels is named without the
// blanks that space the sentence.
TEST_F(Accessible, NamesCarryNoSurroundingBlanks)
{
    panel->SetActive(true);
    TVxQuery& query = panel->Query();
    auto* cond = static_cast<TSimpleCond*>(query.AddCondition(query.Filter(), nullptr));
    cond->SetValue(1, " Paris ");
    query.AddBracket(query.Filter());
    query.QResult()->ResultFields().Add("sum(@1) / 2", {m.amount}, "Half");
    auto* fields = new TVxResultFieldsPanel(&window);
    fields->BindQuery(&query);
    fields->Activate();
    fields->show();

    struct Case {
        const char* panel;
        QWidget* surface;
    };
    for (const Case& c : {Case{"query", panel->Surface()}, Case{"result fields", fields->Surface()}}) {
        // Each widget with whether it shows any text (an empty word shows none).
        QList<std::pair<QWidget*, bool>> named;
        for (TDropDownLabel* word : c.surface->findChildren<TDropDownLabel*>())
            named.append({word, !word->Word().Caption().trimmed().isEmpty()});
        for (TVxRndBtn* button : c.surface->findChildren<TVxRndBtn*>())
            named.append({button, true});
        ASSERT_GT(named.size(), 4) << c.panel;
        for (const auto& [widget, showsText] : named) {
            if (widget->isHidden())
                continue;
            const QString name = QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
            EXPECT_EQ(name.isEmpty(), !showsText) << c.panel << " " << widget->metaObject()->className();
            EXPECT_EQ(name, name.trimmed()) << c.panel << " '" << name.toStdString() << "'";
        }
    }
    EXPECT_EQ(QAccessible::queryAccessibleInterface(fields->AddRowLabel())->text(QAccessible::Name),
              "Click to add new field");
}

// Focusing the query panel with Tab shows its current row and frames a word
// at once.
TEST_F(Accessible, TabIntoTheQueryPanelSelectsAWord)
{
    panel->SetActive(true);
    auto* edit = new QLineEdit(&window);
    edit->show();
    edit->setFocus();
    ASSERT_EQ(panel->CurrentControlIndex(), 0);
    QTest::keyClick(edit, Qt::Key_Tab);
    ASSERT_TRUE(panel->hasFocus());
    ASSERT_TRUE(panel->CurrentRow());
    EXPECT_GT(panel->CurrentControlIndex(), 0);
    EXPECT_TRUE(panel->ShowFrame());
}

} // namespace

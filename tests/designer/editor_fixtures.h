#pragma once
// The data model editor shown over the query fixture model (with an entity
// added), and the user's hands: typing into edits, clicking list rows,
// choosing combo entries and toggling check items by the keyboard.

#include "designer/design_fixtures.h"
#include "query/query_fixtures.h"

#include <brindle/designer/model_editor.h>
#include <brindle/panels/interaction.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

#include <memory>

namespace fixtures {

class EditorTest : public LabelWindow {
protected:
    void SetUp() override
    {
        LabelWindow::SetUp();
        brindle::TDSFieldGroup* group = m.model.FieldGroups().AddGroup("Orders", m.orderID);
        for (brindle::TDSField* field : {m.orderDate, m.amount})
            field->SetGroup(group);
        before = modelText(m.model);
        brindle::SetAskHandler([this](const QString& question) {
            questions.append(question);
            return true;
        });
        open();
    }
    void TearDown() override
    {
        // Errors a test expects it takes out of the list.
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
        editor.reset();
        brindle::SetAskHandler({});
        LabelWindow::TearDown();
    }
    void open()
    {
        editor = std::make_unique<brindle::TdlgDataModelEditor>(m.model, &window);
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    }
    void page(QWidget* shown) { editor->Pages()->setCurrentWidget(shown); }

    static void type(QLineEdit* edit, const QString& text)
    {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }
    // Near the left end, where a check box's box is, however wide it is laid out.
    static void click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(qMin(8, button->width() / 2), button->height() / 2));
    }
    static void clickRow(QListWidget* list, const QString& text)
    {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchStartsWith);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
    }
    static void clickRow(QListView* list, const QString& text)
    {
        const QModelIndexList found =
            list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchStartsWith);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        list->scrollTo(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(found.first()).center());
    }
    static int rows(const QListView* list) { return list->model()->rowCount(); }
    static void clickNode(QTreeWidget* tree, QTreeWidgetItem* node)
    {
        ASSERT_TRUE(node);
        tree->scrollToItem(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(node).center());
    }
    // Toggles the check box of the current row with the space bar.
    static void toggleRow(QListWidget* list, const QString& text)
    {
        clickRow(list, text);
        QTest::keyClick(list, Qt::Key_Space);
    }
    static void choose(QComboBox* combo, const QString& text)
    {
        const int target = combo->findText(text, Qt::MatchStartsWith);
        ASSERT_GE(target, 0) << text.toStdString();
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Home);
        for (int i = 0; i < target; ++i)
            QTest::keyClick(combo, Qt::Key_Down);
        ASSERT_EQ(combo->currentIndex(), target);
    }
    QString ok()
    {
        click(editor->OkButton());
        return modelText(m.model);
    }

    brindle::fixtures::QueryModel m;
    QString before;
    QStringList questions;
    std::unique_ptr<brindle::TdlgDataModelEditor> editor;
};

} // namespace fixtures

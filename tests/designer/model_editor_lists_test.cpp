// The editor's lists of tables and attributes and its entity tree, which show
// item models filled from the copy: captions follow edits, the current entry
// survives a refill, and an entity's attributes appear when it is opened.

#include "designer/editor_fixtures.h"

#include <brindle/designer/attributes_page.h>
#include <brindle/designer/entities_page.h>
#include <brindle/designer/tables_page.h>
#include <brindle/panels/type_filter.h>

#include <QToolButton>

using namespace brindle;
using ::fixtures::EditorTest;

TEST_F(EditorTest, ListsFollowEditsAndKeepTheCurrentEntryAcrossRefills)
{
    TablesPage* tables = editor->Tables();
    clickRow(tables->TableList(), "Customers");
    type(tables->DisplayNameEdit(), "Clients");
    EXPECT_EQ(tables->TableList()->currentIndex().data().toString(), "Clients (c)");
    // Moving refills the list; the same table stays current and moves on.
    click(tables->DownButton());
    EXPECT_FALSE(tables->DownButton()->isEnabled());
    click(tables->UpButton());
    click(tables->DownButton());

    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    choose(attributes->EntityFilter(), "(no entity)");
    EXPECT_EQ(rows(attributes->FieldList()), m.model.FieldCount() - 3);
    choose(attributes->EntityFilter(), "All entities");
    choose(attributes->TableFilter(), "Orders");
    clickRow(attributes->FieldList(), "Paid");
    EXPECT_EQ(attributes->TableCombo()->currentText(), "Orders (o)");
    type(attributes->DisplayNameEdit(), "Settled");
    clickRow(attributes->FieldList(), "Settled");
    choose(attributes->TableCombo(), "Customers");
    // The field left the filtered table, yet stays current until the list is read again.
    EXPECT_EQ(attributes->FieldList()->currentIndex().data().toString(), "Settled");
    const QString text = ok();
    EXPECT_EQ(m.model.Tables(1)->DisplayName(), "Clients");
    EXPECT_EQ(m.model.FieldByName(flByDisplayName, "Settled")->Table(), m.model.Tables(1));
    EXPECT_TRUE(text.contains("DisplayName=Settled\nTableAlias=c\n"));
}

TEST_F(EditorTest, EntityNodesGetTheirAttributesWhenOpened)
{
    EntitiesPage* entities = editor->Entities();
    page(entities);
    QTreeWidgetItem* orders = entities->Tree()->topLevelItem(0);
    ASSERT_EQ(orders->text(0), "Orders");
    EXPECT_EQ(orders->childCount(), 0);
    clickNode(entities->Tree(), orders);
    QTest::keyClick(entities->Tree(), Qt::Key_Right);
    ASSERT_EQ(orders->childCount(), 3);
    QTest::keyClick(entities->Tree(), Qt::Key_Down);
    QTest::keyClick(entities->Tree(), Qt::Key_Down);
    EXPECT_EQ(entities->Tree()->currentItem()->text(0), "Ordered on");
    // Into the entity-less attributes, whose node was never opened.
    choose(entities->TargetCombo(), "(no entity)");
    click(entities->MoveButton());
    QTreeWidgetItem* moved = entities->Tree()->currentItem();
    ASSERT_TRUE(moved && moved->parent());
    EXPECT_EQ(moved->text(0), "Ordered on");
    EXPECT_EQ(moved->parent(), entities->GroupNode(nullptr));
    EXPECT_TRUE(entities->GroupNode(editor->Copy().FieldGroups().FindByName("Orders"))->isExpanded());
    ok();
    EXPECT_EQ(m.orderDate->Group(), m.model.RootGroup());
    EXPECT_EQ(m.model.FieldGroups().FindByName("Orders")->Count(), 2);
}

TEST_F(EditorTest, TypingFiltersTheLongAttributeListAndEditsTheMatch)
{
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    QListView* list = attributes->FieldList();
    list->setFocus();
    // The fixture's few fields fit: typing jumps to a prefix as before.
    QTest::keyClicks(list, "pa");
    EXPECT_EQ(list->currentIndex().data().toString(), "Paid");
    EXPECT_TRUE(attributes->FieldFilter()->isHidden());

    editor.reset();
    for (int i = 0; i < 100; ++i)
        m.model.AddField(kfkVirtual, QString::number(i), QString("Parcel %1").arg(i, 3, 10, QChar('0')), nullptr);
    open();
    attributes = editor->Attributes();
    page(attributes);
    list = attributes->FieldList();
    list->setFocus();
    QTest::keyClicks(list, "paRC 05");
    ASSERT_EQ(rows(list), 11);
    EXPECT_EQ(attributes->DisplayNameEdit()->text(), "Parcel 005");
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Down);
    type(attributes->DisplayNameEdit(), "Fifty-one");
    // Renamed, it stays shown and current until the filter changes.
    EXPECT_EQ(list->currentIndex().data().toString(), "Fifty-one");
    EXPECT_EQ(rows(list), 11);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(rows(list), m.model.FieldCount());
    EXPECT_EQ(list->currentIndex().data().toString(), "Fifty-one");
    QTest::keyClicks(list, "(.*)");
    EXPECT_EQ(rows(list), 0);
    EXPECT_FALSE(attributes->DisplayNameEdit()->isEnabled());
    const QString text = ok();
    EXPECT_EQ(m.model.FieldByName(flByDisplayName, "Fifty-one")->FieldExpr(), "51");
    EXPECT_TRUE(text.contains("DisplayName=Fifty-one\n"));
}

TEST_F(EditorTest, AFilteredTableListMovesTablesInTheModelsOrder)
{
    editor.reset();
    for (int i = 0; i < 60; ++i)
        m.model.AddTable(QString("Depot%1").arg(i), QString("Depot%1").arg(i));
    open();
    QListView* list = editor->Tables()->TableList();
    list->setFocus();
    QTest::keyClicks(list, "dEPOT5");
    ASSERT_EQ(rows(list), 11);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentIndex().data().toString(), "Depot50 (Depot50)");
    click(editor->Tables()->UpButton());
    EXPECT_EQ(list->currentIndex().data().toString(), "Depot50 (Depot50)");
    ok();
    EXPECT_EQ(m.model.Tables(51)->TableName(), "Depot50");
}

// The data model editor driven as a user drives it; every outcome is read
// from the model (its text, its entities) after OK or Cancel.

#include "designer/editor_fixtures.h"

#include <brindle/designer/attributes_page.h>
#include <brindle/designer/conditions_page.h>
#include <brindle/designer/diagram_page.h>
#include <brindle/designer/entities_page.h>
#include <brindle/designer/operators_page.h>
#include <brindle/designer/struct_design_panel.h>
#include <brindle/designer/tables_page.h>

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace brindle;
using ::fixtures::EditorTest;
using ::fixtures::modelText;

TEST_F(EditorTest, TableEditsReachTheModelOnlyOnOk)
{
    TablesPage* tables = editor->Tables();
    page(tables);
    clickRow(tables->TableList(), "Orders");
    type(tables->DisplayNameEdit(), "Sales orders");
    type(tables->AliasEdit(), "ord e]r");
    EXPECT_EQ(tables->FromLabel()->text(), "Orders ord_er");
    EXPECT_EQ(modelText(m.model), before);
    const QString after = ok();
    EXPECT_TRUE(after.contains("DisplayName=Sales orders\nAlias=ord_er\n"));
    EXPECT_TRUE(after.contains("TableAlias=ord_er\n"));
    EXPECT_EQ(editor->result(), QDialog::Accepted);
}

TEST_F(EditorTest, DeletingAUsedTableTakesItsFieldsAndLinksAlongAndCancelKeepsTheModel)
{
    TablesPage* tables = editor->Tables();
    page(tables);
    clickRow(tables->TableList(), "Customers");
    EXPECT_EQ(tables->UsageLabel()->text(), "2 field(s), 1 link(s)");
    click(tables->DeleteButton());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("2 field(s) and 1 link(s)"));
    EXPECT_EQ(editor->Copy().TableCount(), 1);
    EXPECT_EQ(editor->Copy().LinkCount(), 0);
    EXPECT_EQ(editor->Copy().FieldCount(), m.model.FieldCount() - 2);
    click(editor->CancelButton());
    EXPECT_EQ(editor->result(), QDialog::Rejected);
    EXPECT_EQ(modelText(m.model), before);

    open();
    page(editor->Tables());
    clickRow(editor->Tables()->TableList(), "Customers");
    click(editor->Tables()->DeleteButton());
    ok();
    EXPECT_FALSE(m.model.TableByName(tlByName, "Customers"));
    EXPECT_EQ(m.model.LinkCount(), 0);
    EXPECT_FALSE(m.model.FieldByName(flByDisplayName, "City"));
}

TEST_F(EditorTest, DiagramDragsReachTheModelOnOkAndTheDiagramFollowsTheOtherPages)
{
    // The diagram shows a box per table and a line per link.
    page(editor->Diagram());
    const auto panel = [this] { return editor->Diagram()->Panel(); };
    ASSERT_EQ(panel()->TablesRep().Count(), 2);
    EXPECT_EQ(panel()->LinksRep().Count(), 1);
    const auto drag = [&] {
        QWidget* title = panel()->TablesRep()[0]->TitleBar();
        QTest::mousePress(title, Qt::LeftButton, {}, QPoint(40, 9));
        QTest::mouseMove(title, QPoint(70, 29));
        QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(70, 29));
    };
    drag();
    const QString moved = editor->Copy().Tables(0)->DesignPositions();
    EXPECT_NE(moved, m.model.Tables(0)->DesignPositions());
    click(editor->CancelButton());
    EXPECT_EQ(modelText(m.model), before);

    open();
    page(editor->Tables());
    clickRow(editor->Tables()->TableList(), "Customers");
    click(editor->Tables()->DeleteButton());
    page(editor->Diagram());
    ASSERT_EQ(panel()->TablesRep().Count(), 1);
    EXPECT_EQ(panel()->LinksRep().Count(), 0);
    EXPECT_FALSE(editor->Diagram()->EditLinkButton()->isEnabled());
    drag();
    ok();
    EXPECT_EQ(m.model.Tables(0)->DesignPositions(), moved);
}

TEST_F(EditorTest, TablesAreAddedAndReordered)
{
    TablesPage* tables = editor->Tables();
    page(tables);
    click(tables->AddButton());
    type(tables->NameEdit(), "(select * from Items)");
    type(tables->AliasEdit(), "it");
    EXPECT_EQ(tables->FromLabel()->text(), "(select * from Items) it");
    click(tables->UpButton());
    ok();
    ASSERT_EQ(m.model.TableCount(), 3);
    EXPECT_EQ(m.model.Tables(1)->TableName(), "(select * from Items)");
    EXPECT_EQ(m.model.Tables(2)->TableName(), "Orders");
}

TEST_F(EditorTest, EntitiesAreAddedRenamedDeletedAndTakeAttributes)
{
    EntitiesPage* entities = editor->Entities();
    page(entities);
    click(entities->AddButton());
    type(entities->NameEdit(), "Money");
    entities->Tree()->expandAll();
    clickNode(entities->Tree(), entities->FieldNode(editor->Copy().FieldByName(flByDisplayName, "Amount")));
    choose(entities->TargetCombo(), "Money");
    click(entities->MoveButton());
    clickNode(entities->Tree(), entities->GroupNode(editor->Copy().FieldGroups().FindByName("Orders")));
    click(entities->DeleteButton());
    ok();
    ASSERT_EQ(m.model.FieldGroups().Count(), 1);
    const TDSFieldGroup* money = m.model.FieldGroups().FindByName("Money");
    ASSERT_TRUE(money);
    EXPECT_EQ(money->Count(), 1);
    EXPECT_EQ(money->Items(0)->DisplayName(), "Amount");
    EXPECT_EQ(m.model.FieldByName(flByDisplayName, "Ordered on")->Group(), m.model.RootGroup());
}

TEST_F(EditorTest, AttributeSettingsAndValueEditorsReachTheModel)
{
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    clickRow(attributes->FieldList(), "City");
    type(attributes->DisplayNameEdit(), "Town");
    click(attributes->ResultsBox());
    // Operators beyond the type's are kept; the model text gives a field
    // offered in conditions its type's operators whenever it is read.
    clickRow(attributes->FieldList(), "Paid");
    toggleRow(attributes->OperatorList(), "is less than");
    clickRow(attributes->FieldList(), "Town");
    choose(attributes->EditorCombo(), "Text");
    type(attributes->DefaultValueEdit(), "London");
    click(attributes->UpperCaseBox());

    clickRow(attributes->FieldList(), "Status");
    ASSERT_EQ(attributes->ListItems()->rowCount(), 3);
    click(attributes->AddItemButton());
    QTest::keyClicks(QApplication::focusWidget(), "X");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    clickRow(attributes->FieldList(), "Customer");
    choose(attributes->EditorCombo(), "SQL list");
    attributes->SQLEdit()->setFocus();
    QTest::keyClicks(attributes->SQLEdit(), "select Name from Customers");

    clickRow(attributes->FieldList(), "Paid");
    choose(attributes->EditorCombo(), "Custom");
    attributes->CustomDataEdit()->setFocus();
    QTest::keyClicks(attributes->CustomDataEdit(), "picker=yesno");

    clickRow(attributes->FieldList(), "Total");
    type(attributes->ExpressionEdit(), "sum(o.Amount * 2)");
    click(attributes->AggregateBox());
    ok();

    const TDSField* town = m.model.FieldByName(flByDisplayName, "Town");
    ASSERT_TRUE(town);
    EXPECT_FALSE(town->UseInResult());
    EXPECT_EQ(m.model.FieldByName(flByDisplayName, "Paid")->GetOperatorNames().split(',').last(), "LessThan");
    const auto* text = dynamic_cast<const TDSTextEditor*>(town->ValueEditor());
    ASSERT_TRUE(text);
    EXPECT_EQ(text->DefaultValue, "London");
    EXPECT_TRUE(text->AutoUpperCase());
    const auto* list = dynamic_cast<const TDSListEditor*>(m.model.FieldByName(flByDisplayName, "Status")->ValueEditor());
    EXPECT_EQ(list->Values.CommaText(), "O,S,C,X");
    ASSERT_EQ(list->Items.Count(), 4);
    EXPECT_EQ(list->Items[3], "");
    const auto* sql = dynamic_cast<const TDSSQLEditor*>(m.model.FieldByName(flByDisplayName, "Customer")->ValueEditor());
    ASSERT_TRUE(sql);
    EXPECT_EQ(sql->SQL.Text(), "select Name from Customers\n");
    const auto* custom = dynamic_cast<const TDSCustomEditor*>(m.model.FieldByName(flByDisplayName, "Paid")->ValueEditor());
    ASSERT_TRUE(custom);
    EXPECT_EQ(custom->Data().Text(), "picker=yesno\n");
    const TDSField* total = m.model.FieldByName(flByDisplayName, "Total");
    EXPECT_EQ(total->FieldExpr(), "sum(o.Amount * 2)");
    EXPECT_FALSE(total->IsAggregate());
}

TEST_F(EditorTest, AttributesAreAddedByKindAndDeleted)
{
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    choose(attributes->TableFilter(), "Customers");
    EXPECT_EQ(rows(attributes->FieldList()), 2);
    click(attributes->AddDataButton());
    type(attributes->ExpressionEdit(), "Zip Code");
    click(attributes->QuotedBox());
    click(attributes->AddVirtualButton());
    choose(attributes->TableFilter(), "All tables");
    clickRow(attributes->FieldList(), "Ordered on");
    click(attributes->DeleteButton());
    clickRow(attributes->FieldList(), "Amount");
    choose(attributes->KindCombo(), "Virtual");
    type(attributes->ExpressionEdit(), "o.Amount + 1");
    ok();

    const TDSField* zip = m.model.FieldByName(flByFieldExpr, "Zip Code");
    ASSERT_TRUE(zip);
    EXPECT_EQ(zip->Table(), m.model.TableByName(tlByName, "Customers"));
    EXPECT_TRUE(zip->Quoted());
    EXPECT_GT(zip->ID(), 8);
    EXPECT_TRUE(m.model.FieldByName(flByDisplayName, "New field"));
    EXPECT_FALSE(m.model.FieldByName(flByDisplayName, "Ordered on"));
    const TDSField* amount = m.model.FieldByName(flByDisplayName, "Amount");
    EXPECT_EQ(amount->FieldKind(), kfkVirtual);
    EXPECT_EQ(amount->Tables().CommaText(), "o");
}

TEST_F(EditorTest, OperatorCatalogueIsEditedAndResetWithFieldsKeepingTheirOperators)
{
    OperatorsPage* operators = editor->Operators();
    page(operators);
    clickRow(operators->OperatorList(), "Contains");
    type(operators->CaptionEdit(), "has");
    toggleRow(operators->TypeList(), "ftMemo");
    click(operators->AddButton());
    type(operators->NameEdit(), "Near");
    type(operators->TemplateEdit(), "abs(@f - @1) < @2");
    EXPECT_EQ(operators->ValuesLabel()->text(), "2");
    choose(operators->KindCombo(), "List");
    clickRow(operators->OperatorList(), "IsNull");
    click(operators->DeleteButton());
    ok();
    EXPECT_EQ(m.model.OperatorByName("Contains")->DisplayName(), "has");
    EXPECT_FALSE(m.model.OperatorByName("Contains")->AppliedTypes.Contains(ftMemo));
    EXPECT_EQ(m.model.OperatorByName("Near")->SQLExpr(), "abs(@f - @1) < @2");
    EXPECT_EQ(m.model.OperatorByName("Near")->ValueKind(), vkList);
    EXPECT_FALSE(m.model.OperatorByName("IsNull"));
    const QString customerOperators = m.model.FieldByName(flByDisplayName, "Customer")->GetOperatorNames();
    EXPECT_TRUE(customerOperators.endsWith(",NotBetween,Near"));
    open();
    page(editor->Operators());
    click(editor->Operators()->ResetButton());
    ok();
    EXPECT_EQ(m.model.OperatCount(), 15);
    EXPECT_FALSE(m.model.OperatorByName("Near"));
    EXPECT_EQ(m.model.OperatorByName("Contains")->DisplayName(), "contains");
    const QStringList reset = m.model.FieldByName(flByDisplayName, "Customer")->GetOperatorNames().split(',');
    EXPECT_EQ(reset.size(), 15);
    EXPECT_FALSE(reset.contains("Near"));
}

TEST_F(EditorTest, ConditionsAreAddedEditedAndDeleted)
{
    ConditionsPage* conditions = editor->Conditions();
    page(conditions);
    click(conditions->AddButton());
    type(conditions->CaptionEdit(), "city is @ or @");
    type(conditions->SQLEdit(), "c.City in ('@1', '@2')");
    ASSERT_EQ(conditions->ValueTable()->rowCount(), 2);
    choose(static_cast<QComboBox*>(conditions->ValueTable()->cellWidget(1, 1)), "ftWideString");
    clickRow(conditions->ConditionList(), "amount above");
    click(conditions->DeleteButton());
    ok();
    ASSERT_EQ(m.model.Conditions().Count(), 1);
    const TDSCondition* city = m.model.Conditions().Items(0);
    EXPECT_EQ(city->ID(), 2);
    EXPECT_EQ(city->SQLExpr(), "c.City in ('@1', '@2')");
    EXPECT_EQ(city->Tables().CommaText(), "c");
    EXPECT_EQ(city->Values()[0]->DataType(), ftString);
    EXPECT_EQ(city->Values()[1]->DataType(), ftWideString);
}

TEST_F(EditorTest, CancelAfterEditsOnEveryPageLeavesTheModelTextUnchanged)
{
    page(editor->Tables());
    click(editor->Tables()->AddButton());
    page(editor->Entities());
    click(editor->Entities()->AddButton());
    page(editor->Attributes());
    clickRow(editor->Attributes()->FieldList(), "Amount");
    type(editor->Attributes()->DisplayNameEdit(), "Sum");
    page(editor->Operators());
    click(editor->Operators()->ResetButton());
    page(editor->Conditions());
    click(editor->Conditions()->DeleteButton());
    QTest::keyClick(editor.get(), Qt::Key_Escape);
    EXPECT_EQ(editor->result(), QDialog::Rejected);
    EXPECT_EQ(modelText(m.model), before);
}

// OK in the data model editor over the sample model while a query uses it:
// the query, and any other listener of the model, loses only what uses the
// entities the user deleted, and follows what the user renamed.

#include "designer/editor_fixtures.h"

#include <brindle/designer/attributes_page.h>
#include <brindle/designer/operators_page.h>
#include <brindle/designer/tables_page.h>
#include <brindle/query/query.h>

#include <QDir>

using namespace brindle;

namespace {

// Everything the model announces.
struct ModelLog : IModelListener {
    QList<TModelRemoval> Removals;
    int Updates = 0;
    void ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal) override { Removals << removal; }
    void ModelEntitiesUpdated(TVxCustomDBStructure*) override { ++Updates; }
    void ModelDestroying(TVxCustomDBStructure*) override {}
};

class SampleEditorTest : public ::fixtures::EditorTest {
protected:
    void SetUp() override
    {
        LabelWindow::SetUp();
        brindle::SetAskHandler([](const QString&) { return true; });
        sample.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
        query.SetDbStruct(&sample);
        query.SetActive(true);
        query.LoadFromFile(QDir(QStringLiteral(BRINDLE_EXAMPLE_QUERIES)).filePath("uk_orders_2024.qry"));
        sample.AddModelListener(&log);
        ASSERT_EQ(query.Filter()->GetRowCount(), 2);
        ASSERT_EQ(query.QResult()->ResultFields().Count(), 4);
        country = row(0);
        date = row(1);
        textBefore = queryText();
        sqlBefore = sql();
        ASSERT_NE(sqlBefore.find("Cust.Country"), std::string::npos) << sqlBefore;
    }
    void openSample()
    {
        editor = std::make_unique<TdlgDataModelEditor>(sample, &window);
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
    }
    // Equal takes no value and Between one, without the word between two.
    void takeFewerValues()
    {
        openSample();
        OperatorsPage* operators = editor->Operators();
        page(operators);
        clickRow(operators->OperatorList(), "Equal \u2013");
        type(operators->TemplateEdit(), "@f IS NOT NULL");
        clickRow(operators->OperatorList(), "Between");
        type(operators->TemplateEdit(), "@f >= '@1'");
        type(operators->FormatEdit(), "");
        QTest::keyClick(operators->FormatEdit(), Qt::Key_Backspace);
        ok();
    }
    TSimpleCond* row(int index) const { return static_cast<TSimpleCond*>(query.Filter()->GetRow(index)); }
    std::string queryText()
    {
        TStringList lines;
        query.SaveToStrings(lines);
        return lines.Text().toStdString();
    }
    std::string sql()
    {
        query.BuildQuery();
        return query.QResult()->GetSQL().Text().toStdString();
    }

    // Declared first, so the model tells it of its end.
    ModelLog log;
    TVxDBStructure sample;
    TVxQuery query;
    TSimpleCond* country = nullptr;
    TSimpleCond* date = nullptr;
    std::string textBefore;
    std::string sqlBefore;
};

TEST_F(SampleEditorTest, DeletingAFieldTakesOnlyTheRowAndTheColumnThatUseIt)
{
    const TDSField* orderDate = date->Field();
    openSample();
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    clickRow(attributes->FieldList(), "Order date");
    click(attributes->DeleteButton());
    ok();
    ASSERT_EQ(query.Filter()->GetRowCount(), 1);
    EXPECT_EQ(row(0), country);
    QStringList captions;
    for (const auto& column : query.QResult()->ResultFields())
        captions << column->Caption();
    EXPECT_EQ(captions, QStringList({"Order number", "Customer", "Sales total"}));
    ASSERT_EQ(log.Removals.size(), 1);
    const TModelRemoval& removed = log.Removals[0];
    EXPECT_EQ(removed.Fields, QSet<const TDSField*>{orderDate});
    EXPECT_TRUE(removed.Tables.isEmpty() && removed.Links.isEmpty() && removed.Operators.isEmpty()
                && removed.Conditions.isEmpty());
    EXPECT_EQ(sql().find("Order Date"), std::string::npos);
}

TEST_F(SampleEditorTest, RenamesKeepTheRowsAndTheStatementFollowsThem)
{
    const TDSOperator* between = date->Operator();
    openSample();
    AttributesPage* attributes = editor->Attributes();
    page(attributes);
    clickRow(attributes->FieldList(), "Customer country");
    type(attributes->DisplayNameEdit(), "Country of the customer");
    type(attributes->ExpressionEdit(), "CountryName");
    page(editor->Tables());
    clickRow(editor->Tables()->TableList(), "Customers");
    type(editor->Tables()->NameEdit(), "Clients");
    OperatorsPage* operators = editor->Operators();
    page(operators);
    clickRow(operators->OperatorList(), "Between");
    type(operators->CaptionEdit(), "lies between");
    ok();

    EXPECT_TRUE(log.Removals.isEmpty());
    ASSERT_EQ(query.Filter()->GetRowCount(), 2);
    EXPECT_EQ(row(0), country);
    EXPECT_EQ(row(1), date);
    EXPECT_EQ(date->Operator(), between);
    EXPECT_EQ(country->Label1()->Caption(), "Country of the customer");
    EXPECT_EQ(date->Label2()->Caption(), "lies between");
    EXPECT_EQ(query.QResult()->ResultFields().Count(), 4);
    const std::string statement = sql();
    EXPECT_NE(statement.find("Clients Cust"), std::string::npos) << statement;
    EXPECT_NE(statement.find("Cust.CountryName"), std::string::npos) << statement;
    EXPECT_EQ(statement.find("Customers"), std::string::npos) << statement;
}

// Operators edited to take fewer values: the rows drop the values, and the
// words for them, that the operators no longer take, so that what is saved
// reads back the same.
TEST_F(SampleEditorTest, OperatorsThatTakeFewerValuesReshapeTheirRows)
{
    takeFewerValues();
    EXPECT_EQ(row(0), country);
    EXPECT_EQ(country->Label3(), nullptr);
    EXPECT_TRUE(country->GetValue(1).isEmpty());
    EXPECT_EQ(row(1), date);
    ASSERT_NE(date->Label3(), nullptr);
    EXPECT_EQ(date->Label4(), nullptr);
    EXPECT_EQ(date->Label5(), nullptr);
    const std::string text = queryText();
    TStringList lines;
    lines.SetText(QString::fromStdString(text));
    query.LoadFromStrings(lines);
    EXPECT_EQ(queryText(), text);
    const std::string statement = sql();
    EXPECT_NE(statement.find("Cust.Country IS NOT NULL"), std::string::npos) << statement;
    EXPECT_EQ(statement.find("United Kingdom"), std::string::npos) << statement;
}

// Equal and Between change their number of values, and the creation event
// of the first word made anew frees the other row, due to be remade too.
TEST_F(SampleEditorTest, AHostMayFreeRowsWhileWordsAreRemade)
{
    query.OnElementCreate = [this](TFilterCond* made, int, std::unique_ptr<TQueryWord>&) {
        if (query.Filter()->GetRowCount() == 2)
            query.Filter()->DeleteRow(made == row(0) ? 1 : 0);
    };
    openSample();
    page(editor->Operators());
    clickRow(editor->Operators()->OperatorList(), "Equal \u2013");
    type(editor->Operators()->TemplateEdit(), "@f IN ('@1', '@2')");
    clickRow(editor->Operators()->OperatorList(), "Between");
    type(editor->Operators()->TemplateEdit(), "@f >= '@1'");
    ok();
    ASSERT_EQ(query.Filter()->GetRowCount(), 1);
    EXPECT_EQ(row(0)->Label4() != nullptr, row(0) == country);
}

// The sample's operators are the defaults: the reset is an OK without an
// edit, through the installed editor.
TEST_F(SampleEditorTest, ResettingTheCatalogueKeepsTheRowsOfDefaultOperators)
{
    InstallDataModelEditor();
    const TDSOperator* between = date->Operator();
    const TDSField* field = country->Field();
    ::fixtures::onModal<TdlgDataModelEditor>([](TdlgDataModelEditor* dialog) {
        dialog->Pages()->setCurrentWidget(dialog->Operators());
        click(dialog->Operators()->ResetButton());
        click(dialog->OkButton());
    });
    EXPECT_EQ(sample.EditStructure(), QDialog::Accepted);
    EXPECT_EQ(queryText(), textBefore);
    EXPECT_EQ(sql(), sqlBefore);
    EXPECT_TRUE(row(0) == country && country->Field() == field && date->Operator() == between);
    EXPECT_TRUE(log.Removals.isEmpty());
    EXPECT_EQ(log.Updates, 1);
}

} // namespace

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
    TModelRemoval Removed;
    int Updates = 0;
    void ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal) override
    {
        Removed.Fields.unite(removal.Fields);
        Removed.Operators.unite(removal.Operators);
        Removed.Tables.unite(removal.Tables);
        Removed.Links.unite(removal.Links);
        Removed.Conditions.unite(removal.Conditions);
    }
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
    void TearDown() override
    {
        sample.RemoveModelListener(&log);
        EditorTest::TearDown();
    }
    void openSample()
    {
        editor = std::make_unique<TdlgDataModelEditor>(sample, &window);
        editor->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
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

    TVxDBStructure sample;
    TVxQuery query;
    ModelLog log;
    TSimpleCond* country = nullptr;
    TSimpleCond* date = nullptr;
    std::string textBefore;
    std::string sqlBefore;
};

TEST_F(SampleEditorTest, OkWithoutAnEditKeepsTheQueryAndTellsOfNoRemoval)
{
    InstallDataModelEditor();
    const TDSField* field = country->Field();
    ::fixtures::onModal<TdlgDataModelEditor>([](TdlgDataModelEditor* dialog) { click(dialog->OkButton()); });
    EXPECT_EQ(sample.EditStructure(), QDialog::Accepted);
    EXPECT_EQ(queryText(), textBefore);
    EXPECT_EQ(sql(), sqlBefore);
    ASSERT_EQ(query.Filter()->GetRowCount(), 2);
    EXPECT_EQ(row(0), country);
    EXPECT_EQ(country->Field(), field);
    EXPECT_TRUE(log.Removed.IsEmpty());
    EXPECT_EQ(log.Updates, 1);
}

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
    EXPECT_EQ(log.Removed.Fields, QSet<const TDSField*>{orderDate});
    EXPECT_TRUE(log.Removed.Tables.isEmpty() && log.Removed.Links.isEmpty() && log.Removed.Operators.isEmpty()
                && log.Removed.Conditions.isEmpty());
    EXPECT_EQ(sql().find("Order Date"), std::string::npos);
}

TEST_F(SampleEditorTest, DeletingATableTakesItsFieldsAndLinksOnly)
{
    TDSTable* shippers = sample.TableByName(tlByAlias, "Shp");
    QSet<const TDSField*> shipperFields;
    for (int i = 0; i < sample.FieldCount(); ++i)
        if (sample.Fields(i)->Tables().IndexOf(shippers) >= 0)
            shipperFields.insert(sample.Fields(i));
    QSet<const TDSLink*> shipperLinks;
    for (int i = 0; i < shippers->LinkCount(); ++i)
        shipperLinks.insert(shippers->Links(i));
    ASSERT_FALSE(shipperFields.isEmpty());
    openSample();
    page(editor->Tables());
    clickRow(editor->Tables()->TableList(), "Shippers");
    click(editor->Tables()->DeleteButton());
    ok();
    EXPECT_EQ(log.Removed.Tables, QSet<const TDSTable*>{shippers});
    EXPECT_EQ(log.Removed.Fields, shipperFields);
    EXPECT_EQ(log.Removed.Links, shipperLinks);
    EXPECT_EQ(queryText(), textBefore);
    EXPECT_EQ(sql(), sqlBefore);
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

    EXPECT_TRUE(log.Removed.IsEmpty());
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

TEST_F(SampleEditorTest, CancelKeepsTheModelTextAndTellsNothing)
{
    const QString modelBefore = ::fixtures::modelText(sample);
    openSample();
    page(editor->Tables());
    clickRow(editor->Tables()->TableList(), "Shippers");
    click(editor->Tables()->DeleteButton());
    click(editor->CancelButton());
    EXPECT_EQ(::fixtures::modelText(sample), modelBefore);
    EXPECT_TRUE(log.Removed.IsEmpty());
    EXPECT_EQ(log.Updates, 0);
    EXPECT_EQ(queryText(), textBefore);
}

} // namespace

// OK in the data model editor over the sample model while a query uses it:
// the query, and any other listener of the model, loses only what uses the
// entities the user deleted, and follows what the user renamed.

#include "designer/editor_fixtures.h"

#include <brindle/query/query.h>

#include <QDir>

using namespace brindle;

namespace {

// Everything the model announces.
struct ModelLog : IModelListener {
    TModelRemoval Removed;
    void ModelEntitiesRemoving(TVxCustomDBStructure*, const TModelRemoval& removal) override
    {
        Removed.Fields.unite(removal.Fields);
        Removed.Operators.unite(removal.Operators);
        Removed.Tables.unite(removal.Tables);
        Removed.Links.unite(removal.Links);
        Removed.Conditions.unite(removal.Conditions);
    }
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
}

} // namespace

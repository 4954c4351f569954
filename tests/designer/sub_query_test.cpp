// Sub-query values edited in their dialog: what OK stores and Cancel leaves,
// compared with the same sub-query built through the query's own calls.

#include "panels/panel_fixtures.h"

#include <brindle/designer/result_fields_editor.h>

#include <brindle/designer/sub_query_dialog.h>
#include <brindle/panels/fields_tree.h>

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

using namespace brindle;

namespace {

using ::fixtures::onMenuTag;
using ::fixtures::onPopup;

class SubQuery : public ::fixtures::PanelWindow {
protected:
    void SetUp() override
    {
        ::fixtures::PanelWindow::SetUp();
        inQuery = m.model.Operators(m.model.AddOperator("InQuery", "is in", "@f in (@1)", "", BrStringTypes));
        inQuery->SetValueKind(vkSubQuery);
        m.custName->AddOperator(inQuery);
        panel->SetActive(true);
        cond = brindle::fixtures::addCondition(panel->Query(), panel->Query().Filter(), m.custName, inQuery);
    }
    // Runs the steps on the dialog once the value word opens it.
    void onDialog(std::function<void(TdlgSubQuery&)> steps)
    {
        QTimer::singleShot(0, [steps] {
            auto* dialog = qobject_cast<TdlgSubQuery*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            steps(*dialog);
        });
        QTest::mouseClick(panel->GetRowControl(cond, 3), Qt::LeftButton);
    }

    TDSOperator* inQuery = nullptr;
    TSimpleCond* cond = nullptr;
};

TEST_F(SubQuery, OkStoresTheSubQueryAndCancelLeavesIt)
{
    panel->Query().SetTitle("ttlResultField", "Column");
    panel->Query().SetSQLOptions(panel->Query().SQLOptions() - TSQLOptions{soSelectDistinct});
    onDialog([this](TdlgSubQuery& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Sub-query");
        EXPECT_EQ(dialog.ResultFieldCaption()->text(), "Column:");
        // A new sub-query selects the model's first field.
        EXPECT_EQ(dialog.ResultFieldWord()->Caption(), m.custName->DisplayName());
        EXPECT_FALSE(dialog.QPanel().Appearance().Options().Contains(aoAllowParams));
        // The user picks the city as the column, ticks Distinct and adds a
        // condition through the add-row line.
        QTimer::singleShot(0, [] {
            auto* editor = qobject_cast<TdlgRFieldsEditor*>(QApplication::activeModalWidget());
            ASSERT_TRUE(editor);
            EXPECT_EQ(editor->MaxFieldCount(), 1);
            const FieldsTreeModel* fields = editor->FieldsModel();
            editor->FieldsTree()->setCurrentIndex(
                fields->match(fields->index(0, 0), Qt::DisplayRole, "City", 1, Qt::MatchRecursive).value(0));
            onMenuTag(rfaAsIs);
            QTest::mouseClick(editor->AddButton(), Qt::LeftButton);
            QTest::mouseClick(editor->OkButton(), Qt::LeftButton);
        });
        QTest::mouseClick(dialog.ResultFieldWord(), Qt::LeftButton);
        EXPECT_EQ(dialog.ResultFieldWord()->Caption(), "City");
        QTest::mouseClick(dialog.DistinctBox(), Qt::LeftButton);
        dialog.QPanel().Appearance().SetOptions(dialog.QPanel().Appearance().Options()
                                                - TQPAppearanceOptions{aoFieldsMenuOnAdd});
        QTest::mouseClick(dialog.QPanel().AddRowLabel(), Qt::LeftButton);
        QTest::mouseClick(dialog.Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });

    reference.SetSQLOptions(panel->Query().SQLOptions() + TSQLOptions{soSelectDistinct});
    reference.QResult()->ResultFields().SetUseAliases(false);
    reference.QResult()->ResultFields().Add("@1", {m.custCity}, "City");
    reference.AddCondition(reference.Filter(), nullptr);
    reference.BuildQuery();
    const QString sql = reference.QResult()->GetSQL().Text().simplified();
    EXPECT_EQ(cond->GetValue(1).simplified().toStdString(), sql.toStdString());
    EXPECT_FALSE(cond->GetValue(1).contains('\n'));
    EXPECT_EQ(panel->GetRowControl(cond, 3)->Caption(), "Sub-query");
    EXPECT_TRUE(cond->SubQueryOptions().Contains(soSelectDistinct));
    // The stored sub-query reads back into the same statement.
    TVxQuery back;
    back.SetDbStruct(&m.model);
    back.SetActive(true);
    back.LoadFromStrings(cond->SubQuery());
    back.BuildQuery();
    EXPECT_EQ(back.QResult()->GetSQL().Text().simplified().toStdString(), sql.toStdString());

    const QStringList stored = cond->SubQuery().Lines();
    const QString value = cond->GetValue(1);
    onDialog([](TdlgSubQuery& dialog) {
        EXPECT_EQ(dialog.ResultFieldWord()->Caption(), "City");
        EXPECT_EQ(dialog.QPanel().Query().Filter()->GetRowCount(), 1);
        EXPECT_TRUE(dialog.DistinctBox()->isChecked());
        QTest::mouseClick(dialog.DistinctBox(), Qt::LeftButton);
        QTest::mouseClick(dialog.Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
    });
    EXPECT_EQ(cond->SubQuery().Lines(), stored);
    EXPECT_EQ(cond->GetValue(1), value);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// The host frees the condition's field while the dialog is open: the row
// goes with its words, and OK stores nothing into them.
TEST_F(SubQuery, AFieldFreedWhileTheDialogIsOpenTakesTheRow)
{
    onDialog([this](TdlgSubQuery& dialog) {
        m.model.DelField(m.model.IndexOfField(m.custName));
        QApplication::processEvents();
        QTest::mouseClick(dialog.Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QApplication::processEvents();
    EXPECT_EQ(panel->Query().Filter()->GetRowCount(), 0);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

} // namespace

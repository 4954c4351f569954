// The result fields editor driven as a user drives it (tree, Add and its
// menu, the grids' buttons, cells and menus), each list it saves compared
// by its statement with the same list made through the core's calls.

#include "panels/label_fixtures.h"
#include "query/query_fixtures.h"

#include <brindle/designer/result_fields_editor.h>
#include <brindle/panels/fields_tree.h>
#include <brindle/panels/interaction.h>
#include <brindle/panels/type_filter.h>

#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

using namespace brindle;

namespace {

using ::fixtures::onMenuTag;
using ::fixtures::onPopup;

class RFieldsEditor : public ::fixtures::LabelWindow {
protected:
    void SetUp() override
    {
        LabelWindow::SetUp();
        SetAskHandler([this](const QString& question) {
            asked.append(question);
            return answer;
        });
        dialog = std::make_unique<TdlgRFieldsEditor>(&window);
        dialog->SetDBStructure(&m.model);
        dialog->SetOptions({rfdShowSorting});
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    }
    void TearDown() override
    {
        EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
        SetAskHandler({});
        LabelWindow::TearDown();
    }
    void pick(TDSField* field)
    {
        QTreeView* tree = dialog->FieldsTree();
        const QModelIndex node = dialog->FieldsModel()->IndexOf(field);
        ASSERT_TRUE(node.isValid()) << field->DisplayName().toStdString();
        tree->scrollTo(node);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(node).center());
    }
    void add(TDSField* field, int tag)
    {
        pick(field);
        onMenuTag(tag);
        QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
    }
    static QPoint cell(QTableWidget* grid, int row, int column = 1)
    {
        return grid->visualItemRect(grid->item(row, column)).center();
    }
    static void selectRow(QTableWidget* grid, int row)
    {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(grid, row));
    }
    static void gridMenu(QTableWidget* grid, int row, int tag)
    {
        selectRow(grid, row);
        onMenuTag(tag);
        const QPoint at = cell(grid, row);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &event);
    }
    void edit(int row, int column, const QString& text)
    {
        QTableWidget* grid = dialog->ResultGrid();
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell(grid, row, column));
        QTest::keyClick(grid, Qt::Key_F2);
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        ASSERT_TRUE(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The view commits and frees its editor later.
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    static QStringList rows(const QTableWidget* grid)
    {
        QStringList texts;
        for (int row = 0; row < grid->rowCount(); ++row)
            texts.append(QStringList{grid->item(row, 0)->text(), grid->item(row, 1)->text(), grid->item(row, 2)->text()}
                             .join(' '));
        return texts;
    }
    // The statement of a query whose result fields the function fills.
    std::string sql(const std::function<void(TRFieldList&)>& fill)
    {
        TVxQuery query;
        query.SetDbStruct(&m.model);
        query.SetActive(true);
        fill(query.QResult()->ResultFields());
        query.BuildQuery();
        return query.QResult()->GetSQL().Text().toStdString();
    }
    std::string saved() { return sql([this](TRFieldList& list) { dialog->Save(list); }); }

    brindle::fixtures::QueryModel m;
    std::unique_ptr<TdlgRFieldsEditor> dialog;
    QStringList asked;
    bool answer = true;
};

TEST_F(RFieldsEditor, AddingEditingAndSortingBuildWhatTheCoreBuilds)
{
    add(m.amount, rfaSum);
    add(m.amount, rfaSum);
    add(m.custCity, rfaAsIs);
    selectRow(dialog->ResultGrid(), 0);
    add(m.orderID, rfaAdd);
    QTest::mouseClick(dialog->NewButton(), Qt::LeftButton);
    edit(3, 2, "={Amount} * 2");
    edit(0, 1, "Total");
    EXPECT_TRUE(dialog->isVisible()); // Return ends the edit, not the dialog
    selectRow(dialog->ResultGrid(), 2);
    QTest::mouseClick(dialog->SortButton(), Qt::LeftButton);
    gridMenu(dialog->SortGrid(), 0, stDescending);
    gridMenu(dialog->ResultGrid(), 0, rfmSort);

    EXPECT_EQ(rows(dialog->ResultGrid()), QStringList({"1 Total =SUM({Amount}) + {Order}",
                                                       "2 Amount Sum1 =SUM({Amount})", "3 City ={City}",
                                                       "4 NewField ={Amount} * 2"}));
    EXPECT_EQ(rows(dialog->SortGrid()), QStringList({"1 City Descending", "2 Total Ascending"}));
    EXPECT_EQ(saved(), sql([this](TRFieldList& list) {
                  list.Add("SUM(@1) + @2", {m.amount, m.orderID}, "Total");
                  list.Add("SUM(@1)", {m.amount}, "Amount Sum1");
                  list.Add("@1", {m.custCity}, "City");
                  list.Add("@1 * 2", {m.amount}, "NewField");
                  list.GetRField(2)->SetSorting(stDescending);
                  list.GetRField(0)->SetSorting(stAscending);
              }));
}

TEST_F(RFieldsEditor, OptionsShapeTheMenuAndTheGrids)
{
    struct Case {
        TRFDOptions options;
        QList<int> tags;
        bool sortPart, resultPart, expressionEditable;
    };
    const QList<int> common = {rfaSum, rfaCount, rfaMin, rfaMax, rfaAverage};
    const QList<int> arithmetic = {rfaAdd, rfaSubtract, rfaMultiply, rfaDivide};
    const QList<Case> cases = {
        {{}, QList<int>{rfaAsIs} + common + arithmetic, false, true, true},
        {{rfdListFunc, rfdCountDistinctFunc, rfdDisableExpressions},
         QList<int>{rfaAsIs} + common + QList<int>{rfaList, rfaCountDistinct} + arithmetic, false, true, false},
        {{rfdOnlySorting}, QList<int>{rfaAsIs, rfaJustSorting} + common + arithmetic, true, false, true},
    };
    TRFieldList one(&m.model);
    one.Add("@1", {m.amount}, "Amount");
    dialog->Load(one);
    for (const Case& c : cases) {
        dialog->SetOptions(c.options);
        QList<int> shown;
        for (QAction* action : dialog->AddFieldMenu()->actions())
            if (action->isVisible() && !action->isSeparator())
                shown.append(action->data().toInt());
        EXPECT_EQ(shown, c.tags);
        EXPECT_EQ(dialog->SortGrid()->isVisibleTo(dialog.get()), c.sortPart);
        EXPECT_EQ(dialog->ResultGrid()->isVisibleTo(dialog.get()), c.resultPart);
        EXPECT_EQ(dialog->ResultGrid()->item(0, 2)->flags().testFlag(Qt::ItemIsEditable), c.expressionEditable);
    }
    // Only sorting: Add sorts the field at once.
    pick(m.custCity);
    QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
    EXPECT_EQ(rows(dialog->SortGrid()), QStringList{"1 City Ascending"});
    dialog->SetOptions({rfdListFunc, rfdCountDistinctFunc});
    add(m.status, rfaList);
    add(m.status, rfaCountDistinct);
    EXPECT_EQ(rows(dialog->ResultGrid()).mid(2), QStringList({"3 Status List =LIST({Status})",
                                                              "4 Status Distinct Count  =COUNT(DISTINCT {Status})"}));

    TVxQuery titled;
    titled.SetTitle("ttlAddBtnCaption", "&Append field");
    titled.SetTitle("ttlRFETitle", "Columns");
    dialog->SetTitles(&titled);
    EXPECT_EQ(dialog->windowTitle(), "Columns");
    EXPECT_EQ(dialog->AddButton()->width(), dialog->AddButton()->fontMetrics().horizontalAdvance("Append field") + 28);
}

TEST_F(RFieldsEditor, SortOrdersFollowTheMoves)
{
    for (TDSField* field : {m.custCity, m.amount, m.orderID}) {
        add(field, rfaAsIs);
        QTest::mouseClick(dialog->SortButton(), Qt::LeftButton);
    }
    gridMenu(dialog->SortGrid(), 1, stNoSort); // Amount no longer sorted
    QTest::mouseClick(dialog->SortUpButton(), Qt::LeftButton); // Order before City
    selectRow(dialog->ResultGrid(), 0);
    QTest::mouseClick(dialog->ResultDownButton(), Qt::LeftButton); // Amount, City, Order

    EXPECT_EQ(rows(dialog->SortGrid()), QStringList({"1 Order Ascending", "2 City Ascending"}));
    EXPECT_EQ(saved(), sql([this](TRFieldList& list) {
                  for (TDSField* field : {m.amount, m.custCity, m.orderID})
                      list.Add("@1", {field}, field->DisplayName());
                  list.GetRField(2)->SetSorting(stAscending);
                  list.GetRField(1)->SetSorting(stAscending);
              }));
}

TEST_F(RFieldsEditor, TheMaximumFieldCount)
{
    dialog->SetMaxFieldCount(1);
    add(m.amount, rfaSum);
    add(m.custCity, rfaAsIs);
    EXPECT_EQ(saved(), sql([this](TRFieldList& list) { list.Add("@1", {m.custCity}, "City"); }));

    dialog->SetMaxFieldCount(2);
    const auto doubleClick = [this](TDSField* field) {
        pick(field);
        QTreeView* tree = dialog->FieldsTree();
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->currentIndex()).center());
    };
    doubleClick(m.amount);
    EXPECT_EQ(dialog->ResultFields().GetCaption(), "City, Amount");
    doubleClick(m.orderID);
    EXPECT_EQ(dialog->ResultFields().Count(), 2);
    EXPECT_FALSE(dialog->NewButton()->isEnabled());
    EXPECT_FALSE(dialog->AddFieldMenu()->actions()[0]->isEnabled());
    // Extending a column adds none.
    selectRow(dialog->ResultGrid(), 1);
    add(m.orderID, rfaMultiply);
    EXPECT_EQ(dialog->ResultFields().GetRField(1)->Formula(), "@1 * @2");
}

TEST_F(RFieldsEditor, JustSortingEndsAtTheFirstColumn)
{
    TRFieldList empty;
    dialog->Load(empty);
    add(m.orderDate, rfaJustSorting);
    EXPECT_EQ(dialog->ResultGrid()->rowCount(), 0);
    EXPECT_EQ(saved(), sql([this](TRFieldList& list) {
                  list.Add("@1", {m.orderDate}, "Ordered on");
                  list.GetRField(0)->SetSorting(stAscending);
                  list.SetJustSorting(true);
              }));
    add(m.amount, rfaMax);
    EXPECT_EQ(dialog->ResultGrid()->rowCount(), 2);
    EXPECT_FALSE(dialog->ResultFields().JustSorting());
}

TEST_F(RFieldsEditor, DeletingAsksOnlyWhenModalAndCancelKeepsTheCallersList)
{
    TRFieldList callers(&m.model);
    for (TDSField* field : {m.custCity, m.amount, m.status})
        callers.Add("@1", {field}, field->DisplayName());
    dialog->hide();
    dialog->Load(callers);
    QTimer::singleShot(0, [this] {
        ASSERT_EQ(QApplication::activeModalWidget(), dialog.get());
        selectRow(dialog->ResultGrid(), 1);
        answer = false;
        QTest::mouseClick(dialog->DeleteButton(), Qt::LeftButton);
        answer = true;
        QTest::mouseClick(dialog->DeleteButton(), Qt::LeftButton);
        gridMenu(dialog->ResultGrid(), 0, rfmRemoveAll);
        QTest::mouseClick(dialog->CancelButton(), Qt::LeftButton);
    });
    EXPECT_EQ(dialog->exec(), QDialog::Rejected);
    EXPECT_EQ(asked, QStringList({"Delete Field \"Amount\"?", "Delete Field \"Amount\"?", "Are you sure?"}));
    EXPECT_EQ(dialog->ResultFields().Count(), 0);
    EXPECT_EQ(callers.GetCaption(), "City, Amount, Status");

    dialog->Load(callers);
    dialog->show();
    asked.clear();
    selectRow(dialog->ResultGrid(), 0);
    QTest::mouseClick(dialog->DeleteButton(), Qt::LeftButton);
    EXPECT_TRUE(asked.isEmpty());
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(saved(), sql([this](TRFieldList& list) {
                  for (TDSField* field : {m.amount, m.status})
                      list.Add("@1", {field}, field->DisplayName());
              }));
}

TEST_F(RFieldsEditor, HostileModelsAndListsDoNotBreakIt)
{
    // A group node offers no menu: clicking Add opens nothing.
    m.model.FieldGroups().AddGroup("Orders", nullptr)->Add(m.amount);
    dialog->SetDBStructure(&m.model);
    QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->ResultFields().Count(), 0);

    TRFieldList hostile(&m.model);
    hostile.Add("@9 + 1", {m.custCity}, QString(10000, 'x'));
    hostile.Add("COUNT(*)", {m.amount}, "No placeholder");
    hostile.Add("@1", {m.status}, "Status");
    hostile.GetRField(2)->SetSorting(stAscending);
    dialog->Load(hostile);
    m.model.DelField(m.model.IndexOfField(m.status));
    EXPECT_EQ(dialog->ResultGrid()->rowCount(), 2);
    EXPECT_EQ(dialog->SortGrid()->rowCount(), 0);
    const FieldsTreeModel* tree = dialog->FieldsModel();
    EXPECT_TRUE(tree->match(tree->index(0, 0), Qt::DisplayRole, "Status", 1, Qt::MatchRecursive).isEmpty());
    // The field no placeholder names goes when the formula is extended.
    selectRow(dialog->ResultGrid(), 1);
    add(m.orderID, rfaAdd);
    EXPECT_EQ(rows(dialog->ResultGrid())[1], "2 No placeholder =COUNT(*) + {Order}");
    dialog->SetDBStructure(nullptr); // the copy held the old model's fields
    EXPECT_EQ(dialog->ResultFields().Count(), 0);
    for (TVxCustomDBStructure* model : {static_cast<TVxCustomDBStructure*>(nullptr),
                                        static_cast<TVxCustomDBStructure*>(new TVxDBStructure)}) {
        dialog->SetDBStructure(model);
        QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
        QTest::mouseClick(dialog->NewButton(), Qt::LeftButton);
        delete model;
        EXPECT_EQ(dialog->FieldsModel()->rowCount(), 0);
    }
}

// The tree's nodes as shown, a group's fields after it indented, opened or not.
QStringList nodes(const QTreeView* tree)
{
    QStringList shown;
    const QAbstractItemModel* model = tree->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex node = model->index(row, 0);
        shown.append(node.data().toString());
        for (int child = 0; child < model->rowCount(node); ++child)
            shown.append("  " + model->index(child, 0, node).data().toString());
    }
    return shown;
}

TEST_F(RFieldsEditor, TypingFiltersATreeLongerThanItsView)
{
    QTreeView* tree = dialog->FieldsTree();
    TTypeFilter* line = dialog->FieldsFilter();
    tree->setFocus();
    // The query model's few fields fit: typing jumps to a prefix as before.
    QTest::keyClicks(tree, "st");
    EXPECT_EQ(tree->currentIndex().data().toString(), "Status");
    EXPECT_TRUE(line->isHidden());

    TDSFieldGroup* shipping = m.model.FieldGroups().AddGroup("Shipping", nullptr);
    for (int i = 0; i < 100; ++i)
        m.model.Fields(m.model.AddField(kfkVirtual, QString::number(i), QString("Parcel %1").arg(i, 3, 10, QChar('0')),
                                        nullptr))
            ->SetGroup(shipping);
    dialog->SetDBStructure(&m.model);
    const QStringList all = nodes(tree);
    QTest::keyClicks(tree, "oRDEr ON");
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(nodes(tree), QStringList{"Ordered on"});
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(tree, Qt::Key_Backspace);
    // Still a match, the field stays current.
    EXPECT_EQ(nodes(tree), QStringList({"Order", "Ordered on"}));
    EXPECT_EQ(tree->currentIndex().data().toString(), "Ordered on");
    add(m.orderDate, rfaAsIs);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(line->isHidden());
    EXPECT_EQ(nodes(tree), all);
    EXPECT_EQ(tree->currentIndex().data().toString(), "Ordered on");

    // A word in the group's name lets its fields through; the first match is current.
    QTest::keyClicks(tree, "SHIP 07");
    EXPECT_EQ(nodes(tree).size(), 12);
    EXPECT_EQ(tree->currentIndex().data().toString(), "Parcel 007");
    TDSField* parcel = m.model.FieldByName(flByDisplayName, "Parcel 072");
    pick(parcel);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(tree->currentIndex()).center());

    // Typed text is plain text, however long.
    QTest::keyClick(tree, Qt::Key_Escape);
    const QString hostile = QString("(.*[\\^$|?+{})]").repeated(700).left(10000);
    QTest::keyClicks(tree, hostile);
    EXPECT_EQ(line->text(), hostile.left(TTypeFilter::MaxLength));
    EXPECT_EQ(dialog->FieldsModel()->rowCount(), 0);
    EXPECT_FALSE(dialog->AddButton()->isEnabled());
    QTest::keyClick(tree, Qt::Key_Escape);
    EXPECT_EQ(nodes(tree), all);
    QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(saved(), sql([&](TRFieldList& list) {
                  list.Add("@1", {m.orderDate}, "Ordered on");
                  list.Add("@1", {parcel}, "Parcel 072");
              }));
}

} // namespace

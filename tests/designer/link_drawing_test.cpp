// Links drawn, edited and deleted as a user does it, tables added from the
// sample database through the tables list, and the panel over bad input.

#include "designer/design_fixtures.h"

#include <brindle/datamodel/sql_db_info.h>
#include <brindle/designer/link_editor.h>
#include <brindle/designer/tables_list_dialog.h>
#include <brindle/foundations/errors.h>
#include <brindle/panels/interaction.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <climits>

using namespace brindle;

namespace {

class LinkDrawing : public fixtures::DesignWindow {
protected:
    void SetUp() override
    {
        DesignWindow::SetUp();
        a = addTable("A", QRect(10, 10, 110, 160));
        b = addTable("B", QRect(300, 10, 110, 160));
    }
    // Clicks a row of a box's list, as the drawing expects.
    void clickRow(int boxIndex, int row)
    {
        TTableRep* rep = box(boxIndex);
        QTest::mouseClick(rep->FieldsList()->viewport(), Qt::LeftButton, {}, rowPoint(rep, row));
    }
    // Draws from row 1 of box A to row 2 of box B; the editor gets action.
    void draw(std::function<void(TdlgLinkEditor*)> action)
    {
        panel->StartAddLink();
        ASSERT_EQ(panel->AddLinkStage(), alsSelField1);
        clickRow(0, 1);
        ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsSelField2; }));
        QTest::mouseMove(surface(), QPoint(200, 300));
        EXPECT_EQ(panel->NewLink()->LinkNodes2()[0]->Y, 300);
        fixtures::onModal<TdlgLinkEditor>(std::move(action));
        clickRow(1, 2);
        ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsIdle; }));
    }

    TDSTable* a = nullptr;
    TDSTable* b = nullptr;
};

TEST_F(LinkDrawing, ConfirmedLinkJoinsTheClickedColumns)
{
    activate();
    int finished = 0;
    panel->OnAddLinkFinish = [&](TVxStructDesignPanel*, TLinkRep* line) {
        ++finished;
        EXPECT_NE(line, nullptr);
    };
    QString shownTable2;
    draw([&](TdlgLinkEditor* editor) {
        shownTable2 = editor->TableLabel(2)->text();
        EXPECT_EQ(editor->SideBox(0, 1)->currentText(), "c2");
        EXPECT_EQ(editor->SideBox(0, 2)->currentText(), "c3");
        editor->LinkTypeBox()->setCurrentIndex(ltOuterLeft);
        editor->OkButton()->click();
    });
    EXPECT_EQ(shownTable2, "B - B");
    EXPECT_EQ(finished, 1);
    ASSERT_EQ(model.LinkCount(), 1);
    EXPECT_EQ(linkValue("FldName1"), "fld:c2");
    EXPECT_EQ(linkValue("FldName2"), "fld:c3");
    EXPECT_EQ(linkValue("LinkType"), "Left");
    EXPECT_EQ(panel->ActiveLink()->DSLink(), model.Links(0));
    EXPECT_EQ(panel->NewLink(), nullptr);
}

TEST_F(LinkDrawing, CancelledEditorLeavesNoLinkAndThePanelIdle)
{
    // A selected line the finishing event must not be told of.
    addLink(a, b, {"c1"}, {"c1"});
    activate();
    const QString before = fixtures::modelText(model);
    TLinkRep* finished = panel->LinksRep()[0];
    bool told = false;
    panel->OnAddLinkFinish = [&](TVxStructDesignPanel*, TLinkRep* line) {
        told = true;
        finished = line;
    };
    draw([](TdlgLinkEditor* editor) { editor->CancelButton()->click(); });
    EXPECT_TRUE(told);
    EXPECT_EQ(finished, nullptr);
    EXPECT_EQ(fixtures::modelText(model), before);
    EXPECT_EQ(panel->LinksRep().Count(), 1);
    EXPECT_EQ(panel->NewLink(), nullptr);
    EXPECT_EQ(panel->HintLine()->text(), panel->ActionHints().Values("IdleHint"));
}

TEST_F(LinkDrawing, WithoutConnectionTheUserTypesBothSidesAndEmptyPairsAreRefused)
{
    info.IsConnected = false;
    activate();
    EXPECT_EQ(box(0)->FieldsList()->item(0)->text(), "<Not connected>");
    panel->StartAddLink();
    clickRow(0, 0);
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsSelField2; }));
    EXPECT_EQ(panel->NewLink()->DSLink()->Fields1()[0], "Field1");
    EXPECT_EQ(panel->NewLink()->DSLink()->Fields2()[0], "Field2");
    fixtures::onModal<TdlgLinkEditor>([](TdlgLinkEditor* editor) {
        EXPECT_EQ(editor->PairCount(), 0);
        EXPECT_EQ(editor->MessageLine()->text(), "Database not connected");
        // Nothing filled in: OK is refused, the dialog stays.
        editor->accept();
        EXPECT_TRUE(editor->isVisible());
        editor->AddButton()->click();
        editor->SideBox(0, 1)->setEditText("Code");
        EXPECT_FALSE(editor->OkButton()->isEnabled());
        editor->SideBox(0, 2)->setEditText("val:'X'");
        editor->OperatorBox(0)->setCurrentText("<>");
        editor->OkButton()->click();
    });
    clickRow(1, 0);
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsIdle; }));
    ASSERT_EQ(model.LinkCount(), 1);
    EXPECT_EQ(linkValue("FldName2"), "val:'X'");
    EXPECT_EQ(linkValue("Operators"), "<>");
}

TEST_F(LinkDrawing, DoubleClickEditsALineAndCancelKeepsIt)
{
    addLink(a, b, {"c1"}, {"c1"});
    activate();
    const QString before = fixtures::modelText(model);
    const int y = panel->LinksRep()[0]->LinkNodes1()[0]->Y;
    fixtures::onModal<TdlgLinkEditor>([](TdlgLinkEditor* editor) {
        editor->RemovePair(0);
        editor->CancelButton()->click();
    });
    QTest::mouseDClick(surface(), Qt::LeftButton, {}, QPoint(200, y));
    EXPECT_EQ(fixtures::modelText(model), before);

    fixtures::onModal<TdlgLinkEditor>([](TdlgLinkEditor* editor) {
        editor->AddButton()->click();
        editor->SideBox(1, 1)->setEditText("c2");
        editor->OperatorBox(1)->setCurrentText(">=");
        editor->SideBox(1, 2)->setEditText("c3");
        editor->OkButton()->click();
    });
    panel->EditActiveLink();
    // The untouched entry keeps its form; the new one is marked a column.
    EXPECT_EQ(linkValue("FldName1"), "c1,fld:c2");
    EXPECT_EQ(linkValue("Operators"), "=,>=");
    EXPECT_EQ(panel->LinksRep()[0]->LinkNodes1().Count(), 2);
}

TEST_F(LinkDrawing, DeletingATableTakesItsLinesAndSelectsTheNextBox)
{
    TDSTable* c = addTable("C", QRect(10, 300, 110, 160));
    addLink(a, b, {"c1"}, {"c1"});
    addLink(b, c, {"c1"}, {"c1"});
    activate();
    SetAskHandler([](const QString& question) { return question == "Delete table?"; });
    panel->SetActiveTable(box(1));
    fixtures::onMenuTag(2);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 5), box(1)->TitleBar()->mapToGlobal(QPoint(20, 5)));
    QApplication::sendEvent(box(1)->TitleBar(), &menu);
    SetAskHandler({});
    EXPECT_EQ(model.TableCount(), 2);
    EXPECT_EQ(model.LinkCount(), 0);
    EXPECT_TRUE(panel->LinksRep().IsEmpty());
    ASSERT_EQ(panel->TablesRep().Count(), 2);
    EXPECT_EQ(panel->ActiveTable()->DSTable(), c);
    EXPECT_EQ(place(2), "10,300,110,160");
}

TEST_F(LinkDrawing, LinesFollowWhatTheModelFreesAndTheModelGoing)
{
    addLink(a, b, {"c1"}, {"c1"});
    activate();
    panel->StartAddLink();
    clickRow(1, 0);
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsSelField2; }));
    model.DelTable(1);
    EXPECT_EQ(panel->AddLinkStage(), alsIdle);
    EXPECT_EQ(panel->TablesRep().Count(), 1);
    EXPECT_TRUE(panel->LinksRep().IsEmpty());
    auto gone = std::make_unique<TVxDBStructure>();
    gone->SetDatabaseInfo(&info);
    gone->AddTable("X", "X");
    panel->SetDBStruct(gone.get());
    panel->Activate();
    gone.reset();
    EXPECT_FALSE(panel->Active());
    EXPECT_EQ(panel->DBStruct(), nullptr);
}

// A model that goes takes the selection and the drawing along without a
// word to the host, whose handlers may belong to what is being torn down;
// the same changes made by the panel's own work are told.
TEST_F(LinkDrawing, AModelGoingTellsTheHostNothing)
{
    auto gone = std::make_unique<TVxDBStructure>();
    gone->SetDatabaseInfo(&info);
    gone->AddTable("A", "A");
    gone->AddTable("B", "B");
    gone->AddLinkByExpr("A-B:c1=c1");
    panel->SetDBStruct(gone.get());
    panel->Activate();
    ASSERT_TRUE(panel->ActiveTable() && panel->ActiveLink());
    panel->StartAddLink();
    QStringList told;
    panel->OnSelectTable = [&](TVxStructDesignPanel*) { told << "table"; };
    panel->OnSelectLink = [&](TVxStructDesignPanel*) { told << "link"; };
    panel->OnAddLinkFinish = [&](TVxStructDesignPanel*, TLinkRep*) { told << "drawing"; };
    gone.reset();
    EXPECT_FALSE(panel->Active());
    EXPECT_EQ(told.join(' ').toStdString(), "");

    activate();
    panel->StartAddLink();
    panel->CancelAddLink();
    panel->Deactivate();
    EXPECT_EQ(told.join(' ').toStdString(), "table drawing table");
    panel->OnSelectTable = nullptr;
    panel->OnSelectLink = nullptr;
    panel->OnAddLinkFinish = nullptr;
}

TEST_F(LinkDrawing, LinksTheModelFreesWhileTheEditorIsOpenAreLeftAlone)
{
    addTable("C", QRect(10, 300, 110, 160));
    addLink(a, b, {"c1"}, {"c1"});
    activate();
    fixtures::onModal<TdlgLinkEditor>([&](TdlgLinkEditor* editor) {
        model.DelTable(1);
        editor->OkButton()->click();
    });
    EXPECT_FALSE(panel->EditLink(panel->LinksRep()[0]));
    EXPECT_EQ(model.LinkCount(), 0);
    EXPECT_TRUE(panel->LinksRep().IsEmpty());

    // The same during a drawing: it is given up, nothing is added.
    panel->StartAddLink();
    clickRow(0, 0);
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsSelField2; }));
    fixtures::onModal<TdlgLinkEditor>([&](TdlgLinkEditor* editor) {
        model.DelTable(0);
        editor->OkButton()->click();
    });
    clickRow(0, 0);
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->AddLinkStage() == alsIdle; }));
    EXPECT_EQ(model.LinkCount(), 0);
    EXPECT_EQ(model.TableCount(), 1);
    EXPECT_EQ(panel->NewLink(), nullptr);
}

class BadInput : public fixtures::DesignWindow {};

TEST_F(BadInput, MissingModelOrInfoIsADocumentedError)
{
    const auto message = [](auto&& call) {
        try {
            call();
        } catch (const EStructureDesignError& e) {
            return e.Message();
        }
        return QStringLiteral("no error");
    };
    EXPECT_EQ(message([&] { panel->Activate(); }), "Structure is not specified");
    EXPECT_EQ(message([&] { panel->CreateLinkList(); }), "Structure is not specified");
    EXPECT_EQ(message([&] { panel->DBInfo(); }), "Structure is not specified");
    EXPECT_FALSE(panel->Active());
    model.SetDatabaseInfo(nullptr);
    TDSTable* t = addTable("T", QRect(10, 10, 110, 160));
    addLink(t, t, {"c1"}, {"c2"});
    activate();
    EXPECT_EQ(message([&] { panel->DBInfo(); }), "Database info component is not specified");
    bool addFields = false;
    EXPECT_EQ(message([&] { panel->AddTablesDlg(nullptr, addFields); }), "Database info component is not specified");
    // Without an info, links are not drawn.
    EXPECT_TRUE(panel->LinksRep().IsEmpty());
    EXPECT_EQ(box(0)->FieldsList()->item(0)->text(), "<Not connected>");
}

TEST_F(BadInput, FailingColumnListsShowTheErrorInsideTheBox)
{
    addTable("T", QRect(10, 10, 110, 160));
    info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList&) {
        throw EVxDBInfoError(2, "no such table");
    };
    activate();
    QListWidget* list = box(0)->FieldsList();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(0)->text(), "Error! :");
    EXPECT_EQ(list->item(1)->text(), "\"no such table\"");
    // The link editor opens all the same, with the reason.
    TDSLink* link = addLink(model.Tables(0), model.Tables(0), {"x"}, {"y"});
    TdlgLinkEditor editor;
    editor.Load(*link);
    EXPECT_TRUE(editor.MessageLine()->text().startsWith("Error! : "));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(BadInput, OddStoredPlacesAreShownBoundedAndKeptInTheModel)
{
    TDSTable* far = addTable("Far", QRect());
    // Set one by one: a QRect of them would overflow.
    far->DesignLeft = far->DesignTop = far->DesignWidth = far->DesignHeight = INT_MAX;
    TDSTable* negative = addTable("Neg", QRect(-50, -70, 120, 150));
    TDSTable* lonely = addTable("Lonely", QRect(10, 10, 110, 160));
    // A link whose second table is no table of the model gets no line.
    TDSTable outside(nullptr);
    addLink(lonely, &outside, {"c1"}, {"c1"});
    const QString before = fixtures::modelText(model);
    activate();
    EXPECT_EQ(box(0)->geometry(), QRect(TTableRep::MaxCoordinate, TTableRep::MaxCoordinate, TTableRep::MaxExtent,
                                        TTableRep::MaxExtent));
    EXPECT_EQ(box(1)->geometry().topLeft(), QPoint(0, 0));
    EXPECT_TRUE(panel->LinksRep().IsEmpty());
    EXPECT_EQ(fixtures::modelText(model), before);
    EXPECT_EQ(far->DesignLeft, INT_MAX);
    EXPECT_EQ(negative->DesignTop, -70);
    model.DelLink(0);
}

TEST_F(BadInput, ChoosingADatabaseRelistsItsTablesAndTheTableKeepsIt)
{
    // Two databases whose tables differ; the second fails to list at first.
    QString current = "main";
    bool otherFails = true;
    info.OnDBNamesRequest = [](TVxDBInfo*, TStringList& names) {
        names = {"main", "other"};
    };
    info.OnTablesRequest = [&](TVxDBInfo* sender, TStringList& names) {
        current = sender->CurrentDBName();
        if (current == "other" && std::exchange(otherFails, false))
            throw EVxDBInfoError(2, "locked");
        names = current == "other" ? TStringList{"Archive"} : TStringList{"Live"};
    };
    model.SetAutoAddFields(false);
    activate();
    fixtures::onModal<TdlgTablesList>([&](TdlgTablesList* dialog) {
        EXPECT_FALSE(dialog->AddFieldsBox()->isChecked());
        EXPECT_EQ(dialog->TableList()->item(0)->text(), "Live");
        dialog->DatabaseBox()->setCurrentText("other");
        EXPECT_EQ(dialog->TableList()->count(), 0);
        dialog->DatabaseBox()->setCurrentText("main");
        dialog->DatabaseBox()->setCurrentText("other");
        ASSERT_EQ(dialog->TableList()->count(), 1);
        dialog->TableList()->item(0)->setSelected(true);
        dialog->OkButton()->click();
    });
    bool addFields = true;
    ASSERT_TRUE(panel->AddTablesDlg(nullptr, addFields));
    EXPECT_FALSE(addFields);
    ASSERT_EQ(model.TableCount(), 1);
    EXPECT_EQ(model.Tables(0)->DatabaseName(), "other");
    EXPECT_EQ(model.FieldCount(), 0);
    EXPECT_EQ(place(1), "12,10,110,160");
    EXPECT_EQ(panel->ActiveTable()->DSTable(), model.Tables(0));
}

#ifdef BRINDLE_SAMPLE_DB
TEST(TablesList, TablesFromTheSampleDatabaseBecomeBoxesWithTheirFields)
{
    QWidget window;
    window.resize(900, 600);
    window.show();
    TVxSqlDBInfo info;
    info.SetDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
    info.Open();
    TVxDBStructure model;
    model.SetDatabaseInfo(&info);
    TDSTable* kept = model.Tables(model.AddTable("Shippers", "Shippers"));
    kept->SetDesignPositions("12,10,110,160");
    TVxStructDesignPanel panel(&window);
    panel.setGeometry(0, 0, 900, 600);
    panel.show();
    panel.SetDBStruct(&model);
    panel.Activate();

    fixtures::onModal<TdlgTablesList>([](TdlgTablesList* dialog) {
        EXPECT_EQ(dialog->DatabaseBox()->currentText(), "main");
        EXPECT_TRUE(dialog->AddFieldsBox()->isVisible());
        EXPECT_TRUE(dialog->AddFieldsBox()->isChecked());
        QListWidget* tables = dialog->TableList();
        for (const char* name : {"Order Details", "Customers"})
            tables->findItems(QString::fromLatin1(name), Qt::MatchExactly).value(0)->setSelected(true);
        dialog->OkButton()->click();
    });
    TSimpleDSTableList added;
    bool addFields = false;
    ASSERT_TRUE(panel.AddTablesDlg(&added, addFields));
    EXPECT_TRUE(addFields);
    ASSERT_EQ(added.Count(), 2);
    // In the list's order, placed right of the last box.
    EXPECT_EQ(added[0]->TableName(), "Customers");
    EXPECT_EQ(added[0]->DesignPositions(), "162,10,110,160");
    EXPECT_EQ(added[1]->DesignPositions(), "312,10,110,160");
    EXPECT_TRUE(added[1]->Quoted());
    EXPECT_EQ(added[1]->DatabaseName(), "main");
    EXPECT_EQ(panel.ActiveTable()->DSTable(), added[1]);
    EXPECT_EQ(panel.TablesRep()[2]->FieldsList()->item(1)->text(), "ProductID");
    ASSERT_NE(model.FieldGroups().FindByName("Order Details"), nullptr);
    EXPECT_EQ(model.FieldByName(flByFullName, "Order Details.Unit Price")->Quoted(), true);

    fixtures::onModal<TdlgTablesList>([](TdlgTablesList* dialog) { dialog->CancelButton()->click(); });
    EXPECT_FALSE(panel.AddTablesDlg(nullptr, addFields));
    EXPECT_EQ(model.TableCount(), 3);
}
#endif

} // namespace

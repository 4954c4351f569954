// The diagram as a user works it: boxes placed by the arrangement rules,
// lines attached on facing edges, clicks beside lines, boxes dragged by
// their title bars and borders, and what all of it leaves in the model text.

#include "designer/design_fixtures.h"

#include <brindle/datamodel/copy_origins.h>
#include <brindle/foundations/errors.h>

#include <QImage>
#include <QLabel>
#include <QToolButton>

using namespace brindle;

namespace {

class DesignPanel : public fixtures::DesignWindow {};

TEST_F(DesignPanel, ArrangesBoxesInRowsWithinTheClientWidth)
{
    // A missing stored height makes activation arrange every box.
    for (const char* name : {"A", "B", "C"})
        addTable(QString::fromLatin1(name), QRect(0, 0, 100, 0));
    panel->resize(300, 400);
    activate();
    EXPECT_EQ(place(1), "12,10,100,160");
    EXPECT_EQ(place(2), "152,10,100,160");
    EXPECT_EQ(place(3), "12,190,100,160");

    // Reading order puts a box moved to the top left first.
    box(2)->PlaceBox(QRect(0, 0, 100, 160), true);
    panel->RearrangeTables();
    EXPECT_EQ(panel->TablesRep()[0]->DSTable()->TableName(), "C");
    EXPECT_EQ(place(3), "12,10,100,160");
}

TEST_F(DesignPanel, StoredPlacesAreKeptAndLinesAttachOnFacingEdges)
{
    TDSTable* left = addTable("L", QRect(10, 10, 110, 160));
    TDSTable* right = addTable("R", QRect(300, 40, 110, 160));
    addLink(right, left, {"fld:c2"}, {"C1"});
    activate();
    EXPECT_EQ(left->DesignPositions(), "10,10,110,160");
    const TLinkRep* line = panel->LinksRep()[0];
    ASSERT_EQ(line->LinkNodes1().Count(), 1);
    // Side 1 is the right box: its left edge faces the left box.
    EXPECT_EQ(line->LinkNodes1()[0]->X, 299);
    EXPECT_EQ(line->LinkNodes1()[0]->MarginSign, -1);
    EXPECT_EQ(line->LinkNodes2()[0]->X, 121);
    EXPECT_EQ(line->LinkNodes2()[0]->MarginSign, 1);
    // Rows are matched without regard to case, at their middles.
    const QPoint row1 = box(0)->FieldsList()->viewport()->mapTo(surface(), fixtures::DesignWindow::rowPoint(box(0), 0));
    EXPECT_NEAR(line->LinkNodes2()[0]->Y, row1.y(), 1);
}

TEST_F(DesignPanel, TwoPairsDrawTwoStubsJoinedAtEachBranchPoint)
{
    TDSTable* a = addTable("A", QRect(10, 10, 110, 160));
    TDSTable* b = addTable("B", QRect(300, 10, 110, 160));
    // Values are no columns; a repeated column is one node.
    addLink(a, b, {"c1", "c3", "val:1", "C1"}, {"c1", "c3", "c2", "c1"});
    activate();
    const TLinkRep* line = panel->LinksRep()[0];
    ASSERT_EQ(line->LinkNodes1().Count(), 2);
    ASSERT_EQ(line->LinkNodes2().Count(), 3);
    const TLinkNode& first = *line->LinkNodes1()[0];
    const TLinkNode& second = *line->LinkNodes1()[1];
    EXPECT_EQ(first.X, second.X);
    EXPECT_GT(second.Y, first.Y);
    const QImage image = surface()->grab().toImage();
    const int branchX = first.X + TLinkRep::StubLength;
    // The second stub runs to the branch X and up to the first node's row.
    EXPECT_EQ(image.pixelColor(first.X + 3, second.Y), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(branchX, (first.Y + second.Y) / 2), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(branchX + 3, (first.Y + second.Y) / 2), QColor(Qt::black));
}

TEST_F(DesignPanel, RowsOutOfViewAttachNearTheEdges)
{
    QStringList many;
    for (int i = 0; i < 10000; ++i)
        many.append(QStringLiteral("col%1").arg(i));
    TDSTable* big = addTable("Big", QRect(10, 20, 110, 160), many);
    TDSTable* other = addTable("O", QRect(300, 20, 110, 160));
    addLink(big, other, {"col9999", "nosuch"}, {"c1", "c1"});
    activate();
    TTableRep* rep = box(0);
    EXPECT_EQ(rep->FieldsList()->count(), 10000);
    const TLinkRep* line = panel->LinksRep()[0];
    EXPECT_EQ(line->LinkNodes1()[0]->Y, 20 + 160 - 5);
    EXPECT_EQ(line->LinkNodes1()[1]->Y, 20 + 10);
    // Scrolling the list recomputes the line: the first row is above now.
    rep->FieldsList()->scrollToBottom();
    QApplication::processEvents();
    EXPECT_NEAR(line->LinkNodes1()[0]->Y, rep->FieldsList()->viewport()->mapTo(surface(), rowPoint(rep, 9999)).y(), 1);
    EXPECT_EQ(rep->NodeY("col0"), 20 + 10);
}

TEST_F(DesignPanel, ClicksBesideALineSelectItWithinThreePixels)
{
    TDSTable* a = addTable("A", QRect(10, 10, 110, 160));
    TDSTable* b = addTable("B", QRect(300, 10, 110, 160));
    addLink(a, b, {"c1"}, {"c1"});
    TDSLink* second = addLink(a, b, {"c3"}, {"c3"});
    activate();
    const int y = panel->LinksRep()[1]->LinkNodes1()[0]->Y;
    struct Case {
        int dy;
        bool selects;
    };
    for (const Case c : {Case{3, true}, Case{-3, true}, Case{4, false}, Case{-4, false}, Case{0, true}}) {
        SCOPED_TRACE(c.dy);
        panel->SetActiveLink(panel->LinksRep()[0]);
        QTest::mouseClick(surface(), Qt::LeftButton, {}, QPoint(200, y + c.dy));
        EXPECT_EQ(panel->ActiveLink()->DSLink() == second, c.selects);
    }
    EXPECT_EQ(panel->IsOverSomeLink(200, y + 2), panel->LinksRep()[1]);
    EXPECT_EQ(panel->IsOverSomeLink(200, 400), nullptr);
}

TEST_F(DesignPanel, TitleBarDragsMoveTheBoxAndItsLinesButNotPastTheOrigin)
{
    TDSTable* a = addTable("A", QRect(100, 100, 110, 160));
    TDSTable* b = addTable("B", QRect(400, 100, 110, 160));
    addLink(a, b, {"c1"}, {"c1"});
    activate();
    QWidget* title = box(0)->TitleBar();
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(40, 9));
    QTest::mouseMove(title, QPoint(70, 29));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(70, 29));
    EXPECT_EQ(a->DesignPositions(), "130,120,110,160");
    EXPECT_EQ(panel->LinksRep()[0]->LinkNodes1()[0]->X, 130 + 110 + 1);
    EXPECT_EQ(panel->ActiveTable(), box(0));

    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(40, 9));
    QTest::mouseMove(title, QPoint(-400, -400));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(-400, -400));
    EXPECT_EQ(place(1), "0,0,110,160");
}

TEST_F(DesignPanel, BordersResizeOneEdgeOrDiagonallyNearCorners)
{
    TDSTable* a = addTable("A", QRect(100, 100, 110, 160));
    activate();
    TTableRep* rep = box(0);
    struct Case {
        QPoint at;
        QPoint by;
        const char* positions;
    };
    // The zone is the bevel (2) plus 3 pixels; 10 pixels by a corner resize both ways.
    const Case cases[] = {
        {{108, 80}, {30, 30}, "100,100,140,160"},  // right edge
        {{138, 155}, {10, 10}, "100,100,150,170"}, // bottom right corner
        {{1, 80}, {-20, 0}, "80,100,170,170"},     // left edge
        {{80, 1}, {0, -300}, "80,0,170,270"},      // top edge stops at 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.positions);
        QTest::mousePress(rep->Box(), Qt::LeftButton, {}, c.at);
        QTest::mouseMove(rep->Box(), c.at + c.by);
        QTest::mouseRelease(rep->Box(), Qt::LeftButton, {}, c.at + c.by);
        EXPECT_EQ(a->DesignPositions(), c.positions);
    }
    EXPECT_EQ(rep->SizingEdges(QPoint(6, 80)), Qt::Edges());
    EXPECT_EQ(rep->SizingEdges(QPoint(4, 80)), Qt::LeftEdge);
    EXPECT_EQ(rep->SizingEdges(QPoint(4, 9)), Qt::LeftEdge | Qt::TopEdge);
}

TEST_F(DesignPanel, AModelUpdatedInPlaceKeepsTheBoxesAndShowsWhatCame)
{
    addTable("A", QRect(10, 10, 120, 100));
    TDSTable* b = addTable("B", QRect(200, 10, 120, 100));
    activate();
    panel->SetActiveTable(panel->FindTblRepByDSTable(b));
    TStringList lines;
    model.SaveToStrings(lines);
    TVxDBStructure copy;
    copy.LoadFromStrings(lines);
    CopyOrigins origins(model, copy);
    info.Columns.insert("C", {"c1"});
    copy.Tables(copy.AddTable("C", "C"))->SetDesignPositions("400,10,120,100");
    copy.AddLinkByExpr("B-C:c1=c1");
    origins.Apply();
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->TablesRep().Count() == 3; }));
    EXPECT_EQ(panel->ActiveTable()->DSTable(), b);
    EXPECT_EQ(panel->LinksRep().Count(), 1);
    EXPECT_EQ(panel->LinksRep()[0]->TableRep1()->DSTable(), b);
}

// A model that loads another text has all new tables: the boxes follow.
TEST_F(DesignPanel, AModelThatLoadsATextShowsItsNewTables)
{
    addTable("A", QRect(10, 10, 120, 100));
    addTable("B", QRect(200, 10, 120, 100));
    TStringList lines;
    model.SaveToStrings(lines);
    activate();
    model.LoadFromStrings(lines);
    ASSERT_TRUE(fixtures::waitFor([&] { return panel->TablesRep().Count() == 2; }));
    EXPECT_EQ(panel->TablesRep()[0]->DSTable(), model.Tables(0));
}

TEST_F(DesignPanel, SelectionColoursTheTitleBars)
{
    addTable("A", QRect(10, 10, 110, 160));
    addTable("B", QRect(300, 10, 110, 160));
    activate();
    int selections = 0;
    panel->OnSelectTable = [&](TVxStructDesignPanel*) { ++selections; };
    QTest::mouseClick(box(1)->FieldsList()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(selections, 1);
    const QImage active = box(1)->TitleBar()->grab().toImage();
    const QImage inactive = box(0)->TitleBar()->grab().toImage();
    EXPECT_EQ(active.pixelColor(1, 1), QColor(0x00, 0x00, 0x80));
    EXPECT_EQ(inactive.pixelColor(1, 1), QColor(0x80, 0x80, 0x80));
    EXPECT_EQ(box(0)->Title(), "A - A");
    // The count goes with this body; the panel lives on in the fixture.
    panel->OnSelectTable = nullptr;
}

TEST_F(DesignPanel, FullScreenWindowTakesThePanelAndClosingPutsItBack)
{
    addTable("A", QRect(10, 10, 110, 160));
    activate();
    QToolButton* button = panel->FullScreenButton();
    ASSERT_TRUE(button->isVisible());
    EXPECT_EQ(button->toolTip(), "Full screen mode");
    button->click();
    ASSERT_TRUE(panel->FullScreenMode());
    QWidget* form = panel->FullScreenWindow();
    EXPECT_EQ(form->windowTitle(), "Design panel full screen mode ");
    EXPECT_EQ(panel->parentWidget(), form);
    EXPECT_EQ(button->toolTip(), "Restore");
    form->close();
    EXPECT_FALSE(panel->FullScreenMode());
    EXPECT_EQ(panel->parentWidget(), &window);
    EXPECT_EQ(panel->geometry(), QRect(0, 0, 800, 600));
    EXPECT_EQ(button->toolTip(), "Full screen mode");
    // The boxes stayed: the model did not change.
    EXPECT_EQ(panel->TablesRep().Count(), 1);

    // An owner that goes while its panel is full screen takes the panel and its window along.
    auto* owner = new QWidget;
    const QPointer<TVxStructDesignPanel> other(new TVxStructDesignPanel(owner));
    other->SetFullScreenMode(true);
    const QPointer<QWidget> otherForm(other->FullScreenWindow());
    delete owner;
    EXPECT_TRUE(other.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(otherForm.isNull());
}

TEST_F(DesignPanel, HintsFollowThePointerAndTheDrawing)
{
    TDSTable* a = addTable("A", QRect(10, 10, 110, 160));
    TDSTable* b = addTable("B", QRect(300, 10, 110, 160));
    addLink(a, b, {"c1"}, {"c1"});
    activate();
    const auto hint = [&] { return panel->HintLine()->text().toStdString(); };
    const int y = panel->LinksRep()[0]->LinkNodes1()[0]->Y;
    QTest::mouseMove(surface(), QPoint(200, y + 1));
    EXPECT_EQ(hint(), "Click on link line to select it");
    EXPECT_EQ(surface()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(surface(), QPoint(200, 400));
    EXPECT_EQ(hint(), "To add/delete tables and links - right click on selected object and chose necessary operation");
    QTest::mouseMove(box(0)->FieldsList()->viewport(), QPoint(20, 20));
    EXPECT_EQ(hint(), "Click inside table to select it");

    // The menu's "Add link" starts the drawing; Escape gives it up.
    int started = 0;
    panel->OnAddLinkStart = [&](TVxStructDesignPanel*) { ++started; };
    fixtures::onMenuTag(3);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(200, 400), surface()->mapToGlobal(QPoint(200, 400)));
    QApplication::sendEvent(surface(), &menu);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(panel->AddLinkStage(), alsSelField1);
    EXPECT_EQ(hint(), "Select a field in the first linking table");
    EXPECT_EQ(box(1)->FieldsList()->viewport()->cursor().shape(), Qt::PointingHandCursor);
    TStringList hints = panel->ActionHints();
    hints.SetValue("AddLinkStage1Hint", "Pick a column");
    panel->SetActionHints(hints);
    EXPECT_EQ(hint(), "Pick a column");
    QTest::keyClick(panel, Qt::Key_Escape);
    EXPECT_EQ(panel->AddLinkStage(), alsIdle);
    EXPECT_EQ(box(1)->FieldsList()->viewport()->cursor().shape(), Qt::ArrowCursor);

    QChar typed;
    panel->OnKeyPress = [&](TVxStructDesignPanel*, QChar& key) { typed = key; };
    QTest::keyClick(panel, Qt::Key_Q);
    EXPECT_EQ(typed, u'q');
}

TEST_F(DesignPanel, DeactivatingDropsBoxesAndTheModelKeepsTheirPlaces)
{
    addTable("A", QRect(10, 10, 110, 160));
    activate();
    const QString before = fixtures::modelText(model);
    panel->Deactivate();
    EXPECT_FALSE(panel->Active());
    EXPECT_EQ(panel->DesignArea(), nullptr);
    EXPECT_TRUE(panel->TablesRep().IsEmpty());
    EXPECT_EQ(fixtures::modelText(model), before);
    panel->Activate();
    EXPECT_EQ(box(0)->geometry(), QRect(10, 10, 110, 160));
}

} // namespace

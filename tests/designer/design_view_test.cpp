// Boxes have widgets only near the viewport: scrolling makes and drops
// them, while dragging, lines with an end out of view, list scrolling and
// the selection behave as if every box had one.

#include "designer/design_fixtures.h"

#include <QImage>
#include <QScrollBar>

using namespace brindle;

namespace {

class DesignView : public fixtures::DesignWindow {
protected:
    // The box widgets on the surface, those let go deleted first.
    int widgets() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return static_cast<int>(surface()->findChildren<TTableBox*>().size());
    }
    void scrollTo(int y)
    {
        panel->DesignArea()->verticalScrollBar()->setValue(y);
        QApplication::processEvents();
    }
    QRect viewed() const
    {
        const TVxDesignArea* area = panel->DesignArea();
        return {area->horizontalScrollBar()->value(), area->verticalScrollBar()->value(), area->viewport()->width(),
                area->viewport()->height()};
    }
};

TEST_F(DesignView, ScrollingGivesWidgetsToBoxesComingNearAndTakesThemFromOthers)
{
    // 20 rows of 5 boxes, 180 pixels apart: about four rows in view.
    for (int i = 0; i < 100; ++i)
        addTable(QStringLiteral("T%1").arg(i), QRect(10 + (i % 5) * 150, 10 + (i / 5) * 180, 110, 160));
    activate();
    panel->StartAddLink();
    for (const int y : {0, 1700, 3600 - 500, 0}) {
        SCOPED_TRACE(y);
        scrollTo(y);
        EXPECT_LT(widgets(), 50);
        for (const auto& rep : panel->TablesRep()) {
            if (rep->geometry().intersects(viewed())) {
                ASSERT_NE(rep->Box(), nullptr);
                EXPECT_EQ(rep->Box()->geometry(), rep->geometry());
                EXPECT_EQ(rep->FieldsList()->count(), 3);
                EXPECT_EQ(rep->FieldsList()->viewport()->cursor().shape(), Qt::PointingHandCursor);
            }
            if (!rep->geometry().intersects(panel->DesignArea()->NearRect()))
                EXPECT_EQ(rep->Box(), nullptr);
        }
    }
    panel->CancelAddLink();
    // The surface still holds every box.
    EXPECT_EQ(surface()->height(), 10 + 19 * 180 + 160 + TVxDesignArea::ExtentMargin);
}

TEST_F(DesignView, ABoxDraggedOutOfViewKeepsItsWidgetUntilReleasedAndStoresItsPlace)
{
    TDSTable* a = addTable("A", QRect(100, 100, 110, 160));
    addTable("Far", QRect(100, 5000, 110, 160));
    activate();
    QWidget* title = box(0)->TitleBar();
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(40, 9));
    QTest::mouseMove(title, QPoint(40, 9 + 3000));
    EXPECT_EQ(box(0)->TitleBar(), title);
    scrollTo(10);
    EXPECT_EQ(box(0)->TitleBar(), title);
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(40, 9 + 3000));
    EXPECT_EQ(a->DesignPositions(), "100,3100,110,160");
    scrollTo(20);
    EXPECT_EQ(box(0)->Box(), nullptr);
    scrollTo(3000);
    ASSERT_NE(box(0)->Box(), nullptr);
    EXPECT_EQ(box(0)->Box()->geometry(), QRect(100, 3100, 110, 160));
}

TEST_F(DesignView, ALineWithAnEndOutOfViewIsDrawnAndHitAndAttachesAsTheWidgetWould)
{
    QStringList columns;
    for (int i = 0; i < 50; ++i)
        columns.append(QStringLiteral("c%1").arg(i));
    TDSTable* a = addTable("A", QRect(20, 10, 110, 160));
    TDSTable* far = addTable("Far", QRect(20, 3000, 110, 160), columns);
    TDSLink* down = addLink(a, far, {"c1"}, {"c3"});
    activate();
    ASSERT_EQ(box(1)->Box(), nullptr);
    const TLinkRep* line = panel->FindLinkRepByDSLink(down);
    // Both ends face left: the line runs down at x 11.
    const int x = 20 - 1 - TLinkRep::StubLength;
    QTest::mouseClick(surface(), Qt::LeftButton, {}, QPoint(x + 3, 400));
    EXPECT_EQ(panel->ActiveLink(), line);
    EXPECT_EQ(surface()->grab(QRect(0, 390, 40, 20)).toImage().pixelColor(x, 10), QColor(Qt::black));

    // The far end as reckoned without a widget, as its widget shows it, and
    // with its list scrolled, in and out of view.
    const int reckoned = line->LinkNodes2()[0]->Y;
    scrollTo(2900);
    ASSERT_NE(box(1)->Box(), nullptr);
    EXPECT_EQ(line->LinkNodes2()[0]->Y, reckoned);
    box(1)->FieldsList()->verticalScrollBar()->setValue(2);
    const int scrolled = line->LinkNodes2()[0]->Y;
    EXPECT_LT(scrolled, reckoned);
    scrollTo(0);
    ASSERT_EQ(box(1)->Box(), nullptr);
    panel->RecalcLinkPositions(box(1));
    EXPECT_EQ(line->LinkNodes2()[0]->Y, scrolled);
    scrollTo(2900);
    EXPECT_EQ(box(1)->FieldsList()->verticalScrollBar()->value(), 2);
    EXPECT_EQ(line->LinkNodes2()[0]->Y, scrolled);
}

TEST_F(DesignView, TheSelectionSurvivesABoxScrollingOutAndBack)
{
    addTable("A", QRect(10, 10, 110, 160));
    TDSTable* b = addTable("B", QRect(300, 10, 110, 160));
    addTable("Far", QRect(10, 5000, 110, 160));
    activate();
    QTest::mouseClick(box(1)->FieldsList()->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    scrollTo(4800);
    EXPECT_EQ(box(1)->Box(), nullptr);
    EXPECT_EQ(panel->ActiveTable()->DSTable(), b);
    scrollTo(0);
    ASSERT_NE(box(1)->Box(), nullptr);
    EXPECT_TRUE(box(1)->Active());
    EXPECT_EQ(box(1)->TitleBar()->grab().toImage().pixelColor(1, 1), QColor(0x00, 0x00, 0x80));
    EXPECT_EQ(box(0)->TitleBar()->grab().toImage().pixelColor(1, 1), QColor(0x80, 0x80, 0x80));
}

} // namespace

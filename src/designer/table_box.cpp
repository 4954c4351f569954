#include <brindle/designer/table_box.h>

#include <brindle/designer/struct_design_panel.h>
#include <brindle/designer/table_rep.h>
#include <brindle/panels/event_guard.h>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace brindle {

namespace {

// The title bar paints the caption on the selection colour; the box
// handles its mouse.
class TitleStrip : public QWidget {
public:
    TitleStrip(TTableRep* rep, QWidget* parent) : QWidget(parent), FRep(rep)
    {
        setFixedHeight(TTableRep::TitleHeight);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const bool active = FRep->Active();
        const TDiagramColours& colours = FRep->DesignPanel()->DiagramColours();
        painter.fillRect(rect(), active ? colours.ActiveTitle : colours.Title);
        painter.setPen(active ? colours.ActiveTitleText : colours.TitleText);
        painter.setFont(font());
        const QRect text = rect().adjusted(3, 0, -3, 0);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                         fontMetrics().elidedText(FRep->Title(), Qt::ElideRight, text.width()));
    }

private:
    TTableRep* FRep;
};

Qt::CursorShape sizingCursor(Qt::Edges edges)
{
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool falling = ((edges & Qt::LeftEdge) && (edges & Qt::TopEdge))
                             || ((edges & Qt::RightEdge) && (edges & Qt::BottomEdge));
        return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

} // namespace

TTableRepListBox::TTableRepListBox(TTableRep* rep, QWidget* parent) : QListWidget(parent), FRep(rep)
{
    setUniformItemSizes(true);
    // Rows stand at whole multiples of the row height, as boxes without
    // a widget reckon them.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void TTableRepListBox::scrollContentsBy(int dx, int dy)
{
    QListWidget::scrollContentsBy(dx, dy);
    FRep->listScrolled(verticalScrollBar()->value());
}

TTableBox::TTableBox(TTableRep* rep, QWidget* surface) : QFrame(surface), FRep(rep)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(TTableRep::BevelWidth);
    // The bevel's light side must show on the white surface.
    QPalette shades = palette();
    shades.setColor(QPalette::Light, QColor(0xd8, 0xd8, 0xd8));
    shades.setColor(QPalette::Dark, QColor(0x70, 0x70, 0x70));
    setPalette(shades);
    setMouseTracking(true);
    setAutoFillBackground(true);
    FTitleBar = new TitleStrip(rep, this);
    FFieldsLB = new TTableRepListBox(rep, this);
    auto* layout = new QVBoxLayout(this);
    const int bevel = TTableRep::BevelWidth;
    layout->setContentsMargins(bevel, bevel, bevel, bevel);
    layout->setSpacing(0);
    layout->addWidget(FTitleBar);
    layout->addWidget(FFieldsLB, 1);
    for (QWidget* part : {FTitleBar, FFieldsLB->viewport()})
        part->installEventFilter(this);
    if (rep->DesignPanel()->AddLinkStage() != alsIdle)
        FFieldsLB->viewport()->setCursor(Qt::PointingHandCursor);
    FFieldsLB->addItems(rep->FieldLines());
    setGeometry(rep->geometry());
    if (const int top = rep->TopRow(); top > 0) {
        layout->activate();
        FFieldsLB->doItemsLayout();
        FFieldsLB->verticalScrollBar()->setValue(top);
    }
}

TTableBox::~TTableBox()
{
    for (QWidget* part : {FTitleBar, FFieldsLB->viewport()})
        part->removeEventFilter(this);
}

bool TTableBox::event(QEvent* event)
{
    bool handled = false;
    Guarded([&] { handled = mouse(this, event); });
    return handled || QFrame::event(event);
}

bool TTableBox::eventFilter(QObject* watched, QEvent* event)
{
    bool handled = false;
    Guarded([&] { handled = mouse(static_cast<QWidget*>(watched), event); });
    return handled;
}

// The box's own area, its title bar and its list's rows share one handling
// of the mouse: the border zone resizes wherever it lies, the title bar
// moves, a press selects the box, and a click ends in OnClickInside.
bool TTableBox::mouse(QWidget* source, QEvent* event)
{
    TVxStructDesignPanel* panel = FRep->DesignPanel();
    const auto type = event->type();
    if (type == QEvent::Leave && source == FFieldsLB->viewport() && panel->AddLinkStage() != alsIdle) {
        FFieldsLB->clearSelection();
        return false;
    }
    if (type == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        panel->ShowContextMenu(FRep, source->mapTo(parentWidget(), menu->pos()), menu->globalPos());
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouseEvent = static_cast<QMouseEvent*>(event);
    const QPoint at = source->mapTo(this, mouseEvent->position().toPoint());
    const QPoint global = mouseEvent->globalPosition().toPoint();
    const QPoint onSurface = mapToParent(at);

    if (type == QEvent::MouseButtonPress && mouseEvent->button() == Qt::LeftButton) {
        panel->BoxPressed(FRep);
        FPressAt = global;
        FPressPlace = FRep->geometry();
        FMoved = false;
        FSizingEdges = FRep->SizingEdges(at);
        if (FSizingEdges) {
            FSizing = true;
            return true;
        }
        FPressed = source == FTitleBar || source == this;
        return FPressed;
    }
    if (type == QEvent::MouseButtonPress)
        return false;
    if (type == QEvent::MouseMove) {
        const QPoint delta = global - FPressAt;
        if (FSizing) {
            QRect place = FPressPlace;
            if (FSizingEdges & Qt::LeftEdge)
                place.setLeft(qMin(qMax(0, place.left() + delta.x()), place.right() - TTableRep::MinimumWidth + 1));
            if (FSizingEdges & Qt::RightEdge)
                place.setRight(place.right() + delta.x());
            if (FSizingEdges & Qt::TopEdge)
                place.setTop(qMin(qMax(0, place.top() + delta.y()), place.bottom() - TTableRep::MinimumHeight + 1));
            if (FSizingEdges & Qt::BottomEdge)
                place.setBottom(place.bottom() + delta.y());
            FRep->PlaceBox(place, true);
            panel->BoxPlaced(FRep);
            return true;
        }
        if (FPressed && (mouseEvent->buttons() & Qt::LeftButton)) {
            FMoved = FMoved || !delta.isNull();
            FRep->PlaceBox(QRect(FPressPlace.topLeft() + delta, FPressPlace.size()), true);
            panel->BoxPlaced(FRep);
            return true;
        }
        const Qt::Edges edges = FRep->SizingEdges(at);
        source->setCursor(edges ? sizingCursor(edges)
                                : (panel->AddLinkStage() != alsIdle ? Qt::PointingHandCursor : Qt::ArrowCursor));
        panel->BoxHovered(FRep);
        panel->PointerMoved(onSurface);
        return false;
    }
    // Release: a click unless the box was dragged or resized.
    const bool dragged = FSizing || (FPressed && FMoved);
    FSizing = false;
    FPressed = false;
    if (mouseEvent->button() == Qt::LeftButton && !dragged && FRep->OnClickInside)
        // After the list has taken the click, so that its row is selected.
        QTimer::singleShot(0, FRep, [rep = FRep] {
            if (rep->OnClickInside)
                Guarded([rep] { rep->OnClickInside(rep); });
        });
    return dragged;
}

} // namespace brindle

#include <brindle/designer/table_rep.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/struct_design_panel.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
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
    explicit TitleStrip(TTableRep* rep) : QWidget(rep), FRep(rep)
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

QString columnName(const QString& entry)
{
    return entry.startsWith(QLatin1String("fld:"), Qt::CaseInsensitive) ? entry.mid(4) : entry;
}

} // namespace

TTableRepListBox::TTableRepListBox(TTableRep* rep) : QListWidget(rep), FRep(rep)
{
    setUniformItemSizes(true);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
}

void TTableRepListBox::scrollContentsBy(int dx, int dy)
{
    QListWidget::scrollContentsBy(dx, dy);
    FRep->listScrolled();
}

TTableRep::TTableRep(TVxStructDesignPanel* panel, TDSTable* table, QWidget* surface)
    : QFrame(surface), FPanel(panel), FDSTable(table)
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(BevelWidth);
    // The bevel's light side must show on the white surface.
    QPalette shades = palette();
    shades.setColor(QPalette::Light, QColor(0xd8, 0xd8, 0xd8));
    shades.setColor(QPalette::Dark, QColor(0x70, 0x70, 0x70));
    setPalette(shades);
    setMouseTracking(true);
    setAutoFillBackground(true);
    FTitleBar = new TitleStrip(this);
    FFieldsLB = new TTableRepListBox(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(BevelWidth, BevelWidth, BevelWidth, BevelWidth);
    layout->setSpacing(0);
    layout->addWidget(FTitleBar);
    layout->addWidget(FFieldsLB, 1);
    for (QWidget* part : {static_cast<QWidget*>(FTitleBar), FFieldsLB->viewport()})
        part->installEventFilter(this);
    resize(DefaultWidth, DefaultHeight);
}

TTableRep::~TTableRep()
{
    for (QWidget* part : {static_cast<QWidget*>(FTitleBar), FFieldsLB->viewport()})
        part->removeEventFilter(this);
}

TVxCustomDBStructure* TTableRep::DBStruct() const
{
    return FPanel->DBStruct();
}

void TTableRep::SetActive(bool active)
{
    if (active == FActive)
        return;
    FActive = active;
    FTitleBar->update();
}

QString TTableRep::Title() const
{
    return FDSTable->CompoundName();
}

void TTableRep::FillFields()
{
    FFieldsLB->clear();
    FRowByColumn.clear();
    FHasColumns = false;
    TVxDBInfo* info = DBStruct() ? DBStruct()->DatabaseInfo() : nullptr;
    QStringList lines;
    try {
        if (!info || !info->Connected()) {
            lines.append(LoadResString(_SNotConnected));
        } else {
            // An empty database name means the info's current one: setting
            // it would make some infos leave their database.
            if (!FDSTable->DatabaseName().isEmpty())
                info->SetCurrentDbName(FDSTable->DatabaseName());
            const TDBFieldList& columns = info->GetFieldList(FDSTable->FullName());
            lines.reserve(columns.Count());
            for (const auto& column : columns) {
                FRowByColumn.insert(column->FieldName.toCaseFolded(), static_cast<int>(lines.size()));
                lines.append(column->FieldName);
            }
            FHasColumns = true;
        }
    } catch (const std::exception& error) {
        const auto* own = dynamic_cast<const Exception*>(&error);
        lines = {LoadResString(_SError) + QStringLiteral("! :"),
                 u'"' + (own ? own->Message() : QString::fromUtf8(error.what())) + u'"'};
        FRowByColumn.clear();
        FHasColumns = false;
    }
    FFieldsLB->addItems(lines);
}

QString TTableRep::SelectedField() const
{
    const QListWidgetItem* item = FFieldsLB->currentItem();
    return FHasColumns && item && item->isSelected() ? item->text() : QString();
}

int TTableRep::NodeY(const QString& column) const
{
    const QRect box = geometry();
    const int row = FRowByColumn.value(columnName(column).toCaseFolded(), -1);
    if (row < 0)
        return box.y() + 10;
    const QRect rowRect = FFieldsLB->visualRect(FFieldsLB->model()->index(row, 0));
    const QPoint listTop = FFieldsLB->viewport()->mapTo(this, QPoint(0, 0));
    const int top = listTop.y() + rowRect.top();
    const int bottom = listTop.y() + rowRect.bottom() + 1;
    if (rowRect.top() < 0)
        return box.y() + 10;
    if (rowRect.top() >= FFieldsLB->viewport()->height() || bottom > box.height())
        return box.y() + box.height() - 5;
    return box.y() + (top + bottom) / 2;
}

QRect TTableRep::StoredPlace() const
{
    const int left = qBound(0, FDSTable->DesignLeft, MaxCoordinate);
    const int top = qBound(0, FDSTable->DesignTop, MaxCoordinate);
    const int width = FDSTable->DesignWidth > 0 ? qBound(MinimumWidth, FDSTable->DesignWidth, MaxExtent) : DefaultWidth;
    const int height =
        FDSTable->DesignHeight > 0 ? qBound(MinimumHeight, FDSTable->DesignHeight, MaxExtent) : DefaultHeight;
    return {left, top, width, height};
}

void TTableRep::PlaceBox(const QRect& place, bool store)
{
    QRect bounded(qBound(0, place.x(), MaxCoordinate), qBound(0, place.y(), MaxCoordinate),
                  qBound(MinimumWidth, place.width(), MaxExtent), qBound(MinimumHeight, place.height(), MaxExtent));
    setGeometry(bounded);
    if (store) {
        FDSTable->DesignLeft = bounded.x();
        FDSTable->DesignTop = bounded.y();
        FDSTable->DesignWidth = bounded.width();
        FDSTable->DesignHeight = bounded.height();
    }
}

Qt::Edges TTableRep::SizingEdges(QPoint at) const
{
    const int zone = BevelWidth + SizingMargin;
    const bool left = at.x() < zone;
    const bool right = at.x() >= width() - zone;
    const bool top = at.y() < zone;
    const bool bottom = at.y() >= height() - zone;
    Qt::Edges edges;
    if (left || right) {
        edges |= left ? Qt::LeftEdge : Qt::RightEdge;
        if (at.y() < CornerSize)
            edges |= Qt::TopEdge;
        else if (at.y() >= height() - CornerSize)
            edges |= Qt::BottomEdge;
    }
    if (top || bottom) {
        edges |= top ? Qt::TopEdge : Qt::BottomEdge;
        if (at.x() < CornerSize)
            edges |= Qt::LeftEdge;
        else if (at.x() >= width() - CornerSize)
            edges |= Qt::RightEdge;
    }
    return edges;
}

namespace {

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

bool TTableRep::event(QEvent* event)
{
    bool handled = false;
    Guarded([&] { handled = mouse(this, event); });
    return handled || QFrame::event(event);
}

bool TTableRep::eventFilter(QObject* watched, QEvent* event)
{
    bool handled = false;
    Guarded([&] { handled = mouse(static_cast<QWidget*>(watched), event); });
    return handled;
}

// The box's own area, its title bar and its list's rows share one handling
// of the mouse: the border zone resizes wherever it lies, the title bar
// moves, a press selects the box, and a click ends in OnClickInside.
bool TTableRep::mouse(QWidget* source, QEvent* event)
{
    const auto type = event->type();
    if (type == QEvent::Leave && source == FFieldsLB->viewport()
        && FPanel->AddLinkStage() != alsIdle) {
        FFieldsLB->clearSelection();
        return false;
    }
    if (type == QEvent::ContextMenu) {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        FPanel->ShowContextMenu(this, source->mapTo(parentWidget(), menu->pos()), menu->globalPos());
        return true;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouseEvent = static_cast<QMouseEvent*>(event);
    const QPoint at = source->mapTo(this, mouseEvent->position().toPoint());
    const QPoint global = mouseEvent->globalPosition().toPoint();
    const QPoint onSurface = mapToParent(at);

    if (type == QEvent::MouseButtonPress && mouseEvent->button() == Qt::LeftButton) {
        FPanel->BoxPressed(this);
        FPressAt = global;
        FPressPlace = geometry();
        FMoved = false;
        FSizingEdges = SizingEdges(at);
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
                place.setLeft(qMin(qMax(0, place.left() + delta.x()), place.right() - MinimumWidth + 1));
            if (FSizingEdges & Qt::RightEdge)
                place.setRight(place.right() + delta.x());
            if (FSizingEdges & Qt::TopEdge)
                place.setTop(qMin(qMax(0, place.top() + delta.y()), place.bottom() - MinimumHeight + 1));
            if (FSizingEdges & Qt::BottomEdge)
                place.setBottom(place.bottom() + delta.y());
            PlaceBox(place, true);
            FPanel->BoxPlaced(this);
            return true;
        }
        if (FPressed && (mouseEvent->buttons() & Qt::LeftButton)) {
            FMoved = FMoved || !delta.isNull();
            PlaceBox(QRect(FPressPlace.topLeft() + delta, FPressPlace.size()), true);
            FPanel->BoxPlaced(this);
            return true;
        }
        const Qt::Edges edges = SizingEdges(at);
        source->setCursor(edges ? sizingCursor(edges)
                                : (FPanel->AddLinkStage() != alsIdle ? Qt::PointingHandCursor : Qt::ArrowCursor));
        FPanel->BoxHovered(this);
        FPanel->PointerMoved(onSurface);
        return false;
    }
    // Release: a click unless the box was dragged or resized.
    const bool dragged = FSizing || (FPressed && FMoved);
    FSizing = false;
    FPressed = false;
    if (mouseEvent->button() == Qt::LeftButton && !dragged && OnClickInside)
        // After the list has taken the click, so that its row is selected.
        QTimer::singleShot(0, this, [this] {
            if (OnClickInside)
                Guarded([this] { OnClickInside(this); });
        });
    return dragged;
}

void TTableRep::listScrolled()
{
    FPanel->BoxPlaced(this);
}

} // namespace brindle

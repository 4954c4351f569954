#include <brindle/designer/design_area.h>

#include <brindle/designer/struct_design_panel.h>
#include <brindle/panels/event_guard.h>

#include <QContextMenuEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>

namespace brindle {

namespace {

class DesignSurface : public QWidget {
public:
    explicit DesignSurface(TVxStructDesignPanel* panel) : FPanel(panel)
    {
        setMouseTracking(true);
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter painter(this);
        const QRect dirty = event->rect();
        const auto paint = [&](const TLinkRep* line) {
            if (line && line->BoundingRect().intersects(dirty))
                line->Paint(painter, FPanel->DiagramColours().Line);
        };
        for (const auto& line : FPanel->LinksRep())
            paint(line.get());
        paint(FPanel->NewLink());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            Guarded([&] { FPanel->SurfacePressed(event->position().toPoint()); });
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            Guarded([&] { FPanel->SurfaceDoubleClicked(event->position().toPoint()); });
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        Guarded([&] { FPanel->PointerMoved(event->position().toPoint()); });
    }
    void contextMenuEvent(QContextMenuEvent* event) override
    {
        Guarded([&] { FPanel->ShowContextMenu(nullptr, event->pos(), event->globalPos()); });
    }

private:
    TVxStructDesignPanel* FPanel;
};

} // namespace

TVxDesignArea::TVxDesignArea(TVxStructDesignPanel* panel) : QScrollArea(panel), FPanel(panel)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setWidget(new DesignSurface(panel));
}

void TVxDesignArea::UpdateExtent()
{
    QSize extent = viewport()->size();
    for (const auto& rep : FPanel->TablesRep()) {
        const QRect& box = rep->geometry();
        extent = extent.expandedTo(QSize(box.x() + box.width() + ExtentMargin, box.y() + box.height() + ExtentMargin));
    }
    if (widget()->size() != extent)
        widget()->resize(extent);
}

QRect TVxDesignArea::NearRect() const
{
    return QRect(-widget()->pos(), viewport()->size()).adjusted(-ViewMargin, -ViewMargin, ViewMargin, ViewMargin);
}

int TVxDesignArea::RowHeight() const
{
    if (FRowHeight == 0) {
        // A list as the boxes have, never shown.
        QListWidget probe(widget());
        probe.hide();
        probe.setUniformItemSizes(true);
        probe.setFrameShape(QFrame::NoFrame);
        probe.addItem(QStringLiteral("Wg"));
        FRowHeight = qMax(1, probe.sizeHintForRow(0));
    }
    return FRowHeight;
}

void TVxDesignArea::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    UpdateExtent();
    Guarded([this] { FPanel->ViewChanged(); });
}

void TVxDesignArea::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    Guarded([this] { FPanel->ViewChanged(); });
}

void TVxDesignArea::changeEvent(QEvent* event)
{
    QScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FRowHeight = 0;
}

} // namespace brindle

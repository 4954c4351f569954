#include <brindle/panels/sentence_rows.h>

#include <brindle/panels/event_guard.h>

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace brindle {

// The content of the scroll area: the panel paints under the controls and
// hears of clicks beside them.
class TSentenceRows::RowSurface : public QWidget {
public:
    explicit RowSurface(TSentenceRows& panel) : FPanel(panel) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        FPanel.paintSurface(painter);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        bool taken = false;
        Guarded([&] { taken = FPanel.surfaceMouseDown(); });
        if (!taken)
            event->ignore();
    }

private:
    TSentenceRows& FPanel;
};

TSentenceRows::TSentenceRows(QWidget* parent) : QScrollArea(parent), FSurface(new RowSurface(*this))
{
    setFocusPolicy(Qt::StrongFocus);
    setWidgetResizable(true);
    setWidget(FSurface);
    // Scrolling brings other rows near the viewport: they get their controls.
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { Guarded([this] { placeNearRows(); }); });
}

TSentenceRows::~TSentenceRows()
{
    // The panel's part is gone: nothing may place its rows any more.
    verticalScrollBar()->disconnect(this);
}

QWidget* TSentenceRows::Surface() const
{
    return FSurface;
}

TSentenceRows::SlotRange TSentenceRows::nearSlots() const
{
    const int screen = viewport()->height();
    const int scrolled = verticalScrollBar()->value();
    const int step = rowStep();
    return {(scrolled - screen - firstRowTop()) / step - 1, (scrolled + 2 * screen) / step + 1};
}

void TSentenceRows::styleAddRowLabel(const QColor& colour)
{
    FAddRowLabel->SetCaption(QStringLiteral("< ") + GetTitle(QStringLiteral("ttlClickToAdd")) + QStringLiteral(" >"));
    FAddRowLabel->setFont(font());
    QPalette colours = FAddRowLabel->palette();
    colours.setColor(QPalette::WindowText, colour);
    FAddRowLabel->setPalette(colours);
    FAddRowLabel->resize(FAddRowLabel->sizeHint());
}

void TSentenceRows::updateSurfaceSize(int bottom, int marginX, int marginY)
{
    int right = FWidest;
    if (FAddRowLabel && !FAddRowLabel->isHidden()) {
        bottom = std::max(bottom, FAddRowLabel->geometry().bottom());
        right = std::max(right, FAddRowLabel->geometry().right());
    }
    FSurface->setMinimumSize(right + marginX, bottom + marginY);
}

void TSentenceRows::takeFocus()
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

void TSentenceRows::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    // A taller viewport shows more rows; right to left, rows hang from the
    // right edge.
    Guarded([this] { placeNearRows(); });
}

} // namespace brindle

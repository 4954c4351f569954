#include <brindle/panels/sentence_rows.h>

#include <brindle/panels/event_guard.h>
#include <brindle/query/query_history.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
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
    const QString title = GetTitle(QStringLiteral("ttlClickToAdd"));
    FAddRowLabel->SetCaption(QStringLiteral("< ") + title + QStringLiteral(" >"));
    // The angle brackets only frame the line on screen.
    FAddRowLabel->setAccessibleName(title.trimmed());
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

void TSentenceRows::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    // Only the keys that move the focus: a click selects for itself, and a
    // command leaves the selection it made.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        Guarded([this] { showKeyboardFocus(); });
    Surface()->update();
}

void TSentenceRows::focusOutEvent(QFocusEvent* event)
{
    QScrollArea::focusOutEvent(event);
    Surface()->update();
}

bool TSentenceRows::CanUndo() const
{
    return FHistory && FHistory->CanUndo();
}

bool TSentenceRows::CanRedo() const
{
    return FHistory && FHistory->CanRedo();
}

bool TSentenceRows::Undo()
{
    return FHistory && FHistory->Undo();
}

bool TSentenceRows::Redo()
{
    return FHistory && FHistory->Redo();
}

int TSentenceRows::UndoDepth() const
{
    return FHistory ? FHistory->Depth() : FUndoDepth.value_or(TQueryHistory::DefaultDepth);
}

void TSentenceRows::SetUndoDepth(int depth)
{
    FUndoDepth = depth;
    if (FHistory)
        FHistory->SetDepth(depth);
}

void TSentenceRows::followHistory(TVxQuery* query)
{
    disconnect(FHistoryState);
    FHistory = query ? &TQueryHistory::Of(*query) : nullptr;
    if (FHistory) {
        if (FUndoDepth)
            FHistory->SetDepth(*FUndoDepth);
        FHistoryState =
            connect(FHistory.data(), &TQueryHistory::stateChanged, this, &TSentenceRows::undoStateChanged);
    }
    emit undoStateChanged();
}

TSentenceRows::HistoryKey TSentenceRows::historyKey(const QKeyEvent* event) const
{
    const QKeyCombination combination = event->keyCombination();
    HistoryKey key = HistoryKey::None;
    if (event->matches(QKeySequence::Undo))
        key = HistoryKey::Undo;
    // Both usual redo keys, whatever the platform's own is.
    else if (event->matches(QKeySequence::Redo) || combination == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)
             || combination == QKeyCombination(Qt::CTRL, Qt::Key_Y))
        key = HistoryKey::Redo;
    if (key == HistoryKey::None || !FHistory)
        return HistoryKey::None;
    const QWidget* focus = QApplication::focusWidget();
    if (focus && focus != this && isAncestorOf(focus))
        return HistoryKey::None;
    return key;
}

bool TSentenceRows::event(QEvent* event)
{
    // The panel's own keys come before a window's shortcuts on them.
    if (event->type() == QEvent::ShortcutOverride
        && historyKey(static_cast<QKeyEvent*>(event)) != HistoryKey::None) {
        event->accept();
        return true;
    }
    return QScrollArea::event(event);
}

void TSentenceRows::keyPressEvent(QKeyEvent* event)
{
    const HistoryKey key = historyKey(event);
    if (key == HistoryKey::None) {
        QScrollArea::keyPressEvent(event);
        return;
    }
    // Undoing past the start does nothing; the key is used up either way.
    Guarded([&] { key == HistoryKey::Undo ? Undo() : Redo(); });
}

void TSentenceRows::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    // A taller viewport shows more rows; right to left, rows hang from the
    // right edge.
    Guarded([this] { placeNearRows(); });
}

} // namespace brindle

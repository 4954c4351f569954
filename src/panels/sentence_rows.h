#pragma once
// TSentenceRows: what the query panel and the result fields panel share.
// Both show rows of words on a scroll surface, one row per slot at a fixed
// step under a first top, with a line under the rows that adds one. A
// row's place follows from its slot alone, so only rows near the viewport
// need controls: the base says which slots those are and places the rows
// again whenever scrolling or resizing brings others near. The panels make
// and drop their rows' controls and lay the words out.

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/later_owned.h>
#include <brindle/query/query_history.h>

#include <QPointer>
#include <QScrollArea>

#include <optional>

class QPainter;

namespace brindle {

class TVxQuery;

class BRINDLE_WIDGETS_EXPORT TSentenceRows : public QScrollArea {
    Q_OBJECT
public:
    explicit TSentenceRows(QWidget* parent = nullptr);
    ~TSentenceRows() override;

    // The widget that holds the rows (the scroll area's content).
    QWidget* Surface() const;
    // The line under the rows that adds one, while the panel is active.
    TDropDownLabel* AddRowLabel() const { return FAddRowLabel.get(); }
    // A text of the panel's titles by name.
    virtual QString GetTitle(const QString& name) const = 0;

    // Undo and redo of the whole query the panel shows, through the query's
    // one history, which every panel over the query shares. A panel without
    // a query has nothing to undo. Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y
    // redo, unless an editor of a word has the keyboard.
    TQueryHistory* History() const { return FHistory.data(); }
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();
    // The history's depth; one set here is kept for the next query too.
    int UndoDepth() const;
    void SetUndoDepth(int depth);

signals:
    // CanUndo or CanRedo may have changed.
    void undoStateChanged();

protected:
    // The query whose history the panel offers; none for a panel of its own list.
    void followHistory(TVxQuery* query);
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // The slots that have controls: those within a screen above and below
    // the viewport.
    struct SlotRange {
        int First;
        int Last;
        bool Contains(int slot) const { return slot >= First && slot <= Last; }
    };
    SlotRange nearSlots() const;
    // The distance between two rows' tops, and the top of slot 0.
    virtual int rowStep() const = 0;
    virtual int firstRowTop() const = 0;
    int rowTop(int slot) const { return slot * rowStep() + firstRowTop(); }
    // Gives the rows near the viewport controls and places them.
    virtual void placeNearRows() = 0;

    // The add line: owned by the base, made and wired by the panel.
    void setAddRowLabel(TDropDownLabel* label) { FAddRowLabel.reset(label); }
    void dropAddRowLabel() { FAddRowLabel.reset(); }
    // The line's caption, its font and colour.
    void styleAddRowLabel(const QColor& colour);

    // The surface grows to the lowest row and the widest row placed since
    // the last reset, and to the add line.
    void noteRowRight(int right) { FWidest = std::max(FWidest, right); }
    void resetWidest() { FWidest = 0; }
    void updateSurfaceSize(int bottom, int marginX, int marginY);

    // The surface's painting (under the controls) and a click on it; a
    // click not taken goes on to the scroll area.
    virtual void paintSurface(QPainter&) {}
    virtual bool surfaceMouseDown() { return false; }
    // The panel takes the keyboard focus after a command.
    void takeFocus();
    // The focus came by Tab, Backtab or a shortcut: the panel gives itself
    // a current row and selected word and shows them.
    virtual void showKeyboardFocus() = 0;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    void resizeEvent(QResizeEvent* event) override;

private:
    enum class HistoryKey { None, Undo, Redo };
    // What an undo or redo key does here; None also while an editor holds
    // the keyboard, which undoes its own typing.
    HistoryKey historyKey(const QKeyEvent* event) const;

    class RowSurface;
    RowSurface* FSurface;
    LaterOwned<TDropDownLabel> FAddRowLabel;
    int FWidest = 0;
    QPointer<TQueryHistory> FHistory;
    QMetaObject::Connection FHistoryState;
    std::optional<int> FUndoDepth;
};

} // namespace brindle

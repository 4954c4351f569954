#pragma once
// TTableRep: one table of the model as a box on the structure design
// panel: a title bar with the table's compound name and the list of its
// columns as the database info reports them. Dragging the title bar moves
// the box and dragging its borders resizes it; both write the box's place
// into the table's design positions. The design surface owns the box (as
// its Qt child, released by the panel's list); the box refers to its table
// and its panel.

#include <brindle/brindle_widgets_export.h>

#include <QFrame>
#include <QHash>
#include <QListWidget>

#include <functional>

namespace brindle {

class TDSTable;
class TTableRep;
class TVxCustomDBStructure;
class TVxStructDesignPanel;

// The column list inside a box. Scrolling it moves the rows the box's
// lines attach to.
class BRINDLE_WIDGETS_EXPORT TTableRepListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TTableRepListBox(TTableRep* rep);

protected:
    void scrollContentsBy(int dx, int dy) override;

private:
    TTableRep* FRep;
};

class BRINDLE_WIDGETS_EXPORT TTableRep : public QFrame {
    Q_OBJECT
public:
    static constexpr int DefaultWidth = 110;
    static constexpr int DefaultHeight = 160;
    static constexpr int BevelWidth = 2;
    static constexpr int TitleHeight = 18;
    // The border zone is the bevel plus this much; near a corner, this
    // many pixels resize diagonally.
    static constexpr int SizingMargin = 3;
    static constexpr int CornerSize = 10;
    static constexpr int MinimumWidth = 40;
    static constexpr int MinimumHeight = TitleHeight + 2 * BevelWidth + 12;
    // Stored places beyond this are shown here: Qt's widget coordinates
    // are bounded, and such a place is a damaged model, not a design.
    static constexpr int MaxCoordinate = 100000;
    static constexpr int MaxExtent = 10000;

    TTableRep(TVxStructDesignPanel* panel, TDSTable* table, QWidget* surface);
    ~TTableRep() override;

    TDSTable* DSTable() const { return FDSTable; }
    TVxStructDesignPanel* DesignPanel() const { return FPanel; }
    TVxCustomDBStructure* DBStruct() const;
    bool Active() const { return FActive; }
    // Title bar dark blue with white text when active, grey with black text otherwise.
    void SetActive(bool active);
    QString Title() const;
    TTableRepListBox* FieldsList() const { return FFieldsLB; }
    QWidget* TitleBar() const { return FTitleBar; }

    // Called with the box after a click inside it, once the click's own
    // handling (selecting a column) is over; used while a link is drawn.
    std::function<void(TTableRep*)> OnClickInside;

    // The column list from the database info: the table's columns, or the
    // line "<Not connected>", or the error lines when listing fails.
    void FillFields();
    // The selected column; empty when none is selected or the list shows
    // no columns.
    QString SelectedField() const;
    // Where a line attaches for the column, in the surface's coordinates:
    // the middle of its row when visible, 5 pixels above the bottom when
    // the row is below the visible rows, 10 pixels below the top when it is
    // above them or not listed.
    int NodeY(const QString& column) const;

    // Places the box; with store, its table's design positions follow.
    void PlaceBox(const QRect& place, bool store);
    // The place the table's stored positions give, within what the
    // surface can show.
    QRect StoredPlace() const;

    // The resize edges at a point of the box; none inside.
    Qt::Edges SizingEdges(QPoint at) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    friend class TTableRepListBox;
    bool mouse(QWidget* source, QEvent* event);
    void listScrolled();

    TVxStructDesignPanel* FPanel;
    TDSTable* FDSTable;
    TTableRepListBox* FFieldsLB;
    QWidget* FTitleBar;
    bool FActive = false;
    // Dragging the title bar (FPressed) or a border (FSizing, with edges).
    bool FPressed = false;
    bool FMoved = false;
    bool FSizing = false;
    Qt::Edges FSizingEdges;
    QPoint FPressAt;
    QRect FPressPlace;
    // Row of each case-folded column name; only real columns are listed.
    QHash<QString, int> FRowByColumn;
    bool FHasColumns = false;
};

} // namespace brindle

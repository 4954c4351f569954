#pragma once
// TTableRep: one table of the model as a box on the structure design
// panel: a place on the design surface, the title (the table's compound
// name) and the lines of its column list as the database info reports
// them. Only a box near the visible part of the surface has a widget
// (TTableBox: the title bar and the column list, with the mouse); the
// others are this data alone, so that a diagram of thousands of tables
// makes widgets for a screenful. Moving and resizing write the place into
// the table's design positions. The panel's list owns the box; the box
// refers to its table and its panel and owns its widget, a Qt child of the
// surface, while it has one.

#include <brindle/brindle_widgets_export.h>
#include <brindle/designer/table_box.h>
#include <brindle/panels/later_owned.h>

#include <QHash>
#include <QObject>
#include <QRect>
#include <QStringList>

#include <functional>

namespace brindle {

class TDSTable;
class TVxCustomDBStructure;
class TVxStructDesignPanel;

class BRINDLE_WIDGETS_EXPORT TTableRep : public QObject {
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

    TTableRep(TVxStructDesignPanel* panel, TDSTable* table);
    ~TTableRep() override;

    TDSTable* DSTable() const { return FDSTable; }
    TVxStructDesignPanel* DesignPanel() const { return FPanel; }
    TVxCustomDBStructure* DBStruct() const;
    bool Active() const { return FActive; }
    // Title bar dark blue with white text when active, grey with black text otherwise.
    void SetActive(bool active);
    QString Title() const;

    // The widget and its parts while the box has one; none otherwise.
    TTableBox* Box() const { return FBox.get(); }
    TTableRepListBox* FieldsList() const;
    QWidget* TitleBar() const;
    // Gives the box its widget on the surface; takes it away, hidden at
    // once and deleted by the event loop (it may be inside its own event).
    void ShowBox(QWidget* surface);
    void HideBox();

    // Called with the box after a click inside it, once the click's own
    // handling (selecting a column) is over; used while a link is drawn.
    std::function<void(TTableRep*)> OnClickInside;

    // The column list from the database info: the table's columns, or the
    // line "<Not connected>", or the error lines when listing fails.
    void FillFields();
    // What the column list shows.
    const QStringList& FieldLines() const { return FLines; }
    // The selected column; empty when none is selected, the box has no
    // widget, or the list shows no columns.
    QString SelectedField() const;
    // Where a line attaches for the column, in the surface's coordinates:
    // the middle of its row when visible, 5 pixels above the bottom when
    // the row is below the visible rows, 10 pixels below the top when it is
    // above them or not listed. Without a widget, the rows are those of a
    // list of the design area's row height, scrolled as the list last was.
    int NodeY(const QString& column) const;
    // The first row the column list shows, kept while the box has no widget.
    int TopRow() const { return FTopRow; }

    // The place on the surface.
    const QRect& geometry() const { return FPlace; }
    // Places the box; with store, its table's design positions follow.
    void PlaceBox(const QRect& place, bool store);
    // The place the table's stored positions give, within what the
    // surface can show.
    QRect StoredPlace() const;

    // The resize edges at a point of the box; none inside.
    Qt::Edges SizingEdges(QPoint at) const;

private:
    friend class TTableRepListBox;
    void listScrolled(int topRow);

    TVxStructDesignPanel* FPanel;
    TDSTable* FDSTable;
    QRect FPlace;
    bool FActive = false;
    QStringList FLines;
    // Row of each case-folded column name; only real columns are listed.
    QHash<QString, int> FRowByColumn;
    bool FHasColumns = false;
    int FTopRow = 0;
    LaterOwned<TTableBox> FBox;
};

} // namespace brindle

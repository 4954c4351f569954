#pragma once
// TVxStructDesignPanel: a data model shown as a diagram. Every table of the
// model is a box (TTableRep) with its columns, every link a line (TLinkRep)
// between the columns it joins. The user selects, moves and resizes boxes,
// adds tables from the database, draws links from a column of one box to a
// column of another, edits and deletes links and tables, and may show the
// panel full screen. Box places go into the tables' design positions, so
// they are saved with the model.
//
// The panel is a view: boxes and lines exist only while it is active and
// refer to the model's tables and links, which the model owns. Only the
// boxes near the viewport have widgets; scrolling gives those coming near
// theirs and takes them from those going away. The panel listens to the
// model and drops the boxes and lines of whatever the model frees, and
// deactivates when the model goes. It owns the design area (which holds
// the box widgets as Qt children), the boxes and lines lists, the line
// being drawn with its link until the model takes it, the hint line, the
// full-screen button and window.

#include <brindle/brindle_widgets_export.h>
#include <brindle/datamodel/entities.h>
#include <brindle/datamodel/model_listener.h>
#include <brindle/designer/link_rep.h>
#include <brindle/designer/table_rep.h>
#include <brindle/foundations/string_list.h>
#include <brindle/panels/later_owned.h>

#include <QColor>
#include <QFrame>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QToolButton;

namespace brindle {

class TVxDBInfo;
class TVxDesignArea;
class TVxStructDesignPanel;

enum TAddLinkStage { alsIdle, alsSelField1, alsSelField2 };

// The colours of the diagram: a selected box's title bar, the others', and
// the lines. The defaults are dark blue with white text, grey with black
// text, and black lines.
struct TDiagramColours {
    QColor ActiveTitle{0x00, 0x00, 0x80};
    QColor ActiveTitleText{0xFF, 0xFF, 0xFF};
    QColor Title{0x80, 0x80, 0x80};
    QColor TitleText{0x00, 0x00, 0x00};
    QColor Line{0x00, 0x00, 0x00};
    bool operator==(const TDiagramColours&) const = default;
};

// A box let go: its widget hides at once, and the box is deleted by the
// event loop, since its widget's event (its menu, its click) may still be
// running and refer to it.
struct LaterDeleteRep {
    void operator()(TTableRep* rep) const
    {
        rep->HideBox();
        rep->deleteLater();
    }
};

// The boxes, owned, with the box of each table.
class BRINDLE_WIDGETS_EXPORT TTableRepList {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    bool IsEmpty() const { return FItems.empty(); }
    // EListError outside the list.
    TTableRep* GetItem(int index) const;
    TTableRep* operator[](int index) const { return GetItem(index); }
    int IndexOf(const TTableRep* rep) const;
    TTableRep* Find(const TDSTable* table) const { return FByTable.value(table); }
    int Add(TTableRep* rep);
    void Delete(int index);
    void Clear();
    // Reorders the boxes (the same boxes, another order).
    void Reorder(const std::vector<TTableRep*>& order);
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<std::unique_ptr<TTableRep, LaterDeleteRep>> FItems;
    QHash<const TDSTable*, TTableRep*> FByTable;
};

// The lines, owned.
class BRINDLE_WIDGETS_EXPORT TLinkRepList : public TVxObjectList<TLinkRep> {};

class BRINDLE_WIDGETS_EXPORT TVxStructDesignPanel : public QFrame, private IModelListener {
    Q_OBJECT
    Q_PROPERTY(bool ShowFullScreenButton READ ShowFullScreenButton WRITE SetShowFullScreenButton)
    Q_PROPERTY(bool ShowActionHints READ ShowActionHints WRITE SetShowActionHints)
    Q_PROPERTY(QStringList ActionHints READ actionHintLines WRITE setActionHintLines)
    // The members of DiagramColours.
    Q_PROPERTY(QColor ActiveTitleColor READ activeTitleColor WRITE setActiveTitleColor)
    Q_PROPERTY(QColor ActiveTitleTextColor READ activeTitleTextColor WRITE setActiveTitleTextColor)
    Q_PROPERTY(QColor TitleColor READ titleColor WRITE setTitleColor)
    Q_PROPERTY(QColor TitleTextColor READ titleTextColor WRITE setTitleTextColor)
    Q_PROPERTY(QColor LineColor READ lineColor WRITE setLineColor)
public:
    using TNotifyEvent = std::function<void(TVxStructDesignPanel* sender)>;
    using TAddLinkFinishEvent = std::function<void(TVxStructDesignPanel* sender, TLinkRep* newLink)>;
    using TKeyPressEvent = std::function<void(TVxStructDesignPanel* sender, QChar& key)>;

    explicit TVxStructDesignPanel(QWidget* parent = nullptr);
    ~TVxStructDesignPanel() override;

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    // Another model deactivates the panel first.
    void SetDBStruct(TVxCustomDBStructure* model);
    // The model's database info; EStructureDesignError "Structure is not
    // specified" without a model, "Database info component is not
    // specified" without an info.
    TVxDBInfo* DBInfo() const;

    bool Active() const { return FActive; }
    // Boxes from the model's tables (arranged when any lacks a stored
    // size), lines from its links, the first of each selected.
    void Activate();
    void Deactivate();
    // Drops the selection, the boxes and the lines.
    void Clear();
    void CreateTableList();
    void CreateLinkList();

    // The tables list dialog: every chosen table becomes a model table
    // (with its data fields when the user keeps "add fields" checked) and
    // a selected box. Returns whether the dialog was confirmed;
    // autoAddFields reports the add-fields choice.
    bool AddTablesDlg(TSimpleDSTableList* newTables, bool& autoAddFields);

    void DeleteTable(int index);
    void DeleteActiveTable();
    void DeleteLink(int index);
    void DeleteActiveLink();
    void DeleteAllTableLinks(TTableRep* rep);
    // The link editor on the line's link; true when confirmed.
    bool EditLink(TLinkRep* rep);
    void EditActiveLink();

    // Drawing a new link: a click on a column of one box, then on a column
    // of another, then the link editor.
    void StartAddLink();
    void CancelAddLink();
    void FinishAddLink();
    TAddLinkStage AddLinkStage() const { return FAddLinkStage; }
    TLinkRep* NewLink() const { return FNewLink.get(); }

    void ArrangeTables();
    void ArrangeNewTableRep(TTableRep* rep);
    // Sorts the boxes into reading order and arranges them.
    void RearrangeTables();
    void RecalcLinkPositions(TTableRep* rep);
    void InvalidateLinks();
    TTableRep* FindTblRepByDSTable(const TDSTable* table) const;
    TLinkRep* FindLinkRepByDSLink(const TDSLink* link) const;
    // The first line, in list order, on which the point lies.
    TLinkRep* IsOverSomeLink(int x, int y) const;

    TTableRep* ActiveTable() const { return FActiveTable; }
    void SetActiveTable(TTableRep* rep);
    TLinkRep* ActiveLink() const { return FActiveLink; }
    void SetActiveLink(TLinkRep* rep);
    const TTableRepList& TablesRep() const { return FTablesRep; }
    const TLinkRepList& LinksRep() const { return FLinksRep; }

    bool FullScreenMode() const { return FFullScreenMode; }
    void SetFullScreenMode(bool on);
    bool ShowFullScreenButton() const { return FShowFullScreenButton; }
    void SetShowFullScreenButton(bool show);
    bool ShowActionHints() const { return FShowActionHints; }
    void SetShowActionHints(bool show);
    const TDiagramColours& DiagramColours() const { return FDiagramColours; }
    // Repaints the boxes' title bars and the lines.
    void SetDiagramColours(const TDiagramColours& colours);
    // Lines name=text: SelectTableHint, SelectLinkHint, IdleHint,
    // AddLinkStage1Hint, AddLinkStage2Hint.
    const TStringList& ActionHints() const { return FActionHints; }
    void SetActionHints(const TStringList& hints);

    TVxDesignArea* DesignArea() const { return FDesignArea.get(); }
    QLabel* HintLine() const { return FStaticText; }
    QToolButton* FullScreenButton() const { return FMaxButton; }
    QWidget* FullScreenWindow() const { return FMaxForm.get(); }
    // The menu of the last right click, while it is open.
    QMenu* ContextMenu() const { return FContextMenu; }

    // None of the events fires while the panel or its model is being
    // destroyed, though the selection and a drawing end then.
    TNotifyEvent OnAddLinkStart;
    TAddLinkFinishEvent OnAddLinkFinish;
    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnSelectTable;
    TNotifyEvent OnSelectLink;

    // What the boxes and the design surface tell the panel of the mouse.
    void BoxPressed(TTableRep* rep);
    void BoxPlaced(TTableRep* rep);
    void BoxHovered(TTableRep* rep);
    void PointerMoved(QPoint surfaceAt);
    void SurfacePressed(QPoint surfaceAt);
    void SurfaceDoubleClicked(QPoint surfaceAt);
    void ShowContextMenu(TTableRep* rep, QPoint surfaceAt, QPoint globalAt);
    // Another part of the surface is in view: boxes near it get widgets,
    // the others give theirs up (but for one being dragged).
    void ViewChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringList actionHintLines() const { return FActionHints.Lines(); }
    void setActionHintLines(const QStringList& lines) { SetActionHints(TStringList(lines)); }
    // One colour of the diagram changed through SetDiagramColours.
    void setDiagramColour(QColor TDiagramColours::*member, const QColor& colour)
    {
        TDiagramColours colours = FDiagramColours;
        colours.*member = colour;
        SetDiagramColours(colours);
    }
    QColor activeTitleColor() const { return FDiagramColours.ActiveTitle; }
    void setActiveTitleColor(const QColor& c) { setDiagramColour(&TDiagramColours::ActiveTitle, c); }
    QColor activeTitleTextColor() const { return FDiagramColours.ActiveTitleText; }
    void setActiveTitleTextColor(const QColor& c) { setDiagramColour(&TDiagramColours::ActiveTitleText, c); }
    QColor titleColor() const { return FDiagramColours.Title; }
    void setTitleColor(const QColor& c) { setDiagramColour(&TDiagramColours::Title, c); }
    QColor titleTextColor() const { return FDiagramColours.TitleText; }
    void setTitleTextColor(const QColor& c) { setDiagramColour(&TDiagramColours::TitleText, c); }
    QColor lineColor() const { return FDiagramColours.Line; }
    void setLineColor(const QColor& c) { setDiagramColour(&TDiagramColours::Line, c); }

    void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) override;
    void ModelEntitiesUpdated(TVxCustomDBStructure* model) override;
    void ModelDestroying(TVxCustomDBStructure* model) override;
    // Boxes and lines for the model's tables and links, the boxes arranged
    // when the model keeps no places.
    void makeReps();
    // Boxes and lines made again from the model, the selection kept.
    void rebuild();

    void requireModel() const;
    TTableRep* addBox(TDSTable* table);
    void deleteLine(int index);
    void deleteBox(int index);
    void refreshExtent();
    void repaintLine(const TLinkRep* line);
    // Recomputes and repaints the line.
    void recalcLine(TLinkRep* line);
    void showHint(const QString& name);
    void placeMaxPanel();
    void updateMaxButton();
    void clickInside(TTableRep* rep);
    void firstClick(TTableRep* rep);
    void secondClick(TTableRep* rep);
    // Ends the drawing; the event gets the added line, or none.
    void finishAddLink(TLinkRep* line);
    bool connected() const;
    int clientWidth() const;
    // Host events are not fired while the panel or its model is being
    // destroyed: a handler may belong to what is being torn down.
    bool tellsHost() const { return !FDestroying && !FModelGoing; }

    TVxCustomDBStructure* FDBStruct = nullptr;
    bool FActive = false;
    LaterOwned<TVxDesignArea> FDesignArea;
    QWidget* FMaxPanel;
    QToolButton* FMaxButton;
    QLabel* FStaticText;
    TTableRepList FTablesRep;
    TLinkRepList FLinksRep;
    TTableRep* FActiveTable = nullptr;
    TLinkRep* FActiveLink = nullptr;
    bool FShowFullScreenButton = true;
    bool FFullScreenMode = false;
    bool FShowActionHints = true;
    TDiagramColours FDiagramColours;
    TStringList FActionHints;
    // The line being drawn, and its link until the model takes it.
    std::unique_ptr<TLinkRep> FNewLink;
    std::unique_ptr<TDSLink> FNewDSLink;
    TAddLinkStage FAddLinkStage = alsIdle;
    int FDefXStart = 12;
    int FDefYStart = 10;
    int FDefXMargin = 40;
    int FDefYMargin = 20;
    bool FDesignPositionsDefined = true;
    bool FDestroying = false;
    // Set while the model is being destroyed.
    bool FModelGoing = false;
    QMenu* FContextMenu = nullptr;
    // Where the panel stood before full-screen mode.
    QPointer<QWidget> FOldParent;
    QMetaObject::Connection FOwnerGone;
    int FOldLayoutIndex = -1;
    QRect FOldGeometry;
    // Closing the window ends the mode from inside its own event.
    LaterOwned<QWidget> FMaxForm;
};

} // namespace brindle

#pragma once
// TVxResultFieldsPanel: the panel on which the user builds a query's result
// columns, one row per result field: a numbered button, the text of the
// column's formula around its field, the field word and the sorting word,
// and under the rows a line that adds a column. The panel owns the result
// field list it edits (hosts copy it to and from a query) and is a view of
// it: the rows follow the list's own notices, whoever changes the list.

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/later_owned.h>
#include <brindle/panels/round_button.h>
#include <brindle/query/query.h>

#include <QColor>
#include <QPointer>
#include <QScrollArea>

#include <memory>
#include <vector>

class QMenu;

namespace brindle {

class TVxResultFieldsPanel;

// The result fields panel's appearance shares the query panel's options
// that apply to it: aoFlatButtons, aoRoundButtons, aoPopupField and
// aoShowGroupName.
using TRFPAppearanceOptions = TQPAppearanceOptions;

// Setters only store: the values take effect at the next placement.
class BRINDLE_WIDGETS_EXPORT TRFPAppearance {
public:
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int margin) { FLeftMargin = margin; }
    int TopMargin() const { return FTopMargin; }
    void SetTopMargin(int margin) { FTopMargin = margin; }
    int RowSpace() const { return FRowSpace; }
    void SetRowSpace(int space) { FRowSpace = space; }
    int ElemSpace() const { return FElemSpace; }
    void SetElemSpace(int space) { FElemSpace = space; }
    const QColor& SortColor() const { return FSortColor; }
    void SetSortColor(const QColor& color) { FSortColor = color; }
    const QColor& FieldColor() const { return FFieldColor; }
    void SetFieldColor(const QColor& color) { FFieldColor = color; }
    TRFPAppearanceOptions Options() const { return FOptions; }
    void SetOptions(TRFPAppearanceOptions options) { FOptions = options; }
    const QString& NameSeparator() const { return FNameSeparator; }
    void SetNameSeparator(const QString& separator) { FNameSeparator = separator; }

private:
    int FLeftMargin = 5;
    int FTopMargin = 5;
    int FRowSpace = 3;
    int FElemSpace = 5;
    QColor FSortColor{0, 0x80, 0};
    QColor FFieldColor{0, 0, 0xFF};
    TRFPAppearanceOptions FOptions{aoFlatButtons, aoRoundButtons, aoPopupField};
    QString FNameSeparator = QStringLiteral(".");
};

// One row: the controls that show one result field of the panel's list.
class BRINDLE_WIDGETS_EXPORT TResultFieldRow {
public:
    TResultFieldRow(TVxResultFieldsPanel& panel, TResultField* field);
    ~TResultFieldRow();

    TResultField* RField() const { return FRField; }
    void SetRField(TResultField* field);
    // The row's place in the panel, from 0.
    int GetRowIndex() const;
    QString GetRowNumStr() const { return QString::number(GetRowIndex() + 1); }
    TSortingType GetSorting() const;
    void SetSorting(TSortingType sorting);
    bool GetVisible() const;
    void SetVisible(bool visible);
    // Shows the field's formula around its field word and places the row.
    void PlaceRow();
    // Takes the field word's and the sorting word's choices into the result
    // field.
    void RefreshResultField();

    TRFRowButton* Button() const { return FButton.get(); }
    // The plain texts before and after the field mark; none when empty.
    TDropDownLabel* TextLabel1() const { return FTextLabel1.get(); }
    TDropDownLabel* TextLabel2() const { return FTextLabel2.get(); }
    // None when the result field refers to no model field.
    TDropDownLabel* FieldLabel() const { return FFieldLabel.get(); }
    TDropDownLabel* SortLabel() const { return FSortLabel.get(); }

private:
    // An accepted choice in the label remakes the row's field.
    void refreshOnAccept(TDropDownLabel& label);
    template <typename T>
    using Owned = LaterOwned<T>;

    void CreateFieldLabel();
    void setText(Owned<TDropDownLabel>& label, const QString& text);

    TVxResultFieldsPanel& FPanel;
    TResultField* FRField;
    Owned<TRFRowButton> FButton;
    Owned<TDropDownLabel> FTextLabel1;
    Owned<TDropDownLabel> FTextLabel2;
    Owned<TDropDownLabel> FFieldLabel;
    Owned<TDropDownLabel> FSortLabel;
    std::vector<QMetaObject::Connection> FAccepting;
    bool FVisible = false;
};

class BRINDLE_WIDGETS_EXPORT TVxResultFieldsPanel : public QScrollArea, private TRFieldListObserver {
    Q_OBJECT
public:
    explicit TVxResultFieldsPanel(QWidget* parent = nullptr);
    ~TVxResultFieldsPanel() override;

    TRFPAppearance& Appearance() { return FAppearance; }

    // The seven texts of the panel as name=text lines.
    const TStringList& Titles() const { return FTitles; }
    // Merges the lines into the default texts.
    void SetTitles(const TStringList& lines);
    const TStringList& DefTitles() const { return FDefTitles; }
    QString GetTitle(const QString& name) const;
    void SetTitle(const QString& name, const QString& text);
    // The titles editor over the texts; true when the user chose OK.
    bool EditTitles();

    TVxCustomDBStructure* DBStruct() const { return FDBStruct.data(); }
    // A new model gets a new, empty result field list.
    void SetDBStruct(TVxCustomDBStructure* model);
    // The list the panel edits: its own, or a bound query's.
    TRFieldList& ResultFields() { return *FList; }
    // Copies the list into the one the panel edits (needs a data model).
    void SetResultFields(const TRFieldList& list);
    // Edits the query's own columns rather than a list of the panel's, so a
    // host with a query panel and this panel keeps one list: the panel
    // takes the query's model and follows it. None (or the query going)
    // returns to a list of the panel's own. Not owned.
    void BindQuery(TVxQuery* query);
    TVxQuery* BoundQuery() const { return FQuery.data(); }

    bool Active() const { return FActive; }
    // Activating needs a data model.
    void SetActive(bool active);
    void Activate();
    void Deactivate();
    void Refresh();
    // Empties the list and the rows.
    void ClearAll();

    int RowCount() const { return static_cast<int>(FRows.size()); }
    TResultFieldRow* Row(int index) const { return FRows.at(static_cast<std::size_t>(index)).get(); }
    TResultFieldRow* GetFirstRow() const { return FRows.empty() ? nullptr : FRows.front().get(); }
    TResultFieldRow* GetLastRow() const { return FRows.empty() ? nullptr : FRows.back().get(); }
    TResultFieldRow* CurrentRow() const { return FCurrentRow; }
    // The line under the rows that adds a column, while active.
    TDropDownLabel* AddRowLabel() const { return FAddRowLabel.get(); }
    QMenu* RowPopup() const { return FRowPopup; }
    QWidget* Surface() const { return FSurface; }

    // Appends a column over the model's first result field (an empty model
    // refuses) and shows it at the end.
    void AddEmptyRow();
    TResultField* NewResultField();
    void DeleteRow(int index);
    void MoveRowUp(int index);
    void MoveRowDown(int index);
    void MoveRow(int from, int to);
    // Numbers the sorted fields in list order from 1.
    void RefreshSortOrder();
    void PlaceRows(int from);
    void ShowAddRow();
    // Remakes every row from the list.
    void RefreshFieldsList();
    // Tells the host, unless it is already being told.
    void Changed();
    // The row menu's commands on the current row: 2 delete, 3 up, 4 down.
    void MenuItemClick(int tag);
    void RowButtonClick(TResultFieldRow* row);

    // The list of fields a field word offers: the model's fields usable in
    // results, grouped, shared by every row.
    std::shared_ptr<const WordItems> FieldItems() const;
    // Text height of "1" in the panel's font + 1.
    int RowHeight() const;

    using TRFPanelChangeEvent = std::function<void(QObject* sender)>;
    TRFPanelChangeEvent OnChange;

private:
    // The list's notices.
    void RFieldInserted(int index) override;
    void RFieldAboutToBeRemoved(int index) override;
    void RFieldMoved(int from, int to) override;
    void RFieldChanged(int index) override;
    void RFieldsAboutToBeReset() override;
    void RFieldsReset() override;

    void checkModel() const;
    void newList();
    // Shows the list: rows, and the signals the panel follows.
    void showList(TRFieldList* list);
    void dropRows();
    void takeFocus();
    void updateSurfaceSize();

    TRFPAppearance FAppearance;
    TStringList FDefTitles;
    TStringList FTitles;
    QPointer<TVxCustomDBStructure> FDBStruct;
    std::unique_ptr<TRFieldList> FResultFields;
    TRFieldList* FList;
    QPointer<TVxQuery> FQuery;
    QMetaObject::Connection FQueryModel;
    QMetaObject::Connection FQueryGone;
    QWidget* FSurface;
    std::vector<std::unique_ptr<TResultFieldRow>> FRows;
    TResultFieldRow* FCurrentRow = nullptr;
    LaterOwned<TDropDownLabel> FAddRowLabel;
    QMenu* FRowPopup = nullptr;
    QMetaObject::Connection FModelGone;
    bool FActive = false;
    bool FRefreshing = false;
    bool FInsideEventHandler = false;
    mutable std::shared_ptr<const WordItems> FFieldItems;
    mutable const TVxCustomDBStructure* FFieldItemsModel = nullptr;
    mutable quint64 FFieldItemsRevision = 0;
};

} // namespace brindle

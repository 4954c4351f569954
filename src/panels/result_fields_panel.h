#pragma once
// TVxResultFieldsPanel: the panel on which the user builds a query's result
// columns, one row per result field: a numbered button, the text of the
// column's formula around its field, the field word and the sorting word,
// and under the rows a line that adds a column. The panel owns the result
// field list it edits (hosts copy it to and from a query) and is a view of
// it: the rows follow the list's own notices, whoever changes the list.
// The words are the columns' own (TResultField::Word), and a choice in one
// goes to the list's AcceptWordValue. As on the query panel, only rows
// near the viewport have controls.
//
// The keyboard works on the current row and its selected word: Up and Down
// change the row, Left and Right the word, Enter or Space opens the word,
// Insert adds a column, Delete deletes the row, Ctrl+Up and Ctrl+Down move
// it. The current row is shaded and, while the panel has the focus, the
// selected word framed.

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/later_owned.h>
#include <brindle/panels/published_enums.h>
#include <brindle/panels/round_button.h>
#include <brindle/panels/sentence_rows.h>
#include <brindle/query/query.h>

#include <QColor>
#include <QPointer>

#include <array>
#include <memory>
#include <type_traits>
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

// One row: one result field of the panel's list, with its controls while
// it is near the viewport.
class BRINDLE_WIDGETS_EXPORT TResultFieldRow {
public:
    TResultFieldRow(TVxResultFieldsPanel& panel, TResultField* field);
    ~TResultFieldRow();

    TResultField* RField() const { return FRField; }
    void SetRField(TResultField* field);
    // The row's place in the panel, from 0.
    int GetRowIndex() const { return FIndex; }
    QString GetRowNumStr() const { return QString::number(GetRowIndex() + 1); }
    // The column's sorting; setting it is a choice in the sorting word.
    TSortingType GetSorting() const;
    void SetSorting(TSortingType sorting);
    bool GetVisible() const;
    void SetVisible(bool visible);
    // Shows the field's words and places the row, when it has controls.
    void PlaceRow();
    // Places the row again and tells the host of a change.
    void RefreshResultField();

    // The controls; null while the row is far from the viewport.
    TRFRowButton* Button() const { return FButton.get(); }
    // The plain texts before and after the field mark; none when empty.
    TDropDownLabel* TextLabel1() const { return label(wrText); }
    TDropDownLabel* TextLabel2() const { return label(wrTextAfter); }
    // None when the result field refers to no model field.
    TDropDownLabel* FieldLabel() const { return label(wrField); }
    TDropDownLabel* SortLabel() const { return label(wrSorting); }

private:
    friend class TVxResultFieldsPanel;
    template <typename T>
    using Owned = LaterOwned<T>;

    TDropDownLabel* label(TWordRole role) const;
    Owned<TDropDownLabel>& slot(TWordRole role);
    bool hasControls() const { return FButton != nullptr; }
    void makeControls();
    void dropControls();
    // Labels for the words the column has now, bound to them.
    void bindWords();

    TVxResultFieldsPanel& FPanel;
    TResultField* FRField;
    int FIndex = 0;
    Owned<TRFRowButton> FButton;
    std::array<Owned<TDropDownLabel>, std::size(ResultFieldOrder)> FLabels;
    bool FVisible = false;
};

class BRINDLE_WIDGETS_EXPORT TVxResultFieldsPanel : public TSentenceRows, private TRFieldListObserver {
    Q_OBJECT
    Q_PROPERTY(QStringList Titles READ titleLines WRITE setTitleLines)
    // The appearance's; a change shows at once.
    Q_PROPERTY(int LeftMargin READ leftMargin WRITE setLeftMargin)
    Q_PROPERTY(int TopMargin READ topMargin WRITE setTopMargin)
    Q_PROPERTY(int RowSpace READ rowSpace WRITE setRowSpace)
    Q_PROPERTY(int ElemSpace READ elemSpace WRITE setElemSpace)
    Q_PROPERTY(QColor SortColor READ sortColor WRITE setSortColor)
    Q_PROPERTY(QColor FieldColor READ fieldColor WRITE setFieldColor)
    Q_PROPERTY(brindle::Published::AppearanceOptions Options READ options WRITE setOptions)
    Q_PROPERTY(QString NameSeparator READ nameSeparator WRITE setNameSeparator)
public:
    explicit TVxResultFieldsPanel(QWidget* parent = nullptr);
    ~TVxResultFieldsPanel() override;

    TRFPAppearance& Appearance() { return FAppearance; }

    // The seven texts of the panel as name=text lines.
    const TStringList& Titles() const { return FTitles; }
    // Merges the lines into the default texts.
    void SetTitles(const TStringList& lines);
    const TStringList& DefTitles() const { return FDefTitles; }
    QString GetTitle(const QString& name) const override;
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
    // The row the keyboard and the row menu act on; a column added becomes
    // current, and when the current row goes the one in its place (else
    // the one above) takes over.
    TResultFieldRow* CurrentRow() const { return FCurrentRow; }
    void SetCurrentRow(int index);
    // The current row's word the keys open; none without a current row.
    TDropDownLabel* SelectedLabel() const;
    QMenu* RowPopup() const { return FRowPopup; }

    // Appends a column over the model's first result field (an empty model
    // refuses) and shows it at the end.
    void AddEmptyRow();
    TResultField* NewResultField();
    void DeleteRow(int index);
    void MoveRowUp(int index);
    void MoveRowDown(int index);
    void MoveRow(int from, int to);
    // Numbers the sorted fields in list order from 1 (the list's rule).
    void RefreshSortOrder();
    // Numbers the rows from the index on and places every row near the
    // viewport.
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

protected:
    // TSentenceRows
    int rowStep() const override { return FAppearance.RowSpace() + RowHeight(); }
    int firstRowTop() const override { return FAppearance.TopMargin(); }
    void placeNearRows() override { PlaceRows(0); }
    void paintSurface(QPainter& painter) override;
    void showKeyboardFocus() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TResultFieldRow;
    // Published properties. The appearance's setters only store, so each
    // write shows the rows again.
    QStringList titleLines() const { return FTitles.Lines(); }
    void setTitleLines(const QStringList& lines);
    template <typename T>
    void setLook(void (TRFPAppearance::*set)(T), std::type_identity_t<T> value)
    {
        (FAppearance.*set)(value);
        Refresh();
    }
    int leftMargin() const { return FAppearance.LeftMargin(); }
    void setLeftMargin(int margin) { setLook(&TRFPAppearance::SetLeftMargin, margin); }
    int topMargin() const { return FAppearance.TopMargin(); }
    void setTopMargin(int margin) { setLook(&TRFPAppearance::SetTopMargin, margin); }
    int rowSpace() const { return FAppearance.RowSpace(); }
    void setRowSpace(int space) { setLook(&TRFPAppearance::SetRowSpace, space); }
    int elemSpace() const { return FAppearance.ElemSpace(); }
    void setElemSpace(int space) { setLook(&TRFPAppearance::SetElemSpace, space); }
    QColor sortColor() const { return FAppearance.SortColor(); }
    void setSortColor(const QColor& color) { setLook(&TRFPAppearance::SetSortColor, color); }
    QColor fieldColor() const { return FAppearance.FieldColor(); }
    void setFieldColor(const QColor& color) { setLook(&TRFPAppearance::SetFieldColor, color); }
    Published::AppearanceOptions options() const
    {
        return Published::ToFlags<Published::AppearanceOptions>(FAppearance.Options());
    }
    void setOptions(Published::AppearanceOptions options)
    {
        setLook(&TRFPAppearance::SetOptions, Published::ToSet<TRFPAppearanceOptions>(options));
    }
    QString nameSeparator() const { return FAppearance.NameSeparator(); }
    void setNameSeparator(const QString& separator) { setLook(&TRFPAppearance::SetNameSeparator, separator); }

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
    void updateSurfaceSize();
    // The words' look from the appearance and titles, given to the list.
    void applyWordsLook();
    // A choice accepted in a row's word.
    void acceptWord(TResultFieldRow* row, TWordRole role, const QString& value);
    // A word of the row about to open: it becomes the selected one.
    void wordOpening(TResultFieldRow* row, TWordRole role);
    // The keyboard map; false for keys left to the scroll area.
    bool keyDown(int key, Qt::KeyboardModifiers modifiers);
    // The current row's word a step away in sentence order; false at an end.
    bool stepWord(int by);
    // Keeps the selected word one the current row has, else its first.
    void fixSelectedWord();
    // Scrolls the current row and its word into view and repaints.
    void showSelection();

    TRFPAppearance FAppearance;
    TStringList FDefTitles;
    TStringList FTitles;
    QPointer<TVxCustomDBStructure> FDBStruct;
    std::unique_ptr<TRFieldList> FResultFields;
    TRFieldList* FList;
    QPointer<TVxQuery> FQuery;
    QMetaObject::Connection FQueryModel;
    QMetaObject::Connection FQueryGone;
    std::vector<std::unique_ptr<TResultFieldRow>> FRows;
    TResultFieldRow* FCurrentRow = nullptr;
    TWordRole FSelectedWord = wrField;
    QMenu* FRowPopup = nullptr;
    QMetaObject::Connection FModelGone;
    bool FActive = false;
    bool FRefreshing = false;
    bool FInsideEventHandler = false;
};

} // namespace brindle

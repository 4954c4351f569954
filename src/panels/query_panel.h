#pragma once
// TVxQueryPanel: the panel on which a query's filter reads as rows of
// sentences, one row per node of the condition tree. The panel owns its
// TVxQuery and is its view: it learns the tree from the query's signals,
// gives the rows near the viewport a row button, a check box and one label
// per word, places them, and passes every accepted choice to the query's
// AcceptWordValue. It keeps no copy of the tree or of a word's state: a
// row's place follows from its number, so rows far from the viewport need
// no controls at all.

#include <brindle/brindle_widgets_export.h>
#include <brindle/panels/result_fields_options.h>
#include <brindle/panels/appearance.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/later_owned.h>
#include <brindle/panels/published_enums.h>
#include <brindle/panels/round_button.h>
#include <brindle/panels/sentence_rows.h>
#include <brindle/query/query.h>

#include <QCheckBox>
#include <QPointer>

class QActionGroup;
class QMenu;

#include <array>
#include <memory>
#include <unordered_map>

namespace brindle {

class TdlgRFieldsEditor;

// A row's enable check box: flat, never focused.
class BRINDLE_WIDGETS_EXPORT TVxFlatCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TVxFlatCheckBox(QWidget* parent = nullptr);
};

class BRINDLE_WIDGETS_EXPORT TVxQueryPanel : public TSentenceRows, private IQueryView {
    Q_OBJECT
    Q_PROPERTY(int RowSpace READ RowSpace WRITE SetRowSpace)
    Q_PROPERTY(int TabSpace READ TabSpace WRITE SetTabSpace)
    Q_PROPERTY(int ElemSpace READ ElemSpace WRITE SetElemSpace)
    Q_PROPERTY(int HeaderLeft READ HeaderLeft WRITE SetHeaderLeft)
    Q_PROPERTY(int HeaderTop READ HeaderTop WRITE SetHeaderTop)
    Q_PROPERTY(int MaxPopupItemCount READ maxPopupItemCount WRITE setMaxPopupItemCount)
    Q_PROPERTY(bool SaveTitles READ saveTitles WRITE setSaveTitles)
    Q_PROPERTY(QStringList Titles READ titleLines WRITE setTitleLines)
    Q_PROPERTY(QFont SubQueryFont READ SubQueryFont WRITE SetSubQueryFont)
    // The appearance's, each set through it, which rebuilds the panel.
    Q_PROPERTY(QColor ActiveRowColor READ activeRowColor WRITE setActiveRowColor)
    Q_PROPERTY(QColor ControlBorderColor READ controlBorderColor WRITE setControlBorderColor)
    Q_PROPERTY(QColor ButtonColor READ buttonColor WRITE setButtonColor)
    Q_PROPERTY(QColor AddRowColor READ addRowColor WRITE setAddRowColor)
    Q_PROPERTY(QColor FieldColor READ fieldColor WRITE setFieldColor)
    Q_PROPERTY(QColor OperatorColor READ operatorColor WRITE setOperatorColor)
    Q_PROPERTY(QColor ValueColor READ valueColor WRITE setValueColor)
    Q_PROPERTY(QColor BoolOpColor READ boolOpColor WRITE setBoolOpColor)
    Q_PROPERTY(brindle::Published::AppearanceOptions Options READ options WRITE setOptions)
    Q_PROPERTY(brindle::Published::LinkTypes LinkTypes READ linkTypes WRITE setLinkTypes)
    Q_PROPERTY(QString MainBtnCaption READ mainBtnCaption WRITE setMainBtnCaption)
    Q_PROPERTY(QString NameSeparator READ nameSeparator WRITE setNameSeparator)
    Q_PROPERTY(brindle::Published::LogicalOperatorStyle LogOpStyle READ logOpStyle WRITE setLogOpStyle)

public:
    explicit TVxQueryPanel(QWidget* parent = nullptr);
    ~TVxQueryPanel() override;

    // The query the panel shows: building SQL, the query text, import,
    // query bases, titles and events are all reached through it.
    TVxQuery& Query() { return *FQuery; }
    const TVxQuery& Query() const { return *FQuery; }

    TQPAppearance& Appearance() { return FAppearance; }
    TQPAppearance& ViewOptions() { return FAppearance; }
    TQPAppearance& SubQueryAppearance() { return FSubQueryAppearance; }
    const QFont& SubQueryFont() const { return FSubQueryFont; }
    void SetSubQueryFont(const QFont& font) { FSubQueryFont = font; }

    // Spacing, read at every placement; a change places the rows of an
    // active panel at once.
    int RowSpace() const { return FRowSpace; }
    void SetRowSpace(int space) { setSpacing(FRowSpace, space); }
    int TabSpace() const { return FTabSpace; }
    void SetTabSpace(int space) { setSpacing(FTabSpace, space); }
    int ElemSpace() const { return FElemSpace; }
    void SetElemSpace(int space) { setSpacing(FElemSpace, space); }
    int HeaderLeft() const { return FHeadLeft; }
    void SetHeaderLeft(int left) { setSpacing(FHeadLeft, left); }
    int HeaderTop() const { return FHeadTop; }
    void SetHeaderTop(int top) { setSpacing(FHeadTop, top); }
    const TImageList* Images() const { return FImages; }
    void SetImages(const TImageList* images) { FImages = images; }
    // The selected word is framed.
    bool ShowFrame() const { return FShowFrame; }
    void SetShowFrame(bool show);
    // List boxes open in windows of their own (a host without a top-level
    // window of ours).
    bool IsActiveX() const { return FIsActiveX; }
    void SetIsActiveX(bool on) { FIsActiveX = on; }

    bool Active() const { return FQuery->Active(); }
    // Activating needs a data model (EVxQueryPanelError 3).
    void SetActive(bool active);
    void Activate() { SetActive(true); }
    void Deactivate() { SetActive(false); }

    // Text height of "A" in the panel's font + 1.
    int GetRowHeight() const;
    // Rebuilds the rows from the query's own text.
    void RefreshPanel();
    void PlaceAllRows();
    void PlaceRow(TFilterRow* row);
    void PlaceAddRow();
    void RefreshRow(TFilterRow* row);
    // The band of a row across the panel, in the panel's content.
    QRect GetRowRect(const TFilterRow* row) const;

    // A row's words by control index, the index of the row's selection:
    // 1 to 5 read left to right (4 is the text between two values, 5 the
    // second value), 9 is the logical operator word.
    static constexpr std::array<int, 6> ControlIndexes = {1, 2, 3, 4, 5, 9};
    // The row's controls: its button, its check box and the label at a
    // control index. Only rows near the viewport, the root and the current
    // row have controls; for the others these are null.
    TFilterBtn* RowButton(const TFilterRow* row) const;
    TVxFlatCheckBox* RowCheckBox(const TFilterRow* row) const;
    TDropDownLabel* GetRowControl(const TFilterRow* row, int index) const;
    // The word a row shows at a control index; null for none.
    static TQueryWord* RowWord(const TFilterRow* row, int index);
    // The query's titles.
    QString GetTitle(const QString& name) const override;

    // Adds a condition (with the field, or the first one offered) to the
    // bracket holding the current row, or to the root.
    TFilterCond* ProcessAddRowClick(TDSField* field);

    // --- commands (query_panel_commands.cpp)
    // The menus of the root button, of the other row buttons and of value
    // words. Every entry carries its tag as the action's data; the custom
    // condition entries carry the condition's position in the model.
    QMenu* MainPopup() const { return FMainPopup; }
    QMenu* RowPopup() const { return FRowPopup; }
    QMenu* ValuePopup() const { return FValuePopup; }
    // Captions from the titles, the custom condition submenus from the
    // model, the parameter entry by aoAllowParams.
    void UpdateMenus();
    // Runs the command of a main or row menu tag.
    void MenuItemClick(int tag);
    // Shows the entries for adding inside the current row only for a bracket
    // other than the root.
    void RowMenuPopup();
    // Checks the constant or the parameter entry for the selected value word.
    void ValueMenuPopup();
    // Makes the selected value word's value a constant (tag 1) or a
    // parameter (tag 2).
    void ValueMenuItemClick(int tag);
    // Adds the model's predefined condition at that position to the current bracket.
    void AddCustomConditionClick(int position);
    void MainButtonClick();
    void RowButtonClick(TFilterRow* row);
    void CheckBoxClick(TFilterRow* row, bool checked);
    // The keyboard map; false for keys left to the default handling.
    bool KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A mouse-down on the background: open editors close accepting, the
    // panel takes the focus and frames the selected word.
    void MouseDown();
    // The add-row line: left adds a condition, right opens the main menu.
    void AddRowLabelMouseDown(Qt::MouseButton button);

    // The current row, the panel's own: the row a user works on, which the
    // commands and the keyboard act on. A row added to the tree becomes
    // current; when the current row goes, the row now in its line, else
    // the one above, takes over. Changing it repaints the panel; a row out
    // of the tree is none.
    TFilterRow* CurrentRow() const;
    void SetCurrentRow(TFilterRow* row);
    // The bracket of the current row (itself when it is one), else the root.
    TFilterBracket* GetCurrentBracket() const;
    // The current row's line; -1 for none.
    int GetCurrentRowNum() const;
    // The current row moved one step (TVxQuery::MoveRowUp...); it stays current.
    void MoveCurRowUp();
    void MoveCurRowDown();
    void MoveCurRowLeft();
    void MoveCurRowRight();
    // The control index of the current row's selected word; 0 for none.
    int CurrentControlIndex() const { return FCurrentControl; }
    void SetCurrentControlIndex(int index);
    // Makes the row of the slot current, selects its first drop-down word
    // and scrolls it into view.
    void SetCurrentRowNum(int slot);
    void IncCurRow();
    void DecCurRow();
    // The slot the row stands in; -1 when none.
    int RowSlot(const TFilterRow* row) const;

    // The selected word of the row (the current one): selection moves over
    // the drop-down words (not plain text) in index order 1 to 5, then 9;
    // true when it moved.
    bool NextCurControl(TFilterRow* row);
    bool PrevCurControl(TFilterRow* row);
    void FirstCurControl(TFilterRow* row);
    // What a row's labels report.
    void BeforeDropLabel(TFilterRow* row, TDropDownLabel* label);
    void AfterDropUpLabel(bool accepted);
    void ValueDblClick(TFilterCond* condition, int valueIndex);
    void EditDblClick(TFilterCond* condition, int valueIndex, QString& text);
    void ValueAltClick(TFilterCond* condition, int valueIndex);
    void ValueRightClick(TFilterRow* row, TDropDownLabel* label);
    // A value word with a custom editor (or a sub-query): true when the
    // value changed.
    bool CustomDropDownHandler(TFilterCond* condition, int valueIndex, QString& value);

    // Opens the sub-query dialog on a stored sub-query; on OK stores the
    // edited one back, gives its statement, readable text and statement
    // options, and answers true.
    virtual bool EditSubQuery(TStringList& subQuery, QString& sql, QString& text, TSQLOptions& options);
    // The sub-query dialog's panel changed: so did this panel's query.
    void SubQueryChanged();
    // --- the result fields editor
    // Sets a dialog up over the query's result fields: model, options,
    // texts, help, and the largest number of fields (0 any, 1 exactly one
    // that each addition replaces, n at most n).
    void InitResultFieldsDlg(TdlgRFieldsEditor& dialog, int maxFieldCount, TRFDOptions options);
    // Modal; on OK the query's result fields become the edited list in one
    // update.
    bool ShowResultFieldsDlg(int maxFieldCount, TRFDOptions options);
    // Modeless: the dialog stays open while the user goes on; closing it
    // with OK saves the list, and OnResultFieldsDlgClose fires on every
    // closing. The dialog deletes itself once closed.
    TdlgRFieldsEditor* ShowResultFieldsDlgAsync(int maxFieldCount, TRFDOptions options);
    // Any number of fields, with their sorting.
    bool EditQResult();

    // The titles editor over the query's titles; true when the user chose
    // OK, after which the panel shows the new texts.
    bool EditTitles();

    std::function<void(QObject* sender)> OnActive;
    std::function<void(QObject* sender)> OnResultFieldsDlgClose;
    // The Help button of the panel's dialogs.
    std::function<void(QObject* sender)> OnHelpClick;
    // A double click on a value word or inside its text editor; the value
    // is the editor's text there, and what the handler leaves in it goes
    // back into the editor.
    using TValueDblClickEvent = std::function<void(TFilterCond* condition, int valueIndex, QString& value)>;
    TValueDblClickEvent OnValueDblClick;

signals:
    // The query's changed(): after every complete change of the query.
    void changed();

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // TSentenceRows
    int rowStep() const override;
    int firstRowTop() const override { return FHeadTop; }
    void placeNearRows() override { PlaceAllRows(); }
    void paintSurface(QPainter& painter) override;
    bool surfaceMouseDown() override;
    void showKeyboardFocus() override;

private:
    template <typename T>
    using Owned = LaterOwned<T>;
    struct RowControls {
        Owned<TFilterBtn> Button;
        Owned<TVxFlatCheckBox> CheckBox;
        std::array<Owned<TDropDownLabel>, std::size(SentenceOrder)> Labels; // by role
    };

    // IQueryView
    void QueryChanged(TVxQuery& query) override;
    void ActiveChanged(TVxQuery& query) override;
    bool EditSubQuery(TVxQuery& query, TStringList& subQuery, QString& value, TSQLOptions& options,
                      QString& readableText) override;

    // Published properties that are the query's or the appearance's.
    int maxPopupItemCount() const { return FQuery->MaxPopupItemCount(); }
    void setMaxPopupItemCount(int count) { FQuery->SetMaxPopupItemCount(count); }
    bool saveTitles() const { return FQuery->SaveTitles(); }
    void setSaveTitles(bool save) { FQuery->SetSaveTitles(save); }
    QStringList titleLines() const { return FQuery->Titles().Lines(); }
    // Merged into the default titles, as EditTitles stores them.
    void setTitleLines(const QStringList& lines);
    QColor activeRowColor() const { return FAppearance.ActiveRowColor(); }
    void setActiveRowColor(const QColor& color) { FAppearance.SetActiveRowColor(color); }
    QColor controlBorderColor() const { return FAppearance.ControlBorderColor(); }
    void setControlBorderColor(const QColor& color) { FAppearance.SetControlBorderColor(color); }
    QColor buttonColor() const { return FAppearance.ButtonColor(); }
    void setButtonColor(const QColor& color) { FAppearance.SetButtonColor(color); }
    QColor addRowColor() const { return FAppearance.AddRowColor(); }
    void setAddRowColor(const QColor& color) { FAppearance.SetAddRowColor(color); }
    QColor fieldColor() const { return FAppearance.FieldColor(); }
    void setFieldColor(const QColor& color) { FAppearance.SetFieldColor(color); }
    QColor operatorColor() const { return FAppearance.OperatorColor(); }
    void setOperatorColor(const QColor& color) { FAppearance.SetOperatorColor(color); }
    QColor valueColor() const { return FAppearance.ValueColor(); }
    void setValueColor(const QColor& color) { FAppearance.SetValueColor(color); }
    QColor boolOpColor() const { return FAppearance.BoolOpColor(); }
    void setBoolOpColor(const QColor& color) { FAppearance.SetBoolOpColor(color); }
    Published::AppearanceOptions options() const;
    void setOptions(Published::AppearanceOptions options);
    Published::LinkTypes linkTypes() const;
    void setLinkTypes(Published::LinkTypes types);
    QString mainBtnCaption() const { return FAppearance.MainBtnCaption(); }
    void setMainBtnCaption(const QString& caption) { FAppearance.SetMainBtnCaption(caption); }
    QString nameSeparator() const { return FAppearance.NameSeparator(); }
    void setNameSeparator(const QString& separator) { FAppearance.SetNameSeparator(separator); }
    Published::LogicalOperatorStyle logOpStyle() const;
    void setLogOpStyle(Published::LogicalOperatorStyle style);
    void setSpacing(int& member, int value);

    void connectQuery();
    // The tree's changes as they concern the current row.
    void rowAdded(TFilterRow* row);
    void rowGoing(TFilterRow* row);
    // Moves the current row with the query's command and keeps it current.
    void moveCurrentRow(bool (TVxQuery::*move)(TFilterRow*));
    // The one open editor of the panel: closed when another opens, on a
    // click on the background and when the query asks (for a row, or for a
    // bracket and the rows below it).
    void closeOpenEditor(bool accept);
    void closeEditorOf(const TFilterRow* row, bool accept);
    void makeControls(TFilterRow* row);
    void makeLabels(TFilterRow* row, RowControls& controls);
    void dropControls(TFilterRow* row);
    void dropTreeControls(TFilterRow* row);
    void dropAllControls();
    void rebuild();
    void recreateAddRowLabel();
    void showRow(TFilterRow* row, RowControls& controls);
    // Shown on the panel: active, not hidden by the host, not the hidden root.
    bool rowShown(const TFilterRow* row) const;

    // query_panel_commands.cpp
    void createMenus();
    void fillCustomConditionMenu(QMenu* menu);
    // Sets the handlers of a row's label by what its word is.
    void wireLabel(TFilterRow* row, TDropDownLabel* label);
    void popupMenu(QMenu* menu, const QPoint& at);
    // The row menu, or the main menu for the root, under the row's first
    // drop-down word.
    void popupRowMenuUnderWord(TFilterRow* row);
    // Deletes the current row, renumbers the tree and places the rows.
    void deleteCurrentRow();
    // The row's label that is selected; none without a selection.
    TDropDownLabel* selectedLabel(const TFilterRow* row) const;
    int labelIndex(const TFilterRow* row, const TDropDownLabel* label) const;
    // Which value (1 or 2) of a condition a label shows; 0 for none.
    static int valueIndexOf(const TFilterRow* row, const TDropDownLabel* label);
    bool selectable(const TFilterRow* row, int index, bool visibleOnly) const;
    void showSelection(TFilterRow* row);
    // The last row down the tree's last branches (the add-row line's anchor).
    TFilterRow* lastPlacedRow() const;
    QColor wordColor(TWordRole role) const;
    void updateSurfaceSize();
    void saveResultFields(const TdlgRFieldsEditor& dialog);

    std::unique_ptr<TVxQuery> FQuery;
    TQPAppearance FAppearance;
    TQPAppearance FSubQueryAppearance;
    QFont FSubQueryFont;
    std::unordered_map<const TFilterRow*, RowControls> FRows;
    QPointer<TDropDownLabel> FOpenEditor;
    // The current row, or the line it stood in until someone asks: the rows
    // around it settle only once its removal is over.
    mutable TFilterRow* FCurrentRow = nullptr;
    mutable int FLostLine = -1;
    bool FLostFromRoot = false;
    // Whether the root was current when the tree began a reset, and which.
    const TFilterBracket* FCurrentRootBeforeReset = nullptr;
    int FCurrentControl = 0;
    const TImageList* FImages = nullptr;
    int FRowSpace = 3;
    int FTabSpace = 20;
    int FElemSpace = 5;
    int FHeadLeft = 5;
    int FHeadTop = 5;
    bool FShowFrame = true;
    bool FIsActiveX = false;
    QMenu* FMainPopup = nullptr;
    QMenu* FRowPopup = nullptr;
    QMenu* FValuePopup = nullptr;
    QMenu* FMainCondMenuItem = nullptr;
    QMenu* FRowCondMenuItem = nullptr;
    QActionGroup* FValueKinds = nullptr;
};

} // namespace brindle

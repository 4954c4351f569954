#pragma once
// TdlgRFieldsEditor: the dialog in which a user edits a query's result
// columns as a list: the model's fields in a tree on the left, the result
// columns and the sorted columns in two grids on the right. It works on a
// copy of the list (Load) and hands it back only when asked (Save), so a
// caller that does not save after Cancel has nothing to undo. The dialog
// owns its controls and the copy; it refers to the data model, which it
// follows: fields the model frees leave the tree and the copy. The tree is
// a view over a FieldsTreeModel, so a model of any size fills it at once;
// typing into a tree too long for its view filters it (TTypeFilter).

#include <brindle/brindle_widgets_export.h>
#include <brindle/datamodel/model_listener.h>
#include <brindle/foundations/set.h>
#include <brindle/panels/result_fields_options.h>
#include <brindle/query/result_fields.h>

#include <QDialog>
#include <QHash>

#include <functional>

class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;
class QModelIndex;
class QTreeView;
class QWidget;

namespace brindle {

class FieldsTreeModel;
class TTypeFilter;
class TVxQuery;


// The tags of the add menu's items (their actions' data). rfaJustSorting
// adds the field for sorting only.
enum TRFAddTag {
    rfaAsIs = 0, rfaAdd = 1, rfaSubtract = 2, rfaMultiply = 3, rfaDivide = 4, rfaSum = 5, rfaCount = 6,
    rfaMin = 7, rfaMax = 8, rfaAverage = 9, rfaList = 10, rfaCountDistinct = 11, rfaJustSorting = 12
};
// The tags of the result grid's menu; the sort grid's menu carries the
// TSortingType it sets.
enum TRFMenuTag { rfmNew = 1, rfmDelete = 2, rfmSort = 3, rfmRemoveAll = 4 };

class BRINDLE_WIDGETS_EXPORT TdlgRFieldsEditor : public QDialog, private TRFieldListObserver,
                                                 private IModelListener {
    Q_OBJECT
public:
    explicit TdlgRFieldsEditor(QWidget* parent = nullptr);
    ~TdlgRFieldsEditor() override;

    // Fills the tree with the model's fields usable in results and selects
    // its first node; none empties it. Replacing a model empties the copy,
    // whose fields were the old model's.
    void SetDBStructure(TVxCustomDBStructure* model);
    TVxCustomDBStructure* DBStructure() const { return FDBStructure; }
    // rfdOnlySorting brings rfdShowSorting along.
    void SetOptions(TRFDOptions options);
    TRFDOptions Options() const { return FOptions; }
    // 0 allows any number of result fields, 1 exactly one (each addition
    // replaces it), n of 2 or more allows n.
    void SetMaxFieldCount(int count);
    int MaxFieldCount() const { return FMaxFieldCount; }
    // The texts come from the query's titles; none gives the default titles.
    void SetTitles(const TVxQuery* query);

    // The working copy takes the list, its just-sorting state and its alias
    // settings; Save gives the copy back.
    void Load(const TRFieldList& list);
    void Save(TRFieldList& list) const;
    const TRFieldList& ResultFields() const { return FRFields; }

    std::function<void()> OnHelpClick;

    QTreeView* FieldsTree() const { return tvAllFields; }
    FieldsTreeModel* FieldsModel() const { return FFieldsModel; }
    TTypeFilter* FieldsFilter() const { return FFieldsFilter; }
    QTableWidget* ResultGrid() const { return sgRFields; }
    QTableWidget* SortGrid() const { return sgSortOrder; }
    QMenu* AddFieldMenu() const { return pmAddField; }
    QMenu* ResultFieldMenu() const { return pmResultField; }
    QMenu* SortMenu() const { return pmSort; }
    QPushButton* AddButton() const { return btAddResultField; }
    QToolButton* DeleteButton() const { return FDeleteButton; }
    QToolButton* SortButton() const { return FSortButton; }
    QToolButton* NewButton() const { return FNewButton; }
    QToolButton* ResultUpButton() const { return FResultUp; }
    QToolButton* ResultDownButton() const { return FResultDown; }
    QToolButton* SortUpButton() const { return FSortUp; }
    QToolButton* SortDownButton() const { return FSortDown; }
    QPushButton* OkButton() const { return FOkButton; }
    QPushButton* CancelButton() const { return FCancelButton; }
    QPushButton* HelpButton() const { return FHelpButton; }

private:
    void RFieldInserted(int index) override;
    void RFieldAboutToBeRemoved(int index) override;
    void RFieldMoved(int from, int to) override;
    void RFieldChanged(int index) override;
    void RFieldsAboutToBeReset() override;
    void RFieldsReset() override;
    void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) override;
    void ModelEntitiesUpdated(TVxCustomDBStructure* model) override;
    void ModelEntitiesRemoved(TVxCustomDBStructure* model) override;
    void ModelDestroying(TVxCustomDBStructure* model) override;

    // Runs a user's action: the copy's notices of it are not shown again,
    // and nothing it throws leaves the event handler.
    void act(const std::function<void()>& work);
    QString title(const QString& name) const;
    void applyTitles();
    void applyOptions();
    void fillTree();
    void filterTree(const QString& text);
    // Makes the field's node current, else the first field the filter
    // shows, else the first node.
    void showTree(const TDSField* current);
    void refresh();
    void fillGrids();
    void fillResultGrid();
    void showResultRow(int row);
    void fillSortGrid();
    void showSortRow(int position);
    void collectSortFields();
    void renumberSortOrders();
    void selectResultRow(int row);
    void selectSortRow(int position);
    TDSField* selectedTreeField() const;
    TResultField* selectedResultField() const;
    int selectedSortPosition() const;
    bool canAdd() const;
    bool offersJustSorting() const;
    void updateButtons();

    void addButtonClick();
    void addMenuClick(int tag);
    void treeDoubleClick(const QModelIndex& node);
    void addField(const QString& formula, const QString& captionPattern, TDSField* field);
    void addForSorting(TDSField* field);
    void makeRoom();
    void newField();
    void extendFormula(const QString& op, TDSField* field);
    void resultCellChanged(QTableWidgetItem* item);
    void sortResultField();
    void setSortDirection(TSortingType sorting);
    void moveResultField(int step);
    void moveSortField(int step);
    void deleteResultField();
    void removeAll();
    void resultMenuClick(int tag);

    TVxCustomDBStructure* FDBStructure = nullptr;
    TRFieldList FRFields;
    // The sorted fields of FRFields in their sort order.
    QList<TResultField*> FSortFields;
    int FMaxFieldCount = 0;
    TRFDOptions FOptions;
    QHash<QString, QString> FTitles;
    // Set while the dialog changes its own copy, which it shows itself: the
    // copy's notices are shown for changes from elsewhere (the model
    // freeing fields).
    int FChanging = 0;
    bool FTreeStale = false;

    QTreeView* tvAllFields;
    FieldsTreeModel* FFieldsModel;
    TTypeFilter* FFieldsFilter;
    QPushButton* btAddResultField;
    QTableWidget* sgRFields;
    QTableWidget* sgSortOrder;
    QMenu* pmAddField;
    QMenu* pmResultField;
    QMenu* pmSort;
    QLabel* FFieldsLabel;
    QLabel* FResultLabel;
    QLabel* FSortLabel;
    QWidget* FResultPart;
    QWidget* FSortPart;
    QToolButton* FDeleteButton;
    QToolButton* FSortButton;
    QToolButton* FNewButton;
    QToolButton* FResultUp;
    QToolButton* FResultDown;
    QToolButton* FSortUp;
    QToolButton* FSortDown;
    QPushButton* FOkButton;
    QPushButton* FCancelButton;
    QPushButton* FHelpButton;
};

} // namespace brindle

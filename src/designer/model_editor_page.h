#pragma once
// ModelEditorPage: what the pages of the data model editor share. A page is
// a view over the editor's working copy of the model: it keeps no state of
// the model's own, writes every edit straight into the copy and reads the
// copy again in Refresh, which the editor calls whenever the page is shown
// or the copy was replaced. The page owns its controls (Qt children); the
// copy is the editor's.

#include <brindle/brindle_widgets_export.h>
#include <brindle/designer/entity_list_model.h>
#include <brindle/foundations/field_types.h>

#include <QWidget>

#include <functional>
#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QPushButton;
class QListView;
class QListWidget;
class QListWidgetItem;
class QToolButton;

namespace brindle {

class TObject;
class TTypeFilter;
class TVxCustomDBStructure;

class BRINDLE_WIDGETS_EXPORT ModelEditorPage : public QWidget {
    Q_OBJECT
public:
    ModelEditorPage(TVxCustomDBStructure& model, QWidget* parent);
    ~ModelEditorPage() override;

    // Shows the model as it stands now; entities the page showed before may
    // have been freed, so nothing of them is read.
    virtual void Refresh() = 0;
    TVxCustomDBStructure& Model() const { return FModel; }

protected:
    // Runs a user's edit: what it throws goes to the widgets' error handler,
    // and the page shows the model again, so it never shows a value the
    // model refused.
    void edit(const std::function<void()>& work);
    // True while the page fills its controls: their signals are no edits then.
    bool filling() const { return FFilling > 0; }
    // Runs the page's filling of its controls.
    void fill(const std::function<void()>& work);

    // A list entry standing for an entity of the model.
    static QListWidgetItem* entityItem(QListWidget* list, const QString& text, const TObject* entity);
    template <typename T>
    static T* itemEntity(const QListWidgetItem* item)
    {
        return item ? static_cast<T*>(itemObject(item)) : nullptr;
    }
    // The entity of the list's current entry as a bare address: it may have
    // been freed since, so it only identifies and is never read.
    static const void* currentKey(const QListWidget* list);
    // Selects the entry of the entity, else the row, else the last row.
    static void selectEntity(QListWidget* list, const void* entity, int row);
    // Empties the list and fills it through addEntries, keeping the entry
    // that was current: by its entity, else by its row.
    static void refillList(QListWidget* list, const std::function<void()>& addEntries);
    // After an entity was added or deleted: the page shows the model again
    // with the entity's entry current, else the row's.
    void showAgain(QListWidget* list, const void* entity, int row);
    // The lists that may hold every table or attribute of a large model show
    // an EntityListModel of their own, and so do their combo boxes.
    static QListView* entityList(QWidget* parent, const QString& name);
    static EntityListModel* entries(const QListView* list);
    static EntityListModel* entries(const QComboBox* combo);
    // Gives the combo box an EntityListModel of its own; it does not measure
    // its entries to size itself.
    static void useEntityList(QComboBox* combo);
    // The current entry's key: an address that only identifies, as above.
    static quintptr currentKey(const QListView* list);
    template <typename T>
    static T* currentEntity(const QListView* list)
    {
        return reinterpret_cast<T*>(currentKey(list));
    }
    static void selectEntity(QListView* list, const void* entity, int row);
    // Keeps the list's filter (typeFilter below) and its current entry.
    static void refillList(QListView* list, std::vector<EntityListModel::Entry> entries);
    // The search line that filters the list as the user types, for the page
    // to lay out above the list. The current entry stays while it matches,
    // else the first match becomes current; show shows the page's current
    // entry when none is left.
    TTypeFilter* typeFilter(QListView* list, const std::function<void()>& show);
    void showAgain(QListView* list, const void* entity, int row);
    // The buttons under a list, left-aligned, none of them a default button.
    static QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);
    // The 52 field types by name; with a first entry for none when given.
    static void fillFieldTypes(QComboBox* combo, const QString& noneText = {});
    static QToolButton* toolButton(const QString& text, const QString& tip, QWidget* parent);

private:
    static TObject* itemObject(const QListWidgetItem* item);

    TVxCustomDBStructure& FModel;
    int FFilling = 0;
};

} // namespace brindle

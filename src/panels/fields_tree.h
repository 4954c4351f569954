#pragma once
// The data model's fields as a tree for the editor dialogs: the root group's
// fields and one node per named group holding its fields. Field nodes carry
// their field and the image index 1 of the dialogs' image lists; group nodes
// carry the image index 0. The tree owns its nodes; the fields stay the
// model's, so a tree must be refilled when the model frees fields.
// FieldsTreeModel is the same tree as an item model, for views over large
// models: no object per node.

#include <brindle/brindle_widgets_export.h>

#include <QAbstractItemModel>
#include <QStringList>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace brindle {

class TDSField;
class TDSFieldGroup;
class TVxCustomDBStructure;

// The data roles of the nodes (column 0): the field (TDSField*, field nodes
// only) and the image index.
inline constexpr int FieldNodeFieldRole = Qt::UserRole;
inline constexpr int FieldNodeImageRole = Qt::UserRole + 1;
inline constexpr int GroupNodeImage = 0;
inline constexpr int FieldNodeImage = 1;

// Empties the tree and fills it with the model's fields: the root group's
// as top-level nodes, before the groups' nodes when rootFieldsFirst is set,
// else after them; with onlyResultFields only fields offered as result
// columns (UseInResult). Shows the wait cursor meanwhile.
BRINDLE_WIDGETS_EXPORT void FieldsToTreeView(const TVxCustomDBStructure& model, QTreeWidget* tree,
                                             bool onlyResultFields, bool rootFieldsFirst);
// Replaces the node's children with one node per field of the group, under
// the same rule.
BRINDLE_WIDGETS_EXPORT void UpdateGroupFields(const TDSFieldGroup& group, QTreeWidgetItem* node,
                                              bool onlyResultFields);
// The field a node stands for; none for a group node.
BRINDLE_WIDGETS_EXPORT TDSField* NodeField(const QTreeWidgetItem* node);

// The tree FieldsToTreeView makes, with the same order, filter and roles,
// as an item model: Fill lists the fields' addresses and the groups' names
// in one pass, and a field node reads its text from the field when shown.
// It refers to the fields, so its owner fills it again (or empties it)
// before the model frees or renews fields. A filter (SetFilter) narrows the
// nodes shown; indexes and rows are those of the nodes shown.
class BRINDLE_WIDGETS_EXPORT FieldsTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FieldsTreeModel(QObject* parent = nullptr);

    // None empties the tree. The filter stays and applies to the new fields.
    void Fill(const TVxCustomDBStructure* model, bool onlyResultFields, bool rootFieldsFirst);
    // Shows the fields holding every word of the text (FilterWords) in
    // their display name or their group's name, in their order, and the
    // groups that hold such fields or whose name holds every word; the
    // empty text shows the whole tree. False when the nodes shown stay.
    bool SetFilter(const QString& text);
    bool Filtered() const { return !FWords.isEmpty(); }
    // The nodes of the whole tree, groups and fields.
    int NodeCount() const { return FNodeCount; }
    // The first field node shown, else the first node.
    QModelIndex FirstField() const;
    TDSField* Field(const QModelIndex& index) const;
    // The field's node; an invalid index when the tree does not show it.
    QModelIndex IndexOf(const TDSField* field) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    struct Group {
        QString Name;
        int Row = 0;
        std::vector<TDSField*> Fields;
        bool operator==(const Group&) const = default;
    };
    // A top-level node: a root group's field, or else the group of that index.
    struct TopNode {
        TDSField* Field = nullptr;
        int Group = -1;
        bool operator==(const TopNode&) const = default;
    };
    // A node's internal id is 0 at the top level, else its group's index + 1.
    const Group* groupOf(const QModelIndex& index) const;
    // The nodes of the whole tree that the filter lets through, into the
    // shown ones.
    void filter(std::vector<TopNode>& top, std::vector<Group>& groups);
    void makeKeys();

    // The whole tree as filled.
    std::vector<TopNode> FAllTop;
    std::vector<Group> FAllGroups;
    int FNodeCount = 0;
    // Case-folded display names of the fields in the tree's order, and of
    // the groups' names; made at the first filtering after a filling.
    std::vector<QString> FFieldKeys;
    std::vector<QString> FGroupKeys;
    QStringList FWords;
    // The nodes shown.
    std::vector<TopNode> FTop;
    std::vector<Group> FGroups;
};

} // namespace brindle

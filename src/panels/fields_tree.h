#pragma once
// The data model's fields as a tree for the editor dialogs: the root group's
// fields and one node per named group holding its fields. Field nodes carry
// their field and the image index 1 of the dialogs' image lists; group nodes
// carry the image index 0. The tree owns its nodes; the fields stay the
// model's, so a tree must be refilled when the model frees fields.

#include <brindle/brindle_widgets_export.h>

#include <qnamespace.h>

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

} // namespace brindle

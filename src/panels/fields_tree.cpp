#include <brindle/panels/fields_tree.h>

#include <brindle/datamodel/db_structure.h>

#include <QApplication>
#include <QTreeWidget>

namespace brindle {

namespace {

// The wait cursor for the lifetime of the object, restored however the
// filling ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// One node per field of the group that the filter lets through; the caller
// takes ownership.
QList<QTreeWidgetItem*> fieldNodes(const TDSFieldGroup& group, bool onlyResultFields)
{
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(group.Count());
    for (TDSField* field : group) {
        if (onlyResultFields && !field->UseInResult())
            continue;
        auto* node = new QTreeWidgetItem(QStringList{field->DisplayName()});
        node->setData(0, FieldNodeFieldRole, QVariant::fromValue(field));
        node->setData(0, FieldNodeImageRole, FieldNodeImage);
        nodes.append(node);
    }
    return nodes;
}

} // namespace

void FieldsToTreeView(const TVxCustomDBStructure& model, QTreeWidget* tree, bool onlyResultFields,
                      bool rootFieldsFirst)
{
    const WaitCursor wait;
    tree->clear();
    QList<QTreeWidgetItem*> groupNodes;
    groupNodes.reserve(model.FieldGroups().Count());
    for (const auto& group : model.FieldGroups()) {
        auto* node = new QTreeWidgetItem(QStringList{group->GroupName()});
        node->setData(0, FieldNodeImageRole, GroupNodeImage);
        node->addChildren(fieldNodes(*group, onlyResultFields));
        groupNodes.append(node);
    }
    QList<QTreeWidgetItem*> rootNodes = fieldNodes(*model.RootGroup(), onlyResultFields);
    // Added in one call each: a tree of thousands of fields fills at once.
    if (rootFieldsFirst) {
        tree->addTopLevelItems(rootNodes);
        tree->addTopLevelItems(groupNodes);
    } else {
        tree->addTopLevelItems(groupNodes);
        tree->addTopLevelItems(rootNodes);
    }
}

void UpdateGroupFields(const TDSFieldGroup& group, QTreeWidgetItem* node, bool onlyResultFields)
{
    qDeleteAll(node->takeChildren());
    node->addChildren(fieldNodes(group, onlyResultFields));
}

TDSField* NodeField(const QTreeWidgetItem* node)
{
    return node->data(0, FieldNodeFieldRole).value<TDSField*>();
}

} // namespace brindle

#include <brindle/panels/fields_tree.h>

#include <brindle/datamodel/db_structure.h>

#include <QApplication>
#include <QTreeWidget>

#include <algorithm>

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

FieldsTreeModel::FieldsTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void FieldsTreeModel::Fill(const TVxCustomDBStructure* model, bool onlyResultFields, bool rootFieldsFirst)
{
    beginResetModel();
    FTop.clear();
    FGroups.clear();
    if (model) {
        const auto shown = [onlyResultFields](const TDSField* field) {
            return !onlyResultFields || field->UseInResult();
        };
        const auto addRootFields = [&] {
            for (TDSField* field : *model->RootGroup())
                if (shown(field))
                    FTop.push_back({field, -1});
        };
        if (rootFieldsFirst)
            addRootFields();
        FGroups.reserve(model->FieldGroups().Count());
        for (const auto& group : model->FieldGroups()) {
            Group& node = FGroups.emplace_back();
            node.Name = group->GroupName();
            node.Row = static_cast<int>(FTop.size());
            node.Fields.reserve(group->Count());
            for (TDSField* field : *group)
                if (shown(field))
                    node.Fields.push_back(field);
            FTop.push_back({nullptr, static_cast<int>(FGroups.size()) - 1});
        }
        if (!rootFieldsFirst)
            addRootFields();
    }
    endResetModel();
}

const FieldsTreeModel::Group* FieldsTreeModel::groupOf(const QModelIndex& index) const
{
    return index.internalId() > 0 ? &FGroups[index.internalId() - 1] : nullptr;
}

TDSField* FieldsTreeModel::Field(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    if (const Group* group = groupOf(index))
        return group->Fields[static_cast<std::size_t>(index.row())];
    return FTop[static_cast<std::size_t>(index.row())].Field;
}

QModelIndex FieldsTreeModel::IndexOf(const TDSField* field) const
{
    if (!field)
        return {};
    for (std::size_t row = 0; row < FTop.size(); ++row)
        if (FTop[row].Field == field)
            return createIndex(static_cast<int>(row), 0, quintptr(0));
    for (std::size_t g = 0; g < FGroups.size(); ++g) {
        const std::vector<TDSField*>& fields = FGroups[g].Fields;
        const auto found = std::find(fields.begin(), fields.end(), field);
        if (found != fields.end())
            return createIndex(static_cast<int>(found - fields.begin()), 0, quintptr(g + 1));
    }
    return {};
}

QModelIndex FieldsTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, quintptr(0));
    return createIndex(row, 0, quintptr(FTop[static_cast<std::size_t>(parent.row())].Group + 1));
}

QModelIndex FieldsTreeModel::parent(const QModelIndex& child) const
{
    const Group* group = child.isValid() ? groupOf(child) : nullptr;
    return group ? createIndex(group->Row, 0, quintptr(0)) : QModelIndex();
}

int FieldsTreeModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(FTop.size());
    if (parent.column() != 0 || groupOf(parent))
        return 0;
    const int group = FTop[static_cast<std::size_t>(parent.row())].Group;
    return group < 0 ? 0 : static_cast<int>(FGroups[static_cast<std::size_t>(group)].Fields.size());
}

int FieldsTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant FieldsTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    TDSField* field = Field(index);
    switch (role) {
    case Qt::DisplayRole:
        return field ? field->DisplayName() : FGroups[static_cast<std::size_t>(FTop[index.row()].Group)].Name;
    case FieldNodeFieldRole:
        return field ? QVariant::fromValue(field) : QVariant();
    case FieldNodeImageRole:
        return field ? FieldNodeImage : GroupNodeImage;
    default:
        return {};
    }
}

} // namespace brindle

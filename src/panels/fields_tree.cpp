#include <brindle/panels/fields_tree.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/panels/filter_words.h>

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
    FAllTop.clear();
    FAllGroups.clear();
    FFieldKeys.clear();
    FGroupKeys.clear();
    if (model) {
        const auto shown = [onlyResultFields](const TDSField* field) {
            return !onlyResultFields || field->UseInResult();
        };
        const auto addRootFields = [&] {
            for (TDSField* field : *model->RootGroup())
                if (shown(field))
                    FAllTop.push_back({field, -1});
        };
        if (rootFieldsFirst)
            addRootFields();
        FAllGroups.reserve(model->FieldGroups().Count());
        for (const auto& group : model->FieldGroups()) {
            Group& node = FAllGroups.emplace_back();
            node.Name = group->GroupName();
            node.Row = static_cast<int>(FAllTop.size());
            node.Fields.reserve(group->Count());
            for (TDSField* field : *group)
                if (shown(field))
                    node.Fields.push_back(field);
            FAllTop.push_back({nullptr, static_cast<int>(FAllGroups.size()) - 1});
        }
        if (!rootFieldsFirst)
            addRootFields();
    }
    FNodeCount = static_cast<int>(FAllTop.size());
    for (const Group& group : FAllGroups)
        FNodeCount += static_cast<int>(group.Fields.size());
    filter(FTop, FGroups);
    endResetModel();
}

void FieldsTreeModel::makeKeys()
{
    const std::size_t fields = static_cast<std::size_t>(FNodeCount) - FAllGroups.size();
    if (FFieldKeys.size() == fields && FGroupKeys.size() == FAllGroups.size())
        return;
    FFieldKeys.clear();
    FGroupKeys.clear();
    FFieldKeys.reserve(fields);
    for (const TopNode& node : FAllTop) {
        if (node.Field)
            FFieldKeys.push_back(FilterKey(node.Field->DisplayName()));
        else
            for (const TDSField* field : FAllGroups[static_cast<std::size_t>(node.Group)].Fields)
                FFieldKeys.push_back(FilterKey(field->DisplayName()));
    }
    FGroupKeys.reserve(FAllGroups.size());
    for (const Group& group : FAllGroups)
        FGroupKeys.push_back(FilterKey(group.Name));
}

void FieldsTreeModel::filter(std::vector<TopNode>& top, std::vector<Group>& groups)
{
    if (FWords.isEmpty()) {
        top = FAllTop;
        groups = FAllGroups;
        return;
    }
    makeKeys();
    top.clear();
    groups.clear();
    static const QString noGroup;
    // The keys follow the nodes in the tree's order.
    std::size_t key = 0;
    for (const TopNode& node : FAllTop) {
        if (node.Field) {
            if (HoldsEvery(FFieldKeys[key++], noGroup, FWords))
                top.push_back(node);
            continue;
        }
        const Group& all = FAllGroups[static_cast<std::size_t>(node.Group)];
        const QString& groupKey = FGroupKeys[static_cast<std::size_t>(node.Group)];
        Group shown{all.Name, static_cast<int>(top.size()), {}};
        for (TDSField* field : all.Fields)
            if (HoldsEvery(FFieldKeys[key++], groupKey, FWords))
                shown.Fields.push_back(field);
        if (!shown.Fields.empty() || HoldsEvery(groupKey, noGroup, FWords)) {
            groups.push_back(std::move(shown));
            top.push_back({nullptr, static_cast<int>(groups.size()) - 1});
        }
    }
}

bool FieldsTreeModel::SetFilter(const QString& text)
{
    const QStringList words = FilterWords(text);
    if (words == FWords)
        return false;
    FWords = words;
    std::vector<TopNode> top;
    std::vector<Group> groups;
    filter(top, groups);
    if (top == FTop && groups == FGroups)
        return false;
    beginResetModel();
    FTop = std::move(top);
    FGroups = std::move(groups);
    endResetModel();
    return true;
}

QModelIndex FieldsTreeModel::FirstField() const
{
    for (std::size_t row = 0; row < FTop.size(); ++row) {
        if (FTop[row].Field)
            return createIndex(static_cast<int>(row), 0, quintptr(0));
        if (!FGroups[static_cast<std::size_t>(FTop[row].Group)].Fields.empty())
            return createIndex(0, 0, quintptr(FTop[row].Group + 1));
    }
    return index(0, 0);
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

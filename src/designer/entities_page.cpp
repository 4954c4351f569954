#include <brindle/designer/entities_page.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/interaction.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brindle {

namespace {

constexpr int EntityRole = Qt::UserRole;
constexpr int IsFieldRole = Qt::UserRole + 1;

template <typename T>
T* nodeEntity(const QTreeWidgetItem* node, bool field)
{
    if (!node || node->data(0, IsFieldRole).toBool() != field)
        return nullptr;
    return reinterpret_cast<T*>(node->data(0, EntityRole).value<quintptr>());
}

void setNodeEntity(QTreeWidgetItem* node, const void* entity, bool field)
{
    node->setData(0, EntityRole, QVariant::fromValue(reinterpret_cast<quintptr>(entity)));
    node->setData(0, IsFieldRole, field);
}

QString groupCaption(const TDSFieldGroup* group, bool root)
{
    if (root)
        return EntitiesPage::tr("(no entity)");
    return group->GroupName().isEmpty() ? EntitiesPage::tr("(unnamed)") : group->GroupName();
}

} // namespace

EntitiesPage::EntitiesPage(TVxCustomDBStructure& model, QWidget* parent) : ModelEditorPage(model, parent)
{
    FTree = new QTreeWidget(this);
    FTree->setHeaderHidden(true);
    FTree->setAccessibleName(tr("Entities"));
    FTree->setUniformRowHeights(true);
    FAdd = new QPushButton(tr("&Add entity"), this);
    FDelete = new QPushButton(tr("&Delete entity"), this);
    for (QPushButton* button : {FAdd, FDelete})
        button->setAutoDefault(false);
    auto* treeButtons = new QHBoxLayout;
    treeButtons->addWidget(FAdd);
    treeButtons->addWidget(FDelete);
    treeButtons->addStretch();
    auto* treeColumn = new QVBoxLayout;
    treeColumn->addWidget(FTree, 1);
    treeColumn->addLayout(treeButtons);

    FName = new QLineEdit(this);
    FTarget = new QComboBox(this);
    FMove = new QPushButton(tr("&Move"), this);
    FMove->setAutoDefault(false);
    FRootFirst = new QCheckBox(tr("List attributes outside entities &first"), this);
    auto* moveRow = new QHBoxLayout;
    moveRow->addWidget(FTarget, 1);
    moveRow->addWidget(FMove);
    auto* help = new QLabel(tr("Select an entity to rename it, or an attribute to move it to another entity."), this);
    help->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(help);
    form->addRow(tr("Entity &name:"), FName);
    auto* targetLabel = new QLabel(tr("Move a&ttribute to:"), this);
    targetLabel->setBuddy(FTarget);
    form->addRow(targetLabel, moveRow);
    form->addRow(FRootFirst);
    auto* side = new QVBoxLayout;
    side->addLayout(form);
    side->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(treeColumn, 3);
    layout->addLayout(side, 2);

    connect(FTree, &QTreeWidget::currentItemChanged, this, [this] { fill([this] { showCurrent(); }); });
    connect(FTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { populate(node); });
    connect(FAdd, &QPushButton::clicked, this, [this] { edit([this] { addGroup(); }); });
    connect(FDelete, &QPushButton::clicked, this, [this] { edit([this] { deleteGroup(); }); });
    connect(FMove, &QPushButton::clicked, this, [this] { edit([this] { moveField(); }); });
    connect(FName, &QLineEdit::textEdited, this, [this](const QString& name) { edit([&] { renameGroup(name); }); });
    connect(FRootFirst, &QCheckBox::clicked, this, [this](bool on) {
        edit([&] {
            Model().SetRootFieldsFirst(on);
            Model().Changed();
            Refresh();
        });
    });
}

TDSFieldGroup* EntitiesPage::currentGroup() const
{
    return nodeEntity<TDSFieldGroup>(FTree->currentItem(), false);
}

TDSField* EntitiesPage::currentField() const
{
    return nodeEntity<TDSField>(FTree->currentItem(), true);
}

QTreeWidgetItem* EntitiesPage::GroupNode(const TDSFieldGroup* group) const
{
    if (!group)
        group = Model().RootGroup();
    for (int i = 0; i < FTree->topLevelItemCount(); ++i)
        if (nodeEntity<TDSFieldGroup>(FTree->topLevelItem(i), false) == group)
            return FTree->topLevelItem(i);
    return nullptr;
}

QTreeWidgetItem* EntitiesPage::FieldNode(const TDSField* field) const
{
    if (!field)
        return nullptr;
    QTreeWidgetItem* group = GroupNode(field->Group());
    if (!group)
        return nullptr;
    populate(group);
    for (int j = 0; j < group->childCount(); ++j)
        if (nodeEntity<TDSField>(group->child(j), true) == field)
            return group->child(j);
    return nullptr;
}

QTreeWidgetItem* EntitiesPage::groupNode(TDSFieldGroup* group)
{
    auto* node = new QTreeWidgetItem(FTree, {groupCaption(group, group == Model().RootGroup())});
    setNodeEntity(node, group, false);
    QFont font = node->font(0);
    font.setBold(true);
    node->setFont(0, font);
    // The attributes' nodes come when the group is opened or looked into.
    if (!group->IsEmpty())
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return node;
}

void EntitiesPage::populate(QTreeWidgetItem* node) const
{
    auto* group = nodeEntity<TDSFieldGroup>(node, false);
    if (!group || node->childCount() > 0)
        return;
    QList<QTreeWidgetItem*> children;
    children.reserve(group->Count());
    for (TDSField* field : *group) {
        auto* child = new QTreeWidgetItem({field->DisplayName()});
        setNodeEntity(child, field, true);
        children.append(child);
    }
    node->addChildren(children);
}

void EntitiesPage::Refresh()
{
    fill([this] {
        // What was shown may have been freed: its addresses are only compared.
        const QTreeWidgetItem* was = FTree->currentItem();
        const auto entityOf = [](const QTreeWidgetItem* node) {
            return node ? reinterpret_cast<const void*>(node->data(0, EntityRole).value<quintptr>()) : nullptr;
        };
        const void* wasEntity = entityOf(was);
        const void* wasGroup = entityOf(was ? was->parent() : nullptr);
        QList<const void*> expanded;
        for (int i = 0; i < FTree->topLevelItemCount(); ++i)
            if (FTree->topLevelItem(i)->isExpanded())
                expanded.append(entityOf(FTree->topLevelItem(i)));
        FTree->clear();
        if (Model().RootFieldsFirst())
            groupNode(Model().RootGroup());
        for (const auto& group : Model().FieldGroups())
            groupNode(group.get());
        if (!Model().RootFieldsFirst())
            groupNode(Model().RootGroup());

        FTarget->clear();
        FTarget->addItem(groupCaption(nullptr, true), QVariant::fromValue(reinterpret_cast<quintptr>(Model().RootGroup())));
        for (const auto& group : Model().FieldGroups())
            FTarget->addItem(groupCaption(group.get(), false), QVariant::fromValue(reinterpret_cast<quintptr>(group.get())));

        QTreeWidgetItem* select = nullptr;
        for (int i = 0; i < FTree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* node = FTree->topLevelItem(i);
            const void* entity = entityOf(node);
            if (expanded.contains(entity)) {
                populate(node);
                node->setExpanded(true);
            }
            if (!select && entity == wasEntity)
                select = node;
            if (!select && wasGroup && entity == wasGroup) {
                populate(node);
                for (int j = 0; j < node->childCount() && !select; ++j)
                    if (entityOf(node->child(j)) == wasEntity)
                        select = node->child(j);
            }
        }
        FTree->setCurrentItem(select ? select : FTree->topLevelItem(0));
        FRootFirst->setChecked(Model().RootFieldsFirst());
        showCurrent();
    });
}

void EntitiesPage::showCurrent()
{
    TDSFieldGroup* group = currentGroup();
    TDSField* field = currentField();
    const bool named = group && group != Model().RootGroup();
    FName->setEnabled(named);
    FName->setText(named ? group->GroupName() : QString());
    FDelete->setEnabled(named);
    FTarget->setEnabled(field);
    FMove->setEnabled(field);
    if (field) {
        TDSFieldGroup* in = field->Group() ? field->Group() : Model().RootGroup();
        FTarget->setCurrentIndex(FTarget->findData(QVariant::fromValue(reinterpret_cast<quintptr>(in))));
    }
}

void EntitiesPage::addGroup()
{
    QString name;
    for (int n = Model().FieldGroups().Count() + 1;; ++n) {
        name = tr("Entity %1").arg(n);
        if (!Model().FieldGroups().FindByName(name))
            break;
    }
    TDSFieldGroup* group = Model().FieldGroups().AddGroup(name, nullptr);
    group->SetDbStruct(&Model());
    Model().Changed();
    Refresh();
    FTree->setCurrentItem(GroupNode(group));
    FName->setFocus();
    FName->selectAll();
}

void EntitiesPage::deleteGroup()
{
    TDSFieldGroup* group = currentGroup();
    if (!group || group == Model().RootGroup() || !Ask(LoadResString(_SDeleteGroup)))
        return;
    // Its attributes stay in the model, outside any entity.
    while (!group->IsEmpty())
        group->First()->SetGroup(Model().RootGroup());
    TDSFieldGroupList& groups = Model().FieldGroups();
    for (int i = 0; i < groups.Count(); ++i)
        if (groups.GetItem(i) == group) {
            groups.Delete(i);
            break;
        }
    Model().Changed();
    Refresh();
}

void EntitiesPage::moveField()
{
    TDSField* field = currentField();
    auto* target = reinterpret_cast<TDSFieldGroup*>(FTarget->currentData().value<quintptr>());
    if (!field || !target)
        return;
    field->SetGroup(target);
    Model().Changed();
    Refresh();
    GroupNode(target)->setExpanded(true);
    FTree->setCurrentItem(FieldNode(field));
}

void EntitiesPage::renameGroup(const QString& name)
{
    TDSFieldGroup* group = currentGroup();
    if (!group || group == Model().RootGroup())
        return;
    group->SetGroupName(name);
    Model().Changed();
    FTree->currentItem()->setText(0, groupCaption(group, false));
    const int entry = FTarget->findData(QVariant::fromValue(reinterpret_cast<quintptr>(group)));
    if (entry >= 0)
        FTarget->setItemText(entry, groupCaption(group, false));
}

} // namespace brindle

#include <brindle/designer/model_editor_page.h>

#include <brindle/foundations/object.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/type_filter.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QToolButton>

namespace brindle {

namespace {

constexpr int EntityRole = Qt::UserRole;

} // namespace

ModelEditorPage::ModelEditorPage(TVxCustomDBStructure& model, QWidget* parent) : QWidget(parent), FModel(model) {}

ModelEditorPage::~ModelEditorPage()
{
    // The controls outlive the page's own part: their last signals must not reach it.
    for (QObject* control : findChildren<QObject*>())
        control->disconnect(this);
}

void ModelEditorPage::edit(const std::function<void()>& work)
{
    if (filling())
        return;
    if (!Guarded(work))
        Refresh();
}

void ModelEditorPage::fill(const std::function<void()>& work)
{
    const QScopedValueRollback guard(FFilling, FFilling + 1);
    work();
}

QListWidgetItem* ModelEditorPage::entityItem(QListWidget* list, const QString& text, const TObject* entity)
{
    auto* item = new QListWidgetItem(text, list);
    item->setData(EntityRole, QVariant::fromValue(reinterpret_cast<quintptr>(entity)));
    return item;
}

TObject* ModelEditorPage::itemObject(const QListWidgetItem* item)
{
    return reinterpret_cast<TObject*>(item->data(EntityRole).value<quintptr>());
}

const void* ModelEditorPage::currentKey(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item ? reinterpret_cast<const void*>(item->data(EntityRole).value<quintptr>()) : nullptr;
}

void ModelEditorPage::refillList(QListWidget* list, const std::function<void()>& addEntries)
{
    const void* was = currentKey(list);
    const int row = list->currentRow();
    list->setUpdatesEnabled(false);
    list->clear();
    addEntries();
    selectEntity(list, was, row);
    list->setUpdatesEnabled(true);
}

void ModelEditorPage::showAgain(QListWidget* list, const void* entity, int row)
{
    Refresh();
    fill([&] { selectEntity(list, entity, row); });
}

QListView* ModelEditorPage::entityList(QWidget* parent, const QString& name)
{
    auto* list = new QListView(parent);
    list->setModel(new EntityListModel(list));
    list->setAccessibleName(name);
    // Rows of one height let the list of a large model lay out at once.
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

EntityListModel* ModelEditorPage::entries(const QListView* list)
{
    return static_cast<EntityListModel*>(list->model());
}

EntityListModel* ModelEditorPage::entries(const QComboBox* combo)
{
    return static_cast<EntityListModel*>(combo->model());
}

void ModelEditorPage::useEntityList(QComboBox* combo)
{
    combo->setModel(new EntityListModel(combo));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(16);
}

quintptr ModelEditorPage::currentKey(const QListView* list)
{
    return entries(list)->Key(list->currentIndex().row());
}

void ModelEditorPage::selectEntity(QListView* list, const void* entity, int row)
{
    const EntityListModel* model = entries(list);
    int select = entity ? model->Row(EntityListModel::KeyOf(entity)) : -1;
    if (select < 0 && model->rowCount() > 0)
        select = qBound(0, row, model->rowCount() - 1);
    if (select >= 0)
        list->setCurrentIndex(model->index(select));
}

void ModelEditorPage::refillList(QListView* list, std::vector<EntityListModel::Entry> entries)
{
    const quintptr was = currentKey(list);
    const int row = list->currentIndex().row();
    ModelEditorPage::entries(list)->Reset(std::move(entries));
    selectEntity(list, reinterpret_cast<const void*>(was), row);
}

TTypeFilter* ModelEditorPage::typeFilter(QListView* list, const std::function<void()>& show)
{
    auto* filter = new TTypeFilter(*list, [list] { return entries(list)->EntryCount(); }, this);
    connect(filter, &TTypeFilter::filterChanged, this, [this, list, show](const QString& text) {
        fill([&] {
            EntityListModel* model = entries(list);
            const quintptr was = currentKey(list);
            if (!model->SetFilter(text))
                return;
            if (model->rowCount() > 0)
                list->setCurrentIndex(model->index(qMax(0, model->Row(was))));
            else
                show();
        });
    });
    return filter;
}

void ModelEditorPage::showAgain(QListView* list, const void* entity, int row)
{
    Refresh();
    fill([&] { selectEntity(list, entity, row); });
}

QHBoxLayout* ModelEditorPage::buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    for (QPushButton* button : buttons) {
        button->setAutoDefault(false);
        row->addWidget(button);
    }
    row->addStretch();
    return row;
}

void ModelEditorPage::selectEntity(QListWidget* list, const void* entity, int row)
{
    for (int i = 0; i < list->count(); ++i)
        if (entity && itemObject(list->item(i)) == entity) {
            list->setCurrentRow(i);
            return;
        }
    if (list->count() > 0)
        list->setCurrentRow(qBound(0, row, list->count() - 1));
}

void ModelEditorPage::fillFieldTypes(QComboBox* combo, const QString& noneText)
{
    combo->clear();
    if (!noneText.isEmpty())
        combo->addItem(noneText, -1);
    for (int type = 0; type < FieldTypeCount; ++type)
        combo->addItem(FldTypeToStr(static_cast<TFieldType>(type)), type);
    combo->setMaxVisibleItems(16);
}

QToolButton* ModelEditorPage::toolButton(const QString& text, const QString& tip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace brindle
